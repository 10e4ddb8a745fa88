#include "records/FieldCodec.h"

#include <algorithm>
#include <cstring>

#include "records/ByteScan.h"

namespace quellor {

FieldWalker::FieldWalker(std::string_view text, std::size_t from, const CsvDialect& dialect)
    : p_(reinterpret_cast<const unsigned char*>(text.data())),
      n_(text.size()),
      d_(static_cast<unsigned char>(dialect.Delimiter)),
      pairs_(dialect.TextEncoding == Encoding::Cp932),
      pos_(from) {}

// The first delimiter that begins a character, or line break, at or after
// from (a character start); the end when there is none.
std::size_t FieldWalker::PlainEnd(std::size_t from) const {
    std::size_t i = from;
    while ((i = NextOfThree(p_, i, n_, d_, '\r', '\n')) < n_ && p_[i] == d_ && pairs_ &&
           !StartsCharacter(p_, from, i)) {
        ++i;
    }
    return i;
}

bool FieldWalker::Next(FieldBounds& f) {
    if (!more_) return false;
    f = FieldBounds{};
    f.From = pos_;
    std::size_t q = pos_;
    while (q < n_ && p_[q] == ' ') ++q;
    std::size_t end;
    if (q < n_ && p_[q] == kQuote) {
        f.Quoted = true;
        f.ValueFrom = q + 1;
        std::size_t i = q + 1;
        for (;;) {
            const void* hit = std::memchr(p_ + i, kQuote, n_ - i);
            if (hit == nullptr) {
                f.Open = true;
                f.ValueTo = end = f.TailFrom = f.TailTo = n_;
                break;
            }
            const auto at = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - p_);
            if (pairs_ && !StartsCharacter(p_, f.ValueFrom, at)) {
                i = at + 1;
            } else if (at + 1 < n_ && p_[at + 1] == kQuote) {
                f.Pairs = true;
                i = at + 2;
            } else {
                f.ValueTo = at;
                end = PlainEnd(at + 1);
                f.TailFrom = at + 1;
                f.TailTo = end;
                TrimPadding(p_, f.TailFrom, f.TailTo);
                break;
            }
        }
    } else {
        end = PlainEnd(pos_);
        f.ValueFrom = pos_;
        f.ValueTo = end;
        TrimPadding(p_, f.ValueFrom, f.ValueTo);
    }
    f.To = end;
    // A delimiter always has a field after it, empty at the record's end.
    if (end < n_ && p_[end] == d_) {
        pos_ = end + 1;
    } else {
        pos_ = end;
        more_ = false;
    }
    return true;
}

RecordEnd FindRecordEnd(std::string_view text, std::size_t from, const CsvDialect& dialect) {
    FieldWalker walker(text, from, dialect);
    FieldBounds field;
    RecordEnd r{};
    while (walker.Next(field)) {
        if (field.Open) {
            r.Unclosed = true;
            r.OpenedAt = field.ValueFrom - 1;
        }
    }
    r.End = walker.End();
    r.Next = r.End;
    if (r.Next < text.size()) {
        // CR LF, CR or LF: one break.
        if (text[r.Next] == '\r' && r.Next + 1 < text.size() && text[r.Next + 1] == '\n') ++r.Next;
        ++r.Next;
    }
    return r;
}

char DelimiterOf(std::string_view text, Encoding encoding) {
    FieldWalker walker(text, 0, CsvDialect(encoding, '\t'));
    FieldBounds field;
    int fields = 0;
    bool comma = false;
    const auto holdsComma = [&](std::size_t from, std::size_t to) {
        return text.substr(from, to - from).find(',') != std::string_view::npos;
    };
    while (walker.Next(field)) {
        ++fields;
        comma = comma || (field.Quoted ? holdsComma(field.TailFrom, field.TailTo)
                                       : holdsComma(field.From, field.To));
    }
    return fields > 1 && !comma ? '\t' : ',';
}

namespace {

// Quotes are looked at in place in records up to this many 64-byte blocks.
constexpr std::size_t kQuoteBlocks = 64;

// Whether every quote stands as a field's first or last byte, wrapping it
// whole: each field holds no quote, or one at each end and none between.
bool QuotesWrapFields(const std::size_t* ends, std::size_t count, const std::uint64_t* quotes,
                      std::size_t blocks) {
    const auto at = [&](std::size_t i) { return (quotes[i / 64] >> (i % 64)) & 1; };
    std::size_t wrapped = 0;
    for (std::size_t k = 0, from = 0; k < count; from = ends[k++] + 1) {
        if (ends[k] == from) continue;
        const auto first = at(from), last = at(ends[k] - 1);
        if (first != last || (first && ends[k] - from < 2)) return false;
        wrapped += first;
    }
    std::size_t total = 0;
    for (std::size_t b = 0; b < blocks; ++b)
        total += static_cast<std::size_t>(__builtin_popcountll(quotes[b]));
    return total == 2 * wrapped;
}

}  // namespace

