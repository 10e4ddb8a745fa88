#include "records/LineScan.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

#include "records/ByteScan.h"
#include "records/FieldCodec.h"
#include "records/ForkJoin.h"

namespace quellor {

std::size_t LineStartFrom(const char* text, std::size_t from, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = NextLineByte(p, from, size);
    while (i < size && p[i] == 0) i = NextLineByte(p, i + 1, size);
    if (i >= size) return size;
    // A CR is never the second byte of a pair, so it always ends a line;
    // an LF found first may be a pair's second byte, which ends one too.
    if (p[i] == '\r' && i + 1 < size && p[i + 1] == '\n') return i + 2;
    return i + 1;
}

namespace {

// CR LF, CR and LF each end a line; a break at the very end adds no empty
// line. One pass finds the breaks and any NUL byte together, and feeds the
// encoding guess (line breaks cut characters of neither encoding).
// Lines between two looks at the work's check.
constexpr std::size_t kLooksEvery = 8192;

template <typename Lines, typename Put>
void ScanInto(const char* text, std::size_t from, std::size_t to, std::size_t countTo,
              bool guessing, Lines& lines, PieceFindings& found, Put put, const CancelCheck& work) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    lines.reserve((countTo - from) / 64 + 16);
    for (std::size_t pos = from; pos < to;) {
        if (lines.size() % kLooksEvery == 0) {
            work.ThrowIfRequested();
            // Read, the first half of a load; the pieces cut at a like pace.
            work.Report(countTo + 2 * (pos - from), 2 * std::uint64_t{countTo});
        }
        if (lines.size() == lines.capacity()) {
            // Short lines: count the rest once rather than let the list
            // double, which would hold up to twice the memory it needs.
            const auto rest = std::count(text + pos, text + countTo, '\n');
            // Lines cut by CR alone are not counted: those still grow by half.
            lines.reserve(std::max(lines.size() + static_cast<std::size_t>(rest) + 1,
                                   lines.size() + lines.size() / 2));
        }
        const std::size_t end = NextLineByte(p, pos, to, found.quote);
        if (end < to && p[end] == 0) {
            found.nulLine = static_cast<std::int64_t>(lines.size()) + 1;
            return;
        }
        put(lines, pos, end);
        if (guessing) found.guess.Feed(std::string_view(text + pos, end - pos));
        pos = end + 1;
        if (end < to && p[end] == '\r' && pos < to && p[pos] == '\n') ++pos;
    }
}

// The two pieces' lists and findings lie side by side in their caller's
// frame: each piece works on its own copies, or every line it added would
// take the shared cache line away from the other core.
template <typename Lines, typename Put>
void Scan(const char* text, std::size_t from, std::size_t to, std::size_t countTo, bool guessing,
          Lines& lines, PieceFindings& found, Put put, const CancelCheck& work) {
    Lines mine = std::move(lines);
    PieceFindings findings = found;
    ScanInto(text, from, to, countTo, guessing, mine, findings, put, work);
    lines = std::move(mine);
    found = findings;
}

}  // namespace

void ScanSpans(const char* text, std::size_t from, std::size_t to, std::size_t countTo,
               bool guessing, std::vector<TStringList::Span>& lines, PieceFindings& found,
               const CancelCheck& work) {
    Scan(
        text, from, to, countTo, guessing, lines, found,
        [text](auto& out, std::size_t pos, std::size_t end) {
            out.push_back({text + pos, end - pos});
        },
        work);
}

void ScanPieceLines(const char* text, std::size_t from, std::size_t to, bool guessing,
                    std::vector<PieceLine>& lines, PieceFindings& found, const CancelCheck& work) {
    Scan(
        text, from, to, to, guessing, lines, found,
        [](auto& out, std::size_t pos, std::size_t end) {
            out.push_back({static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(end - pos)});
        },
        work);
}

