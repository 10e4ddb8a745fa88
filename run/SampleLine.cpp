#include "run/SampleLine.h"

#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/Messages.h"
#include "records/RecordList.h"
#include "run/RunMessages.h"

namespace quellor {

namespace {

// The encoding of lines read from a file's start: the one chosen, else the
// one their bytes say; a byte-order mark is cut off the first line unless
// the lines are chosen to be code page 932. A line cut at the size limit
// may end inside a character: that part speaks neither for nor against
// UTF-8, and is dropped from a UTF-8 line.
Encoding SettleEncoding(std::vector<std::string>& lines, const std::vector<bool>& cut,
                        EncodingChoice choice) {
    if (lines.empty()) return choice == EncodingChoice::Utf8 ? Encoding::Utf8 : Encoding::Cp932;
    const auto unfinished = [&](std::size_t i) {
        return i < cut.size() && cut[i] ? Utf8UnfinishedTail(lines[i]) : 0;
    };
    Encoding encoding = choice == EncodingChoice::Utf8 ? Encoding::Utf8 : Encoding::Cp932;
    if (choice != EncodingChoice::Cp932 && lines.front().starts_with(kUtf8Bom)) {
        lines.front().erase(0, kUtf8Bom.size());
        encoding = Encoding::Utf8;
    } else if (choice == EncodingChoice::Auto) {
        EncodingGuess guess;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            guess.Feed(std::string_view(lines[i]).substr(0, lines[i].size() - unfinished(i)));
        }
        encoding = guess.Guess();
    }
    if (encoding == Encoding::Utf8) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i].resize(lines[i].size() - unfinished(i));
    }
    return encoding;
}

// Reads past the rest of a cut line, up to kShownSkipBytes of it; false
// when the line goes on past that.
bool SkipRestOfLine(LineReader& reader, std::size_t maxBytes) {
    bool more = true;
    for (std::size_t skipped = 0; more && skipped < kShownSkipBytes; skipped += maxBytes) {
        reader.NextLine(maxBytes, more);
    }
    return !more;
}

// The lines, each whole or cut, joined into records under the dialect: a
// record goes on over the next line while a quote in it is open. Returns
// whether the last record's quote is still open.
bool GroupRecords(std::vector<std::string>&& lines, const std::vector<bool>& cut,
                  const CsvDialect& dialect, LeadingRecords& out) {
    out.Records.clear();
    out.Cut.clear();
    out.FirstLine.clear();
    bool open = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (open) {
            out.Records.back().append("\n").append(lines[i]);
            out.Cut.back() = out.Cut.back() || cut[i];
        } else {
            out.Records.push_back(std::move(lines[i]));
            out.Cut.push_back(cut[i]);
            out.FirstLine.push_back(static_cast<int>(i) + 1);
        }
        open = FindRecordEnd(out.Records.back(), 0, dialect).Unclosed;
    }
    return open;
}

// The first records, at most limit of them; lines are read one at a time
// while the records they make are fewer, or the last one's quote is open.
void ReadRecords(const std::string& path, int limit, std::size_t maxBytes, TextChoice choice,
                 LeadingRecords& out) {
    std::vector<std::string> lines;
    std::vector<bool> cut;
    std::size_t bytes = 0;
    bool found = true;  // the end of the last line read
    const auto settle = [&] {
        // A first line of many megabytes is held once more here, not more:
        // the command line counts the fields of a whole first record.
        std::vector<std::string> work = lines;
        out.TextEncoding = SettleEncoding(work, cut, choice.Encoding);
        std::string joined;
        if (work.size() > 1) {
            for (const std::string& line : work) joined.append(line).append("\n");
        }
        out.Delimiter = ChosenDelimiter(choice.Delimiter,
                                        work.size() > 1 ? std::string_view(joined)
                                        : work.empty()  ? std::string_view()
                                                        : std::string_view(work.front()),
                                        out.TextEncoding);
        joined = {};
        const bool open = GroupRecords(std::move(work), cut, out.Dialect(), out);
        const auto wanted = static_cast<std::size_t>(limit);
        const bool enough = out.Records.size() > wanted || (out.Records.size() == wanted && !open);
        if (out.Records.size() > wanted) {
            out.Records.resize(wanted);
            out.Cut.resize(wanted);
            out.FirstLine.resize(wanted);
        }
        return enough;
    };
    LineReader reader;
    try {
        reader.Open(path);
        for (;;) {
            const bool more = found && bytes < kShownSkipBytes && !reader.AtEnd();
            if (!more || (static_cast<int>(lines.size()) >= limit && settle())) break;
            bool lineCut = false;
            lines.push_back(reader.NextLine(maxBytes, lineCut));
            cut.push_back(lineCut);
            bytes += lines.back().size();
            if (lineCut) found = SkipRestOfLine(reader, maxBytes);
        }
        reader.Close();
    } catch (...) {
        settle();
        throw;
    }
    settle();
}