namespace {

template <bool kPadding>
std::size_t FindPlainFieldEndsIn(std::string_view record, const CsvDialect& dialect,
                                 std::size_t* ends, bool* padded) {
    const auto* p = reinterpret_cast<const unsigned char*>(record.data());
    const std::size_t n = record.size();
    if (n == 0) return 0;
    const auto d = static_cast<unsigned char>(dialect.Delimiter);
    const bool pairs = dialect.TextEncoding == Encoding::Cp932;
    std::size_t count = 0;
    std::uint64_t oddCarry = 0;
    std::uint64_t quotes[kQuoteBlocks];
    bool anyQuote = false;
    // A field begins after a delimiter, or at the record's start; one
    // padded at either end shows as a blank beside a delimiter.
    std::uint64_t startCarry = 1, blankCarry = 0, beside = 0;
    // Sixty-four bytes at a time; the last block is padded with a byte that
    // is none of the ones looked for.
    unsigned char tail[64];
    for (std::size_t base = 0; base < n; base += 64) {
        const unsigned char* block = p + base;
        if (n - base < 64) {
            std::memset(tail, 'a', sizeof tail);
            std::memcpy(tail, block, n - base);
            block = tail;
        }
        const StopMasks m = StopMasks64<kPadding>(block, d);
        // SplitFields ends a record at a NUL; a NUL is never a second byte.
        if (m.nuls != 0) return 0;
        // In UTF-8 every delimiter and quote begins a character.
        const std::uint64_t seconds = pairs ? AfterOddLeadRuns(m.leads, oddCarry) : 0;
        // A quote taken for a second byte is the walker's to read.
        if ((m.quotes & seconds) != 0) return 0;
        const std::uint64_t delimiters = m.delimiters & ~seconds;
        if constexpr (kPadding) {
            // In a tab-separated record a tab separates, unless it is a
            // second byte: Trim takes that one for padding as any other.
            const std::uint64_t blanks = m.blanks & ~delimiters;
            beside |= blanks & ((delimiters << 1) | startCarry | (delimiters >> 1));
            beside |= blankCarry & delimiters;
            startCarry = delimiters >> 63;
            blankCarry = blanks >> 63;
        }
        for (std::uint64_t bits = delimiters; bits != 0; bits &= bits - 1) {
            if (count + 1 == kMaxPlainFields) return 0;
            ends[count++] = base + static_cast<std::size_t>(__builtin_ctzll(bits));
        }
        if (base / 64 < kQuoteBlocks) {
            quotes[base / 64] = m.quotes;
        } else if (m.quotes != 0 || anyQuote) {
            return 0;
        }
        anyQuote = anyQuote || m.quotes != 0;
    }
    const bool endsInDelimiter = count > 0 && ends[count - 1] == n - 1;
    ends[count++] = n;
    // Quotes that wrap whole fields cut nothing: the fields are their bytes
    // between delimiters, the values those without the quotes. Any other
    // quote is the walker's to read.
    if (anyQuote && !QuotesWrapFields(ends, count, quotes, std::min(kQuoteBlocks, (n + 63) / 64)))
        return 0;
    if constexpr (kPadding)
        *padded = anyQuote || beside != 0 || (IsPadding(p[n - 1]) && !endsInDelimiter);
    return count;
}

}  // namespace

std::size_t FindPlainFieldEnds(std::string_view record, const CsvDialect& dialect,
                               std::size_t* ends, bool* padded) {
    return padded ? FindPlainFieldEndsIn<true>(record, dialect, ends, padded)
                  : FindPlainFieldEndsIn<false>(record, dialect, ends, nullptr);
}

std::string_view FieldValue(std::string_view record, const FieldBounds& f,
                            const CsvDialect& dialect, char*& out) {
    if (!f.Quoted || (!f.Pairs && f.TailTo == f.TailFrom)) {
        return record.substr(f.ValueFrom, f.ValueTo - f.ValueFrom);
    }
    const auto* p = reinterpret_cast<const unsigned char*>(record.data());
    const bool pairs = dialect.TextEncoding == Encoding::Cp932;
    char* const value = out;
    for (std::size_t i = f.ValueFrom; i < f.ValueTo;) {
        const std::size_t len = pairs && IsLeadByte(p[i]) && i + 1 < f.ValueTo ? 2 : 1;
        if (len == 1 && p[i] == kQuote && i + 1 < f.ValueTo) ++i;  // the pair's second quote
        std::memcpy(out, p + i, len);
        out += len;
        i += len;
    }
    if (f.TailTo > f.TailFrom) {
        std::memcpy(out, p + f.TailFrom, f.TailTo - f.TailFrom);
        out += f.TailTo - f.TailFrom;
    }
    return {value, static_cast<std::size_t>(out - value)};
}

}  // namespace quellor