namespace {

// Lines [from, to) joined into records, each handed to put in order; the last
// record may run on past to. Records that hold breaks are noted by their
// place among the records put.
struct JoinedRange {
    std::size_t Next = 0;       // the line the next record begins on
    std::int64_t Unclosed = 0;  // the line (from 1) a quote still open at the end opened on
    std::vector<std::pair<std::int64_t, std::int64_t>> Breaks;  // record, breaks in it
};

template <typename Put>
JoinedRange JoinRange(const char* text, std::size_t size, const CsvDialect& dialect,
                      const std::vector<TStringList::Span>& lines, std::size_t from, std::size_t to,
                      const Put& put, const CancelCheck& work) {
    const std::string_view all(text, size);
    const auto endOf = [&](std::size_t k) {
        return static_cast<std::size_t>(lines[k].data - text) + lines[k].size;
    };
    JoinedRange r;
    std::int64_t records = 0;
    std::size_t ends[kMaxPlainFields];
    std::size_t i = from;
    while (i < to) {
        work.AtStep(i - from);
        const TStringList::Span first = lines[i];
        // A line without quotes, or whose quotes wrap whole fields, is a
        // record: its quotes all close on it.
        if (std::memchr(first.data, '"', first.size) == nullptr ||
            FindPlainFieldEnds({first.data, first.size}, dialect, ends, nullptr) > 0) {
            put(first);
            ++records;
            ++i;
            continue;
        }
        const auto start = static_cast<std::size_t>(first.data - text);
        const RecordEnd record = FindRecordEnd(all, start, dialect);
        std::size_t last = i;
        if (record.Unclosed) {
            while (last + 1 < lines.size() && endOf(last) < record.OpenedAt) ++last;
            r.Unclosed = static_cast<std::int64_t>(last) + 1;
            return r;
        }
        while (last + 1 < lines.size() && endOf(last) < record.End) ++last;
        if (last > i) r.Breaks.emplace_back(records, static_cast<std::int64_t>(last - i));
        put({first.data, record.End - start});
        ++records;
        i = last + 1;
    }
    r.Next = i;
    return r;
}

// Below this many lines a second thread costs about what it saves.
constexpr std::size_t kJoinInTwoFrom = 40000;

}  // namespace

// A long text is joined in two halves at once, the second as if a record
// began where it begins. That is so unless a quoted value runs across the
// middle; then the first half's last record shows it, and the rest is
// joined again from where that record ended.
std::int64_t JoinQuotedRecords(const char* text, std::size_t size, const CsvDialect& dialect,
                               std::vector<TStringList::Span>& lines, RecordLines& recordLines,
                               const CancelCheck& work) {
    const std::size_t n = lines.size();
    std::size_t out = 0;
    const auto inPlace = [&](const TStringList::Span& record) { lines[out++] = record; };
    const auto note = [&](const JoinedRange& r, std::int64_t first) {
        for (const auto& [record, breaks] : r.Breaks) recordLines.Note(first + record, breaks);
    };
    if (n < kJoinInTwoFrom || std::thread::hardware_concurrency() < 2) {
        const JoinedRange all = JoinRange(text, size, dialect, lines, 0, n, inPlace, work);
        if (all.Unclosed != 0) return all.Unclosed;
        note(all, 0);
        lines.resize(out);
        return 0;
    }
    const std::size_t middle = n / 2;
    std::vector<TStringList::Span> rest;
    rest.reserve(n - middle);
    JoinedRange first, second;
    ForkJoin([&] { first = JoinRange(text, size, dialect, lines, 0, middle, inPlace, work); },
             [&] {
                 second = JoinRange(
                     text, size, dialect, lines, middle, n,
                     [&](const TStringList::Span& r) { rest.push_back(r); }, work);
             });
    if (first.Unclosed != 0) return first.Unclosed;
    note(first, 0);
    const auto firstRecords = static_cast<std::int64_t>(out);
    if (first.Next == middle) {
        if (second.Unclosed != 0) return second.Unclosed;
        note(second, firstRecords);
        for (const TStringList::Span& record : rest) lines[out++] = record;
    } else {
        const JoinedRange again =
            JoinRange(text, size, dialect, lines, first.Next, n, inPlace, work);
        if (again.Unclosed != 0) return again.Unclosed;
        note(again, firstRecords);
    }
    lines.resize(out);
    return 0;
}

}  // namespace quellor
