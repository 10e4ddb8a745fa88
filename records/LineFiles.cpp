#include "records/LineFiles.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/FileHandle.h"
#include "records/ForkJoin.h"
#include "records/Format.h"
#include "records/LineScan.h"
#include "records/Messages.h"
#include "records/StagedFile.h"

namespace quellor {

namespace {

// Lines and sizes are signed 32-bit counts in the record model.
constexpr std::size_t kMaxFileSize = std::size_t{1} << 31;

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Only regular files are read. Opening does not wait: a named pipe without
// a writer would otherwise hang the window, and a device could stream forever.
int OpenRegularFile(const std::string& path, struct stat* st) {
    const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return -1;
    int err = 0;
    if (::fstat(fd, st) != 0) {
        err = errno;
    } else if (!S_ISREG(st->st_mode)) {
        err = EACCES;
    }
    if (err == 0) return fd;
    ::close(fd);
    errno = err;
    return -1;
}

// A read waits for the disk: pieces of this size keep an abort's wait short
// on a slow one, and cost nothing beside the copy on a fast one.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;

// Reads size bytes at offset in pieces, looking at work between them; the
// bytes read, or -1.
long long ReadInPieces(int fd, char* buf, std::size_t size, std::size_t offset,
                       const CancelCheck& work, std::uint64_t total) {
    std::size_t got = 0;
    while (got < size) {
        work.ThrowIfRequested();
        const std::size_t want = std::min(kReadPiece, size - got);
        const long long r = ReadFullyAt(fd, buf + got, want, offset + got);
        if (r < 0) return -1;
        got += static_cast<std::size_t>(r);
        // Both halves read alike: the one that reports counts for two.
        work.Report(2 * got, total);
        if (static_cast<std::size_t>(r) < want) break;
    }
    return static_cast<long long>(got);
}

// Reads the whole file by its size, its two halves at once when that pays:
// the kernel's copy is much of a load. A file that changed meanwhile (it
// shrank, or was written to) fails: its records would be a mix of two files.
std::size_t ReadWhole(int fd, const struct stat& st, const std::string& path, bool twoThreads,
                      std::unique_ptr<char[]>& buf, const CancelCheck& work) {
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size >= kMaxFileSize) throw EReadError(Format(msg::kFileTooLarge, {PathForShow(path)}));
    buf = std::make_unique_for_overwrite<char[]>(size ? size : 1);
    const std::size_t half = twoThreads ? size / 2 : size;
    // Reading is the first half of a load, cutting the records the second.
    const std::uint64_t total = 4 * std::uint64_t{half};
    long long first = 0;
    long long second = 0;
    if (twoThreads) {
        ForkJoin(
            [&] { first = ReadInPieces(fd, buf.get(), half, 0, work, total); },
            [&] { second = ReadInPieces(fd, buf.get() + half, size - half, half, work, total); });
    } else {
        first = ReadInPieces(fd, buf.get(), size, 0, work, total);
    }
    struct stat after {};
    if (first < 0 || second < 0 || static_cast<std::size_t>(first) != half ||
        static_cast<std::size_t>(second) != size - half || ::fstat(fd, &after) != 0 ||
        StampOf(after) != StampOf(st))
        throw EReadError(Format(msg::kFileReadFailed, {PathForShow(path)}));
    return size;
}

[[noreturn]] void ThrowNul(const std::string& path, std::int64_t line) {
    throw EReadError(Format(msg::kNulInLine, {PathForShow(path), line}));
}

}  // namespace

char ChosenDelimiter(DelimiterChoice choice, std::string_view text, Encoding encoding) {
    switch (choice) {
        case DelimiterChoice::Comma:
            return ',';
        case DelimiterChoice::Tab:
            return '\t';
        case DelimiterChoice::Auto:
            break;
    }
    return DelimiterOf(text, encoding);
}

