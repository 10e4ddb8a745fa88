#include "run/OutputLines.h"

#include "records/Exceptions.h"

namespace quellor {

OutputLines::OutputLines(const std::string& path, mode_t mode, std::string_view prefix)
    : file_(path, mode) {
    buf_.reserve(kWriteBlock + kWriteBlock / 4);
    buf_ = prefix;
}

void OutputLines::AddBytes(std::string_view bytes) {
    if (buf_.size() + bytes.size() >= kWriteBlock) {
        Flush();
        // A large piece goes out as it is, not through the buffer.
        if (bytes.size() >= kWriteBlock) return file_.Append(bytes);
    }
    buf_ += bytes;
}

void OutputLines::AddLong(std::string_view line) {
    Flush();
    file_.Append(line);
    buf_ = "\r\n";
}

StagedFile& OutputLines::Finish() {
    Flush();
    file_.Finish();
    return file_;
}

void OutputLines::Flush() {
    file_.Append(buf_);
    buf_.clear();
}

DeferredOutput::DeferredOutput(const std::string& path, mode_t mode, std::string_view prefix) {
    try {
        out_.emplace(path, mode, prefix);
    } catch (const Exception&) {
        failure_ = std::current_exception();
    }
}

void DeferredOutput::AddBytes(std::string_view bytes) {
    if (failure_) return;
    try {
        out_->AddBytes(bytes);
    } catch (const Exception&) {
        failure_ = std::current_exception();
    }
}

StagedFile& DeferredOutput::Finish() {
    if (!failure_) return out_->Finish();
    std::rethrow_exception(failure_);
}

}  // namespace quellor
