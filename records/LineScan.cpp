#include "records/LineScan.h"

#include <algorithm>
#include <cstring>

#include "records/ByteScan.h"
#include "records/FieldCodec.h"

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
template <typename Lines, typename Put>
void ScanInto(const char* text, std::size_t from, std::size_t to, std::size_t countTo,
              bool guessing, Lines& lines, PieceFindings& found, Put put) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    found.quote = std::memchr(text + from, '"', to - from) != nullptr;
    lines.reserve((countTo - from) / 64 + 16);
    for (std::size_t pos = from; pos < to;) {
        if (lines.size() == lines.capacity()) {
            // Short lines: count the rest once rather than let the list
            // double, which would hold up to twice the memory it needs.
            const auto rest = std::count(text + pos, text + countTo, '\n');
            // Lines cut by CR alone are not counted: those still grow by half.
            lines.reserve(std::max(lines.size() + static_cast<std::size_t>(rest) + 1,
                                   lines.size() + lines.size() / 2));
        }
        const std::size_t end = NextLineByte(p, pos, to);
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
          Lines& lines, PieceFindings& found, Put put) {
    Lines mine = std::move(lines);
    PieceFindings findings = found;
    ScanInto(text, from, to, countTo, guessing, mine, findings, put);
    lines = std::move(mine);
    found = findings;
}

}  // namespace

void ScanSpans(const char* text, std::size_t from, std::size_t to, std::size_t countTo,
               bool guessing, std::vector<TStringList::Span>& lines, PieceFindings& found) {
    Scan(text, from, to, countTo, guessing, lines, found,
         [text](auto& out, std::size_t pos, std::size_t end) {
             out.push_back({text + pos, end - pos});
         });
}

void ScanPieceLines(const char* text, std::size_t from, std::size_t to, bool guessing,
                    std::vector<PieceLine>& lines, PieceFindings& found) {
    Scan(
        text, from, to, to, guessing, lines, found,
        [](auto& out, std::size_t pos, std::size_t end) {
            out.push_back({static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(end - pos)});
        });
}

std::int64_t JoinQuotedRecords(const char* text, std::size_t size, const CsvDialect& dialect,
                               std::vector<TStringList::Span>& lines, RecordLines& recordLines) {
    const std::string_view all(text, size);
    const auto endOf = [&](std::size_t k) {
        return static_cast<std::size_t>(lines[k].data - text) + lines[k].size;
    };
    std::size_t out = 0;
    for (std::size_t i = 0; i < lines.size();) {
        const TStringList::Span first = lines[i];
        if (std::memchr(first.data, '"', first.size) == nullptr) {
            lines[out++] = first;
            ++i;
            continue;
        }
        const auto start = static_cast<std::size_t>(first.data - text);
        const RecordEnd record = FindRecordEnd(all, start, dialect);
        std::size_t last = i;
        if (record.Unclosed) {
            while (last + 1 < lines.size() && endOf(last) < record.OpenedAt) ++last;
            return static_cast<std::int64_t>(last) + 1;
        }
        while (last + 1 < lines.size() && endOf(last) < record.End) ++last;
        if (last > i)
            recordLines.Note(static_cast<std::int64_t>(out), static_cast<std::int64_t>(last - i));
        lines[out++] = {first.data, record.End - start};
        i = last + 1;
    }
    lines.resize(out);
    return 0;
}

}  // namespace quellor
