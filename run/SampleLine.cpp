#include "run/SampleLine.h"

#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/LineFiles.h"
#include "records/StringList.h"
#include "run/RunMessages.h"

namespace quellor {

namespace {

std::string FirstLine(const std::string& path, std::size_t maxBytes, bool& cut) {
    LineReader reader;
    reader.Open(path);
    std::string line = reader.NextLine(maxBytes, cut);
    reader.Close();
    return line;
}

std::vector<std::string> Copy(const TStringList& fields) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(fields.Count()));
    for (int k = 0; k < fields.Count(); ++k) out.emplace_back(fields.Get(k));
    return out;
}

}  // namespace

std::vector<std::string> SampleFields(const std::string& path) {
    bool cut = false;
    const std::string line = FirstLine(path, std::string::npos, cut);
    TStringList fields;
    fields.QuoteChar = 0;
    SplitFields(fields, line);
    return Copy(fields);
}

ShownFields SampleFieldsShown(const std::string& path) {
    ShownFields out;
    const std::string line = FirstLine(path, kShownLineBytes, out.LineCut);
    TStringList fields;
    fields.QuoteChar = 0;
    out.FieldsCut = SplitFields(fields, line, kShownFieldLimit);
    out.Fields = Copy(fields);
    return out;
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

}  // namespace quellor
