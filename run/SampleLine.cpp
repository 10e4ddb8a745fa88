#include "run/SampleLine.h"

#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/StringList.h"
#include "run/RunMessages.h"

namespace quellor {

namespace {

// The encoding of lines read from a file's start; a byte-order mark is cut
// off the first line.
Encoding SettleEncoding(std::vector<std::string>& lines) {
    if (!lines.empty() && lines.front().starts_with(kUtf8Bom)) {
        lines.front().erase(0, kUtf8Bom.size());
        return Encoding::Utf8;
    }
    Utf8Check check;
    for (const std::string& line : lines) check.Feed(line);
    return check.SaysUtf8() ? Encoding::Utf8 : Encoding::Cp932;
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
    sample.TextEncoding = SettleEncoding(lines);
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
        out.TextEncoding = SettleEncoding(out.Lines);
        throw;
    }
    out.TextEncoding = SettleEncoding(out.Lines);
}

}  // namespace quellor
