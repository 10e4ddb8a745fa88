#include "records/LineStream.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

#include "records/ByteScan.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

constexpr std::size_t kIndexBlock = std::size_t{4} << 20;
constexpr std::uint64_t kLooksEvery = 8192;

[[noreturn]] void ThrowReadFailed(const std::string& path) {
    throw EReadError(Format(msg::kFileReadFailed, {PathForShow(path)}));
}

}  // namespace

void IndexedFile::CheckUnchanged() const {
    struct stat st {};
    if (::fstat(File.Get(), &st) != 0 || StampOf(st) != Stamp) ThrowReadFailed(Path);
}

LineStream::LineStream(const IndexedFile& input, std::uint64_t from, std::uint64_t to,
                       std::size_t blockSize, const CsvDialect* dialect)
    : input_(input), buf_(std::max<std::size_t>(blockSize, 64)) {
    if (dialect) {
        dialect_ = *dialect;
    } else if (input.Quotes) {
        dialect_ = input.Form.Dialect();
    }
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
        std::size_t end = NextLineByte(p, pos_, len_);
        // A CR at the buffer's end: whether an LF follows decides where the next line begins.
        const auto cut = [&](std::size_t at) {
            return !eof_ && (at == len_ || (at + 1 == len_ && p[at] == '\r'));
        };
        if (cut(end)) {
            Refill();
            continue;
        }
        if (end < len_ && p[end] == 0) {
            nul_ = true;
            return false;
        }
        if (pos_ == len_) return false;
        std::size_t next = end < len_ ? end + 1 : len_;
        if (dialect_ && std::memchr(p + pos_, '"', end - pos_) != nullptr) {
            // A quoted value may run on past this line: the record decides.
            const RecordEnd record =
                FindRecordEnd(std::string_view(buf_.data() + pos_, len_ - pos_), 0, *dialect_);
            end = pos_ + record.End;
            if (record.Unclosed ? !eof_ : cut(end)) {
                Refill();
                continue;
            }
            if (record.Unclosed) unclosedAt_ = bufStart_ + pos_ + record.OpenedAt;
            next = pos_ + record.Next;
        } else if (end < len_ && p[end] == '\r' && next < len_ && p[next] == '\n') {
            ++next;
        }
        lineStart_ = bufStart_ + pos_;
        line = std::string_view(buf_.data() + pos_, end - pos_);
        pos_ = next;
        return true;
    }
}

namespace {

// Counts and marks the records (or lines) a stream gives, checking their
// number; the work is looked at and told how far the pass has come now and then.
void IndexStream(IndexedFile& f, LineStream& stream, const CancelCheck& work,
                 const std::function<void(std::string_view)>& each) {
    std::string_view record;
    while (stream.Next(record)) {
        if (f.Index.Lines == static_cast<std::uint64_t>(INT_MAX)) {
            throw EReadError(Format(msg::kTooManyLines, {PathForShow(f.Path)}));
        }
        if (f.Index.Lines % kLooksEvery == 0) {
            work.ThrowIfRequested();
            work.Report(stream.LineStart(), f.Stamp.Size);
        }
        f.Index.LineAt(stream.LineStart());
        each(record);
    }
}

// Line breaks in a record's bytes: CR LF, CR and LF each count once.
std::int64_t BreaksIn(std::string_view record) {
    std::int64_t breaks = 0;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (record[i] == '\n' ||
            (record[i] == '\r' && (i + 1 == record.size() || record[i + 1] != '\n')))
            ++breaks;
    }
    return breaks;
}

}  // namespace

IndexedFile IndexLines(const std::string& path, TextChoice textChoice, const CancelCheck& work) {
    const EncodingChoice choice = textChoice.Encoding;
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
    // reads the same whichever path it takes.
    f.Form.ByteOrderMark =
        choice != EncodingChoice::Cp932 && got == 3 && std::string_view(head, 3) == kUtf8Bom;
    const std::uint64_t from = f.Form.ByteOrderMark ? kUtf8Bom.size() : 0;
    const bool guessing = choice == EncodingChoice::Auto && !f.Form.ByteOrderMark;

    EncodingGuess guess;
    {
        LineStream lines(f, from, size, kIndexBlock);
        IndexStream(f, lines, work, [&](std::string_view line) {
            if (guessing) guess.Feed(line);
            f.Quotes = f.Quotes || std::memchr(line.data(), '"', line.size()) != nullptr;
        });
        if (lines.NulMet()) {
            const auto lineNumber = static_cast<std::int64_t>(f.Index.Lines) + 1;
            throw EReadError(Format(msg::kNulInLine, {PathForShow(path), lineNumber}));
        }
    }
    if (guessing && guess.MostlyUtf8()) {
        throw EReadError(
            Format(msg::kStrayByteInUtf8, {PathForShow(path), guess.FirstStrayLine()}));
    }
    f.Index.End = size;
    f.Form.TextEncoding = choice == EncodingChoice::Cp932 ? Encoding::Cp932
                          : guessing                      ? guess.Guess()
                                                          : Encoding::Utf8;
    if (textChoice.Delimiter == DelimiterChoice::Auto && f.Index.Lines > 0) {
        const CsvDialect tabs(f.Form.TextEncoding, '\t');
        LineStream first(f, from, size, std::size_t{64} << 10, &tabs);
        std::string_view record;
        first.Next(record);
        f.Form.Delimiter = DelimiterOf(record, f.Form.TextEncoding);
    } else {
        f.Form.Delimiter = ChosenDelimiter(textChoice.Delimiter, {}, f.Form.TextEncoding);
    }
    if (!f.Quotes) return f;

    // Records may span lines: the index marks where records begin.
    const LineIndex lines = std::move(f.Index);
    f.Index = LineIndex{};
    f.Index.End = size;
    LineStream records(f, from, size, kIndexBlock);
    IndexStream(f, records, work, [&](std::string_view record) {
        if (const std::int64_t breaks = BreaksIn(record)) {
            f.Form.Lines.Note(static_cast<std::int64_t>(f.Index.Lines) - 1, breaks);
        }
    });
    if (const std::uint64_t open = records.UnclosedAt()) {
        // The line the quote opened on: the first pass marked a line at
        // most a stretch before it; the breaks in between are counted.
        LineMark before{from, 0};
        for (const LineMark& mark : lines.Marks) {
            if (mark.Offset > open) break;
            before = mark;
        }
        std::string between(open - before.Offset, '\0');
        if (ReadFullyAt(f.File.Get(), between.data(), between.size(), before.Offset) !=
            static_cast<long long>(between.size()))
            ThrowReadFailed(path);
        const auto line = static_cast<std::int64_t>(before.Line) + BreaksIn(between) + 1;
        throw EReadError(Format(msg::kUnclosedQuote, {PathForShow(path), line}));
    }
    return f;
}

}  // namespace quellor
