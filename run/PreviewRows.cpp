#include "run/PreviewRows.h"

#include <utility>

#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/SearchText.h"

namespace quellor {

PreviewRows::PreviewRows(const std::string& path, int lineLimit, const std::string& labelPrefix,
                         TextChoice choice)
    : path_(path) {
    try {
        ReadLeadingRecords(path, lineLimit, text_, choice);
    } catch (...) {
        if (text_.Records.empty()) throw;
        failure_ = std::current_exception();
    }
    labelPrefix_ = text_.TextEncoding == Encoding::Utf8
                       ? labelPrefix
                       : SearchTextAsCp932(labelPrefix).value_or(std::string());
}

std::optional<PreviewRow> PreviewRows::Next() {
    if (read_ >= text_.Records.size()) {
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
        return std::nullopt;
    }
    const std::string& record = text_.Records[read_++];
    const bool fieldsCut = SplitFields(fields_, record, text_.Dialect(), kShownFieldLimit);
    if (notice_.empty()) {
        notice_ =
            ShownLineNotice(path_, text_.FirstLine[read_ - 1], text_.Cut[read_ - 1], fieldsCut);
    }
    PreviewRow out;
    out.FieldCount = fields_.Count();
    out.Cells.reserve(static_cast<std::size_t>(fields_.Count()) + 1);
    out.Cells.push_back(labelPrefix_ + std::to_string(read_));
    for (int k = 0; k < fields_.Count(); ++k) out.Cells.emplace_back(fields_.Get(k));
    return out;
}

}  // namespace quellor
