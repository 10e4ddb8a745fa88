#include "run/FileOutputs.h"

namespace quellor {

FileOutputs::FileOutputs(OutputPaths paths, mode_t mode, std::string_view prefix,
                         std::optional<std::string> heading)
    : paths_(std::move(paths)), mode_(mode), prefix_(prefix), heading_(std::move(heading)) {}

void FileOutputs::AddDuplicate(std::string_view record) {
    if (!duplicates_) duplicates_.emplace(paths_.Duplicates, mode_, prefix_);
    duplicates_->Add(record);
}

void FileOutputs::AddDuplicates(const TStringList& records, const CancelCheck& work) {
    if (records.Empty()) return;
    duplicatesWhole_.emplace(paths_.Duplicates, mode_);
    duplicatesWhole_->Write(records, prefix_, work);
}

void FileOutputs::FinishDuplicates() {
    if (duplicates_) duplicates_->Finish();
}

DeferredOutput& FileOutputs::Processed() {
    if (!processed_) {
        processed_.emplace(paths_.Processed, mode_, prefix_);
        if (heading_) processed_->Add(*heading_);
    }
    return *processed_;
}

void FileOutputs::WriteProcessed(const TStringList& records, const CancelCheck& work) {
    processedWhole_.emplace(paths_.Processed, mode_);
    std::string lead(prefix_);
    if (heading_) lead.append(*heading_).append("\r\n");
    processedWhole_->Write(records, lead, work);
}

void FileOutputs::DropProcessed() {
    processed_.reset();
    processedWhole_.reset();
}

void FileOutputs::Commit() {
    StagedFile* duplicates = duplicates_        ? &duplicates_->File()
                             : duplicatesWhole_ ? &*duplicatesWhole_
                                                : nullptr;
    StagedFile* processed = processed_        ? &processed_->Finish()
                            : processedWhole_ ? &*processedWhole_
                                              : nullptr;
    CommitTogether({duplicates, processed});
}

}  // namespace quellor
