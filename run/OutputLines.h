// The ".new" and ".w" as their lines come, each followed by CR LF, through
// one reused buffer. Internal to the run library.
#pragma once

#include <sys/types.h>

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "records/Exceptions.h"
#include "records/StagedFile.h"

namespace quellor {

class OutputLines {
  public:
    OutputLines(const std::string& path, mode_t mode, std::string_view prefix);
    void Add(std::string_view line) {
        if (line.size() >= kWriteBlock) return AddLong(line);
        buf_ += line;
        buf_ += "\r\n";
        if (buf_.size() >= kWriteBlock) Flush();
    }
    // Lines already followed by their CR LF.
    void AddBytes(std::string_view bytes);
    StagedFile& Finish();
    StagedFile& File() { return file_; }

  private:
    static constexpr std::size_t kWriteBlock = std::size_t{1} << 20;
    void Flush();
    // A line longer than the buffer goes out as it is, not copied.
    void AddLong(std::string_view line);
    StagedFile file_;
    std::string buf_;
};

// The ".new" written while the stages run. Without this the in-memory
// stages met a failure to create or write it only after their last record,
// so it is kept until then: the user sees the same calls and the same error
// on every path.
class DeferredOutput {
  public:
    DeferredOutput(const std::string& path, mode_t mode, std::string_view prefix);
    void Add(std::string_view line) {
        if (failure_) return;
        try {
            out_->Add(line);
        } catch (const Exception&) {
            failure_ = std::current_exception();
        }
    }
    void AddBytes(std::string_view bytes);
    StagedFile& Finish();

  private:
    std::optional<OutputLines> out_;
    std::exception_ptr failure_;
};

}  // namespace quellor
