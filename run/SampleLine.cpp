#include "run/SampleLine.h"

#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/Messages.h"
#include "records/StringList.h"
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
bool SkipRestOfLine(LineReader& reader) {
    bool more = true;
    for (std::size_t skipped = 0; more && skipped < kShownSkipBytes; skipped += kShownLineBytes) {
        reader.NextLine(kShownLineBytes, more);
    }
    return !more;
}

// The first line, at most maxBytes of it and maxFields fields.
SampleLine ReadBounded(const std::string& path, std::size_t maxBytes, std::size_t maxFields,
                       EncodingChoice choice) {
    SampleLine sample;
    std::vector<std::string> lines(1);
    {
        LineReader reader;
        reader.Open(path);
        lines.front() = reader.NextLine(maxBytes, sample.LineCut);
        reader.Close();
    }
    sample.TextEncoding = SettleEncoding(lines, {sample.LineCut}, choice);
    TStringList fields;
    sample.FieldsCut = SplitFields(fields, lines.front(), PlainCsv(sample.TextEncoding), maxFields);
    sample.Fields.reserve(static_cast<std::size_t>(fields.Count()));
    for (int k = 0; k < fields.Count(); ++k) sample.Fields.emplace_back(fields.Get(k));
    return sample;
}

}  // namespace

SampleLine ReadSampleLine(const std::string& path, EncodingChoice choice) {
    return ReadBounded(path, std::string::npos, std::string::npos, choice);
}

std::vector<std::string> SampleFields(const std::string& path, EncodingChoice choice) {
    return ReadSampleLine(path, choice).Fields;
}

int FieldCountOfFirstFile(const std::string& path, EncodingChoice choice) {
    LineReader reader;
    try {
        reader.Open(path);
    } catch (const EInOutError&) {
        throw EFOpenError(Format(msg::kFileCannotOpen, {PathForShow(path)}));
    }
    try {
        if (reader.AtEnd()) throw EReadError(Format(runmsg::kFirstFileEmpty, {PathForShow(path)}));
        reader.Close();
        return static_cast<int>(ReadSampleLine(path, choice).Fields.size());
    } catch (const EInOutError&) {
        throw EReadError(Format(msg::kFileReadFailed, {PathForShow(path)}));
    }
}

SampleLine SampleFieldsShown(const std::string& path) {
    return ReadBounded(path, kShownLineBytes, kShownFieldLimit, EncodingChoice::Auto);
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

void ReadLeadingLines(const std::string& path, int limit, LeadingLines& out) {
    out.Lines.clear();
    out.Cut.clear();
    out.TextEncoding = Encoding::Cp932;
    LineReader reader;
    try {
        reader.Open(path);
        bool found = true;  // the end of the last line read
        while (static_cast<int>(out.Lines.size()) < limit && found && !reader.AtEnd()) {
            bool cut = false;
            out.Lines.push_back(reader.NextLine(kShownLineBytes, cut));
            out.Cut.push_back(cut);
            if (cut) found = SkipRestOfLine(reader);
        }
        reader.Close();
    } catch (...) {
        out.TextEncoding = SettleEncoding(out.Lines, out.Cut, EncodingChoice::Auto);
        throw;
    }
    out.TextEncoding = SettleEncoding(out.Lines, out.Cut, EncodingChoice::Auto);
}

}  // namespace quellor
