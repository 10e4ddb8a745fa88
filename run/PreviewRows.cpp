#include "run/PreviewRows.h"

#include "records/FieldCodec.h"

namespace quellor {

PreviewRows::PreviewRows(const std::string& path, int lineLimit, std::string labelPrefix)
    : lineLimit_(lineLimit), labelPrefix_(std::move(labelPrefix)) {
    fields_.QuoteChar = 0;
    row_.QuoteChar = 0;
    reader_.Open(path);
}

std::optional<PreviewRow> PreviewRows::Next() {
    if (read_ >= lineLimit_ || reader_.AtEnd()) return std::nullopt;
    const std::string line = reader_.NextLine();
    ++read_;
    SplitFields(fields_, line);
    PreviewRow out;
    out.FieldCount = fields_.Count();
    row_.Clear();
    row_.Add(labelPrefix_ + std::to_string(read_));
    for (int k = 0; k < fields_.Count(); ++k) row_.Add(fields_.Get(k));
    SplitFields(cells_, JoinFields(row_));
    out.Cells.reserve(static_cast<std::size_t>(cells_.Count()));
    for (int c = 0; c < cells_.Count(); ++c) out.Cells.emplace_back(cells_.Get(c));
    return out;
}

}  // namespace quellor
