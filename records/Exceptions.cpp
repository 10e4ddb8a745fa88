#include "records/Exceptions.h"

#include <cerrno>
#include <utility>

#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

std::string InOutMessage(int code) {
    switch (code) {
        case 2:
            return msg::kInOutFileNotFound;
        case 3:
            return msg::kInOutPathNotFound;
        case 4:
            return msg::kInOutTooManyFiles;
        case 5:
            return msg::kInOutAccessDenied;
        default:
            return Format(msg::kInOutOther, {std::int64_t{code}});
    }
}

}  // namespace

EInOutError::EInOutError(int code) : Exception(InOutMessage(code)), code_(code) {}

EInOutError::EInOutError(int code, std::string message)
    : Exception(std::move(message)), code_(code) {}

EInOutError EInOutError::FromErrno(int err) {
    int code = InOutCodeFromErrno(err);
    bool mapped = code != err || err == ENOENT;  // ENOENT is 2 on both sides
    if (mapped) return EInOutError(code);
    return EInOutError(code, Format(msg::kInOutOther, {std::int64_t{code}}));
}

int InOutCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EISDIR:
            return 5;
        default:
            return err;
    }
}

}  // namespace quellor
