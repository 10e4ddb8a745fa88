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

// The encoding of lines read from a file's start; a byte-order mark is cut
// off the first line. A last line cut at the size limit may end inside a
// character: that part speaks neither for nor against UTF-8, and is dropped
// from a UTF-8 line.
Encoding SettleEncoding(std::vector<std::string>& lines, bool lastLineCut) {
    if (lines.empty()) return Encoding::Cp932;
    const std::size_t unfinished = lastLineCut ? Utf8UnfinishedTail(lines.back()) : 0;
    Encoding encoding = Encoding::Cp932;
    if (lines.front().starts_with(kUtf8Bom)) {
        lines.front().erase(0, kUtf8Bom.size());
        encoding = Encoding::Utf8;
    } else {
        Utf8Check check;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) check.Feed(lines[i]);
        check.Feed(std::string_view(lines.back()).substr(0, lines.back().size() - unfinished));
        if (check.SaysUtf8()) encoding = Encoding::Utf8;
    }
    if (encoding == Encoding::Utf8) lines.back().resize(lines.back().size() - unfinished);
    return encoding;
}

// The first line, at most maxBytes of it and maxFields fields.
SampleLine ReadBounded(const std::string& path, std::size_t maxBytes, std::size_t maxFields) {
    SampleLine sample;
    std::vector<std::string> lines(1);
    {
        LineReader reader;
        reader.Open(path);
        lines.front() = reader.NextLine(maxBytes, sample.LineCut);
        reader.Close();
    }
    sample.TextEncoding = SettleEncoding(lines, sample.LineCut);
    TStringList fields;
    fields.QuoteChar = 0;
    fields.TextEncoding = sample.TextEncoding;
    sample.FieldsCut = SplitFields(fields, lines.front(), maxFields);
    sample.Fields.reserve(static_cast<std::size_t>(fields.Count()));
    for (int k = 0; k < fields.Count(); ++k) sample.Fields.emplace_back(fields.Get(k));
    return sample;
}

}  // namespace

SampleLine ReadSampleLine(const std::string& path) {
    return ReadBounded(path, std::string::npos, std::string::npos);
}

std::vector<std::string> SampleFields(const std::string& path) {
    return ReadSampleLine(path).Fields;
}

int FieldCountOfFirstFile(const std::string& path) {
    LineReader reader;
    try {
        reader.Open(path);
    } catch (const EInOutError&) {
        throw EFOpenError(Format(msg::kFileCannotOpen, {PathForShow(path)}));
    }
    try {
        if (reader.AtEnd()) throw EReadError(Format(runmsg::kFirstFileEmpty, {PathForShow(path)}));
        reader.Close();
        return static_cast<int>(ReadSampleLine(path).Fields.size());
    } catch (const EInOutError&) {
        throw EReadError(Format(msg::kFileReadFailed, {PathForShow(path)}));
    }
}

ShownFields SampleFieldsShown(const std::string& path) {
    return ReadBounded(path, kShownLineBytes, kShownFieldLimit);
}

std::string ShownLineNotice(const std::string& path, int lineNumber, bool lineCut, bool fieldsCut) {
    // A cut line may also have too many fields; its length is the cause.
    if (lineCut) {
        return Format(runmsg::kLineTooLong,
                      {path, lineNumber, static_cast<std::int64_t>(kShownLineBytes >> 20)});
    }
    if (fieldsCut) {
        return Format(runmsg::kTooManyFields,
                      {path, lineNumber, static_cast<std::int64_t>(kShownFieldLimit)});
    }
    return {};
}

void ReadLeadingLines(const std::string& path, int limit, LeadingLines& out) {
    out.Lines.clear();
    out.TextEncoding = Encoding::Cp932;
    out.LastLineCut = false;
    LineReader reader;
    try {
        reader.Open(path);
        // The rest of a cut line is never read: the lines end with it.
        while (static_cast<int>(out.Lines.size()) < limit && !out.LastLineCut && !reader.AtEnd()) {
            out.Lines.push_back(reader.NextLine(kShownLineBytes, out.LastLineCut));
        }
        reader.Close();
    } catch (...) {
        out.TextEncoding = SettleEncoding(out.Lines, out.LastLineCut);
        throw;
    }
    out.TextEncoding = SettleEncoding(out.Lines, out.LastLineCut);
}

}  // namespace quellor