// The first record, at most maxBytes of each of its lines and maxFields fields.
SampleLine ReadBounded(const std::string& path, std::size_t maxBytes, std::size_t maxFields,
                       TextChoice choice) {
    LeadingRecords first;
    ReadRecords(path, 1, maxBytes, choice, first);
    SampleLine sample;
    sample.TextEncoding = first.TextEncoding;
    sample.Delimiter = first.Delimiter;
    if (first.Records.empty()) return sample;
    sample.LineCut = first.Cut.front();
    TStringListEx fields;
    sample.FieldsCut = SplitFields(fields, first.Records.front(), first.Dialect(), maxFields);
    sample.Fields.reserve(static_cast<std::size_t>(fields.Count()));
    for (int k = 0; k < fields.Count(); ++k) sample.Fields.emplace_back(fields.Get(k));
    return sample;
}

}  // namespace

SampleLine ReadSampleLine(const std::string& path, TextChoice choice) {
    return ReadBounded(path, std::string::npos, std::string::npos, choice);
}

std::vector<std::string> SampleFields(const std::string& path, TextChoice choice) {
    return ReadSampleLine(path, choice).Fields;
}

int FieldCountOfFirstFile(const std::string& path, TextChoice choice) {
    LineReader reader;
    try {
        reader.Open(path);
    } catch (const EInOutError&) {
        throw EFOpenError(Format(msg::kFileCannotOpen, {PathForShow(path)}));
    }
    try {
        if (reader.AtEnd()) throw EReadError(Format(runmsg::kFirstFileEmpty, {PathForShow(path)}));
        reader.Close();
        LeadingRecords first;
        ReadRecords(path, 1, std::string::npos, choice, first);
        return first.Records.empty()
                   ? 0
                   : static_cast<int>(CountFields(first.Records.front(), first.Dialect()));
    } catch (const EInOutError&) {
        throw EReadError(Format(msg::kFileReadFailed, {PathForShow(path)}));
    }
}

SampleLine SampleFieldsShown(const std::string& path, TextChoice choice) {
    return ReadBounded(path, kShownLineBytes, kShownFieldLimit, choice);
}

std::string ShownLineNotice(const std::string& path, int lineNumber, bool lineCut, bool fieldsCut) {
    const auto megabytes = static_cast<std::int64_t>(kShownLineBytes >> 20);
    const auto fields = static_cast<std::int64_t>(kShownFieldLimit);
    if (lineCut && fieldsCut) {
        return Format(runmsg::kLineTooLongAndTooManyFields, {path, lineNumber, megabytes, fields});
    }
    if (lineCut) return Format(runmsg::kLineTooLong, {path, lineNumber, megabytes});
    if (fieldsCut) {
        return Format(runmsg::kTooManyFields, {path, lineNumber, fields});
    }
    return {};
}

void ReadLeadingRecords(const std::string& path, int limit, LeadingRecords& out,
                        TextChoice choice) {
    ReadRecords(path, limit, kShownLineBytes, choice, out);
}

}  // namespace quellor
