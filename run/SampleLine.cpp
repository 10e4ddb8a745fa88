#include "run/SampleLine.h"

#include "records/FieldCodec.h"
#include "records/LineFiles.h"
#include "records/StringList.h"

namespace quellor {

std::vector<std::string> SampleFields(const std::string& path) {
    std::string line;
    {
        LineReader reader;
        reader.Open(path);
        line = reader.NextLine();
        reader.Close();
    }
    TStringList fields;
    fields.QuoteChar = 0;
    SplitFields(fields, line);
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(fields.Count()));
    for (int k = 0; k < fields.Count(); ++k) out.emplace_back(fields.Get(k));
    return out;
}

}  // namespace quellor
