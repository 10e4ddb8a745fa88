// The error classes of the engine. Each carries its message as UTF-8; the
// window shows it in the error box, so the texts are the users' own words.
#pragma once

#include <exception>
#include <string>

namespace quellor {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

  private:
    std::string message_;
};

// The silent kind: the error display drops it without a word.
class EAbort : public Exception {
  public:
    using Exception::Exception;
};

// Long work stopped on request (CancelCheck); whoever asked turns it into its
// own ending.
class ECancelled : public EAbort {
  public:
    ECancelled() : EAbort("") {}
};

class EStringListError : public Exception {
  public:
    using Exception::Exception;
};

class EStreamError : public Exception {
  public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

// A file that was opened but could not be read whole (a NUL byte, a read
// failure, a size the line model cannot hold).
class EReadError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

class EFilerError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

class EWriteError : public EFilerError {
  public:
    using EFilerError::EFilerError;
};

// The memory a file needs is not there; the message names the file.
class EOutOfMemory : public Exception {
  public:
    using Exception::Exception;
};

// A job file that cannot be read as one. The message names the file and,
// where one is to blame, the line; the command line may say it in English.
class EJobError : public Exception {
  public:
    EJobError(std::string message, std::string english)
        : Exception(std::move(message)), english_(std::move(english)) {}
    const std::string& English() const noexcept { return english_; }

  private:
    std::string english_;
};

class EInOutError : public Exception {
  public:
    // The message is chosen by the code (see InOutMessage).
    explicit EInOutError(int code);
    // The error of a failed system call. An errno value that is not mapped
    // keeps its number and always reads "I/O エラー (n)", even where the
    // number equals a mapped code (EIO is 5, the code of a refused access).
    static EInOutError FromErrno(int err);
    int ErrorCode() const noexcept { return code_; }

  private:
    EInOutError(int code, std::string message);
    int code_;
};

// Maps an errno value onto the reader's error codes (2, 3, 4, 5 or the errno itself).
int InOutCodeFromErrno(int err);

}  // namespace quellor