TextForm LoadLines(TStringList& list, const std::string& path, TextChoice textChoice,
                   std::size_t parallelFrom, const CancelCheck& work) {
    const EncodingChoice choice = textChoice.Encoding;
    struct stat st {};
    FileHandle file(OpenRegularFile(path, &st));
    if (!file.Valid()) {
        throw EFOpenError(Format(msg::kFileCannotOpen, {PathForShow(path)}));
    }
    const bool twoThreads = static_cast<std::size_t>(st.st_size) >= parallelFrom &&
                            std::thread::hardware_concurrency() >= 2;
    std::unique_ptr<char[]> buf;
    const std::size_t size = ReadWhole(file.Get(), st, path, twoThreads, buf, work);
    file.Close();

    // A code page 932 file has no byte-order mark: chosen so, those bytes are its text.
    const char* text = buf.get();
    TextForm form;
    form.ByteOrderMark =
        choice != EncodingChoice::Cp932 && std::string_view(text, size).starts_with(kUtf8Bom);
    const bool guessing = choice == EncodingChoice::Auto && !form.ByteOrderMark;
    const std::size_t from = form.ByteOrderMark ? kUtf8Bom.size() : 0;
    // The second piece begins with the first line that starts past the middle.
    const std::size_t split =
        twoThreads ? LineStartFrom(text, std::max(from, size / 2), size) : size;

    std::vector<TStringList::Span> lines;
    PieceFindings found;
    if (split < size) {
        std::vector<PieceLine> rest;
        PieceFindings restFound;
        ForkJoin([&] { ScanSpans(text, from, split, size, guessing, lines, found, work); },
                 [&] { ScanPieceLines(text, split, size, guessing, rest, restFound, work); });
        if (found.nulLine != 0) ThrowNul(path, found.nulLine);
        const auto before = static_cast<std::int64_t>(lines.size());
        if (restFound.nulLine != 0) ThrowNul(path, before + restFound.nulLine);
        found.guess.Join(restFound.guess);
        found.quote = found.quote || restFound.quote;
        // Enough room already, unless lines cut by CR alone fooled the count.
        lines.reserve(lines.size() + rest.size());
        for (const PieceLine& line : rest) lines.push_back({text + line.at, line.size});
    } else {
        ScanSpans(text, from, size, size, guessing, lines, found, work);
        if (found.nulLine != 0) ThrowNul(path, found.nulLine);
    }
    if (guessing && found.guess.MostlyUtf8()) {
        throw EReadError(
            Format(msg::kStrayByteInUtf8, {PathForShow(path), found.guess.FirstStrayLine()}));
    }
    form.TextEncoding = choice == EncodingChoice::Cp932 ? Encoding::Cp932
                        : guessing                      ? found.guess.Guess()
                                                        : Encoding::Utf8;
    form.Delimiter = ChosenDelimiter(textChoice.Delimiter,
                                     std::string_view(text + from, size - from), form.TextEncoding);
    if (found.quote) {
        const std::int64_t open =
            JoinQuotedRecords(text, size, form.Dialect(), lines, form.Lines, work);
        if (open != 0) throw EReadError(Format(msg::kUnclosedQuote, {PathForShow(path), open}));
    }
    list.Adopt(std::move(buf), size, std::move(lines));
    return form;
}

void SaveLines(const TStringList& list, const std::string& path, std::string_view prefix) {
    StagedFile file(path);
    file.Write(list, prefix);
    file.Publish();
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

void LineReader::Open(const std::string& path) {
    if (fd_ >= 0) Close();
    struct stat st {};
    const int fd = OpenRegularFile(path, &st);
    // A folder or any other file that is not a plain file reads as access denied.
    if (fd < 0) throw EInOutError::FromErrno(errno);
    fd_ = fd;
    pos_ = len_ = 0;
    atCtrlZ_ = false;
}

bool LineReader::Fill() {
    if (pos_ < len_) return true;
    ssize_t r;
    do {
        r = ::read(fd_, block_, kBlockSize);
    } while (r < 0 && errno == EINTR);
    if (r < 0) throw EInOutError::FromErrno(errno);
    pos_ = 0;
    len_ = static_cast<std::size_t>(r);
    return r > 0;
}

bool LineReader::AtEnd() {
    if (atCtrlZ_ || !Fill()) return true;
    return block_[pos_] == 0x1A;
}

std::string LineReader::NextLine() {
    bool cut = false;
    return NextLine(std::string::npos, cut);
}

std::string LineReader::NextLine(std::size_t maxBytes, bool& cut) {
    cut = false;
    std::string line;
    if (atCtrlZ_ || !Fill()) return line;
    if (block_[pos_] == 0x1A) {
        // A Ctrl-Z that begins a line ends the file: nothing after it is read.
        atCtrlZ_ = true;
        return line;
    }
    while (Fill()) {
        const unsigned char b = block_[pos_];
        if (b == '\n') {
            ++pos_;
            break;
        }
        if (b == '\r') {
            ++pos_;
            if (Fill() && block_[pos_] == '\n') {
                ++pos_;
                break;
            }
            continue;  // a CR alone is dropped
        }
        if (line.size() == maxBytes) {
            cut = true;
            break;
        }
        std::size_t end = pos_ + 1;
        while (end < len_ && block_[end] != '\n' && block_[end] != '\r') ++end;
        const std::size_t take = std::min(end - pos_, maxBytes - line.size());
        line.append(reinterpret_cast<const char*>(block_ + pos_), take);
        pos_ += take;
    }
    return line;
}

void LineReader::Close() {
    if (fd_ < 0) return;
    const int r = ::close(fd_);
    fd_ = -1;
    if (r != 0 && errno != EINTR) throw EInOutError::FromErrno(errno);
}

}  // namespace quellor
