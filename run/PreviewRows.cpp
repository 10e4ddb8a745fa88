#include "run/PreviewRows.h"

#include <utility>

#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/SearchText.h"

namespace quellor {

PreviewRows::PreviewRows(const std::string& path, int lineLimit, const std::string& labelPrefix)
    : path_(path) {
    try {
        ReadLeadingLines(path, lineLimit, text_);
    } catch (...) {
        if (text_.Lines.empty()) throw;
        failure_ = std::current_exception();
    }
    labelPrefix_ = text_.TextEncoding == Encoding::Utf8
                       ? labelPrefix
                       : SearchTextAsCp932(labelPrefix).value_or(std::string());
}

std::optional<PreviewRow> PreviewRows::Next() {
    if (read_ >= text_.Lines.size()) {
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
        return std::nullopt;
    }
    const std::string& line = text_.Lines[read_++];
    const CsvDialect plain = PlainCsv(text_.TextEncoding);
    const bool fieldsCut = SplitFields(fields_, line, plain, kShownFieldLimit);
    if (notice_.empty()) {
        notice_ = ShownLineNotice(path_, static_cast<int>(read_), text_.Cut[read_ - 1], fieldsCut);
    }
    PreviewRow out;
    out.FieldCount = fields_.Count();
    row_.Clear();
    row_.Add(labelPrefix_ + std::to_string(read_));
    for (int k = 0; k < fields_.Count(); ++k) row_.Add(fields_.Get(k));
    SplitFields(cells_, JoinFields(row_, plain), QuotedCsv(text_.TextEncoding));
    out.Cells.reserve(static_cast<std::size_t>(cells_.Count()));
    for (int c = 0; c < cells_.Count(); ++c) out.Cells.emplace_back(cells_.Get(c));
    return out;
}

}  // namespace quellor
