#include "run/SampleLine.h"

#include "records/FieldCodec.h"
#include "records/LineFiles.h"
#include "records/StringList.h"

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

}  // namespace

SampleLine ReadSampleLine(const std::string& path) {
    std::vector<std::string> lines(1);
    {
        LineReader reader;
        reader.Open(path);
        lines.front() = reader.NextLine();
        reader.Close();
    }
    SampleLine sample;
    sample.TextEncoding = SettleEncoding(lines);
    TStringList fields;
    fields.QuoteChar = 0;
    fields.TextEncoding = sample.TextEncoding;
    SplitFields(fields, lines.front());
    sample.Fields.reserve(static_cast<std::size_t>(fields.Count()));
    for (int k = 0; k < fields.Count(); ++k) sample.Fields.emplace_back(fields.Get(k));
    return sample;
}

std::vector<std::string> SampleFields(const std::string& path) {
    return ReadSampleLine(path).Fields;
}

void ReadLeadingLines(const std::string& path, int limit, LeadingLines& out) {
    out.Lines.clear();
    out.TextEncoding = Encoding::Cp932;
    LineReader reader;
    try {
        reader.Open(path);
        while (static_cast<int>(out.Lines.size()) < limit && !reader.AtEnd()) {
            out.Lines.push_back(reader.NextLine());
        }
        reader.Close();
    } catch (...) {
        out.TextEncoding = SettleEncoding(out.Lines);
        throw;
    }
    out.TextEncoding = SettleEncoding(out.Lines);
}

}  // namespace quellor
