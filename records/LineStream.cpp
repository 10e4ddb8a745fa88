#include "records/LineStream.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "records/ByteScan.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

constexpr std::size_t kIndexBlock = std::size_t{4} << 20;

[[noreturn]] void ThrowReadFailed(const std::string& path) {
    throw EReadError(Format(msg::kFileReadFailed, {PathForShow(path)}));
}

}  // namespace

void IndexedFile::CheckUnchanged() const {
    struct stat st {};
    if (::fstat(File.Get(), &st) != 0 || StampOf(st) != Stamp) ThrowReadFailed(Path);
}

LineStream::LineStream(const IndexedFile& input, std::uint64_t from, std::uint64_t to,
                       std::size_t blockSize)
    : input_(input), buf_(std::max<std::size_t>(blockSize, 64)) {
    input_.CheckUnchanged();
    Reset(from, to);
}

void LineStream::Reset(std::uint64_t from, std::uint64_t to) {
    next_ = bufStart_ = lineStart_ = from;
    to_ = std::max(from, to);
    pos_ = len_ = 0;
    eof_ = nul_ = false;
}

// Keeps the unread bytes and adds what follows; a buffer full of one line
// grows. Nothing moves once the stretch is read whole.
void LineStream::Refill() {
    if (next_ >= to_) {
        eof_ = true;
        input_.CheckUnchanged();
        return;
    }
    if (pos_ > 0) {
        std::memmove(buf_.data(), buf_.data() + pos_, len_ - pos_);
        len_ -= pos_;
        bufStart_ += pos_;
        pos_ = 0;
    }
    if (len_ == buf_.size()) buf_.Reserve(len_ + 1);
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(buf_.size() - len_, to_ - next_));
    const long long got = ReadFullyAt(input_.File.Get(), buf_.data() + len_, want, next_);
    // Short of the stretch's end: the file shrank since it was indexed.
    if (got <= 0) ThrowReadFailed(input_.Path);
    len_ += static_cast<std::size_t>(got);
    next_ += static_cast<std::uint64_t>(got);
}

bool LineStream::Next(std::string_view& line) {
    if (nul_) return false;
    for (;;) {
        const auto* p = reinterpret_cast<const unsigned char*>(buf_.data());
        const std::size_t end = NextLineByte(p, pos_, len_);
        if (end == len_ && !eof_) {
            Refill();
            continue;
        }
        // A CR at the buffer's end: whether an LF follows decides where the next line begins.
        if (end + 1 == len_ && p[end] == '\r' && !eof_) {
            Refill();
            continue;
        }
        if (end < len_ && p[end] == 0) {
            nul_ = true;
            return false;
        }
        if (pos_ == len_) return false;
        lineStart_ = bufStart_ + pos_;
        line = std::string_view(buf_.data() + pos_, end - pos_);
        pos_ = end < len_ ? end + 1 : len_;
        if (end < len_ && p[end] == '\r' && pos_ < len_ && p[pos_] == '\n') ++pos_;
        return true;
    }
}

IndexedFile IndexLines(const std::string& path, EncodingChoice choice) {
    IndexedFile f;
    f.Path = path;
    f.File = FileHandle(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!f.File.Valid() || ::fstat(f.File.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw EFOpenError(Format(msg::kFileCannotOpen, {PathForShow(path)}));
    }
    f.Stamp = StampOf(st);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    char head[3] = {};
    const long long got = ReadFullyAt(f.File.Get(), head, sizeof head, 0);
    // The encoding is settled by the rules LoadLines follows, so a file
    // reads the same whichever road it takes.
    f.Form.ByteOrderMark =
        choice != EncodingChoice::Cp932 && got == 3 && std::string_view(head, 3) == kUtf8Bom;
    const std::uint64_t from = f.Form.ByteOrderMark ? kUtf8Bom.size() : 0;
    const bool guessing = choice == EncodingChoice::Auto && !f.Form.ByteOrderMark;

    EncodingGuess guess;
    LineStream stream(f, from, size, kIndexBlock);
    std::string_view line;
    while (stream.Next(line)) {
        if (f.Index.Lines == static_cast<std::uint64_t>(INT_MAX)) {
            throw EReadError(Format(msg::kTooManyLines, {PathForShow(path)}));
        }
        f.Index.LineAt(stream.LineStart());
        if (guessing) guess.Feed(line);
    }
    if (stream.NulMet()) {
        const auto lineNumber = static_cast<std::int64_t>(f.Index.Lines) + 1;
        throw EReadError(Format(msg::kNulInLine, {PathForShow(path), lineNumber}));
    }
    if (guessing && guess.MostlyUtf8()) {
        throw EReadError(
            Format(msg::kStrayByteInUtf8, {PathForShow(path), guess.FirstStrayLine()}));
    }
    f.Index.End = size;
    f.Form.TextEncoding = choice == EncodingChoice::Cp932 ? Encoding::Cp932
                          : guessing                      ? guess.Guess()
                                                          : Encoding::Utf8;
    return f;
}

}  // namespace quellor
