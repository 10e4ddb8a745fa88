#include "records/MyClasses.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "records/ByteScan.h"
#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/FieldCodec.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

bool TStringListEx::MatchField(std::string_view searchText, int fieldIndex, MatchMode mode) const {
    if (mode > 3) return false;
    const std::string_view field = Get(fieldIndex);
    switch (mode) {
        case 0:
            return SameLocale(field, searchText, IgnoreCase);
        case 1:
            return FindSubtext(field, searchText) > 0;
        case 2: {
            // Cut at a byte count, whatever the characters there.
            const std::size_t n = std::min(searchText.size(), field.size());
            return SameLocale(searchText, field.substr(0, n), IgnoreCase);
        }
        default: {
            if (searchText.empty() || field.size() < searchText.size()) return false;
            const std::size_t tail = field.size() - searchText.size();
            if (IsTrailByte(field, tail)) return false;
            return SameLocale(field.substr(tail), searchText, IgnoreCase);
        }
    }
}

namespace {

// One rewrite of the sort: split a line with the double quote, swap two
// fields, join again. Most lines hold no blank and no double quote at a
// character start; there every field is the plain run between two commas
// and none needs quoting, so the swap is done on the bytes directly with the
// same result as splitting and joining.
class FieldSwapper {
  public:
    // Rewrites line into out, checking the field count first when expected
    // is not negative; throws as the list operations would.
    void Rewrite(std::string_view line, int a, int b, int expected, int lineNumber,
                 std::string& out) {
        if (FastPath(line, a, b, expected, lineNumber, out)) return;
        SplitFields(scratch_, line);
        CheckCount(scratch_.Count(), expected, lineNumber);
        scratch_.Exchange(a, b);
        JoinFieldsInto(scratch_, out);
    }

  private:
    static void CheckCount(int count, int expected, int lineNumber) {
        if (expected >= 0 && count != expected) {
            throw EStringListError(Format(msg::kFieldCountDiffers, {std::int64_t{lineNumber}}));
        }
    }

    bool FastPath(std::string_view line, int a, int b, int expected, int lineNumber,
                  std::string& out) {
        if (line.empty()) return false;
        const auto* p = reinterpret_cast<const unsigned char*>(line.data());
        const std::size_t n = line.size();
        std::size_t bounds[kMaxFastFields + 2];
        std::size_t count = 0;
        bounds[count++] = 0;
        for (std::size_t i = 0; (i = NextStopByte(p, i, n, ',', '"')) < n; ++i) {
            if (!StartsCharacter(p, 0, i)) continue;  // the second byte of a character
            if (p[i] != ',' || count > kMaxFastFields) return false;
            bounds[count++] = i + 1;
        }
        bounds[count] = n + 1;
        const int fields = static_cast<int>(count);
        CheckCount(fields, expected, lineNumber);
        if (a < 0 || b < 0 || a >= fields || b >= fields) return false;
        out.resize(n);  // a swap keeps the length
        char* d = out.data();
        for (int k = 0; k < fields; ++k) {
            const int from = k == a ? b : k == b ? a : k;
            if (k > 0) *d++ = ',';
            const std::size_t len = bounds[from + 1] - 1 - bounds[from];
            std::memcpy(d, line.data() + bounds[from], len);
            d += len;
        }
        return true;
    }

    static constexpr std::size_t kMaxFastFields = 64;
    TStringList scratch_;  // never given settings: comma and double quote
};

constexpr int kPrefetchAhead = 12;

void Prefetch(std::string_view line) {
    for (std::size_t at = 0; at < line.size() && at < 256; at += 64) {
        __builtin_prefetch(line.data() + at);
    }
}

}  // namespace

void TStringListEx::SortByField(int keyIndex, int expectedFieldCount) {
    FieldSwapper swapper;
    std::string joined;
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        swapper.Rewrite(At(static_cast<std::size_t>(i)), 0, keyIndex, expectedFieldCount, i + 1,
                        joined);
        Put(i, joined);
    }
    SortLines();
    // Sorting scattered the lines over memory; writing them anew in their
    // new order keeps the later stages and the save reading sequentially.
    for (int i = 0; i < count; ++i) {
        // The sorted lines lie scattered: ask for the ones a little ahead
        // while this one is rewritten, so the pass does not wait on memory.
        if (i + kPrefetchAhead < count) Prefetch(At(static_cast<std::size_t>(i + kPrefetchAhead)));
        swapper.Rewrite(At(static_cast<std::size_t>(i)), keyIndex, 0, -1, i + 1, joined);
        PutAtTail(i, joined);
    }
    ReleaseUnusedBlocks();
}

void TStringListEx::ReverseLines() {
    const int count = Count();
    for (int i = 0; i < count - 1 - i; ++i) Exchange(i, count - 1 - i);
}

std::unique_ptr<TStringListEx> TStringListEx::ExtractDuplicates() {
    // Walking from the end never moves a line still to be compared, so each
    // line is compared with its original neighbour: one forward pass gives
    // the same result, with the moved lines already in their order.
    auto moved = std::make_unique<TStringListEx>();
    const std::size_t count = static_cast<std::size_t>(Count());
    if (count < 2) return moved;
    std::vector<char> keep(count, 1);
    for (std::size_t i = 1; i < count; ++i) {
        if (SameBytes(At(i), At(i - 1))) {
            keep[i] = 0;
            moved->Add(At(i));
        }
    }
    if (moved->Count() > 0) KeepMarked(keep);
    return moved;
}

void TStringListEx::SelectFieldsInto(const std::vector<int>& fieldNumbers, std::string& out) const {
    out.clear();
    for (int n : fieldNumbers) {
        if (n > Count()) throw EStringListError(Format(msg::kFieldMissing, {std::int64_t{n}}));
        const std::string_view field = Get(n - 1);
        out += ',';
        out += field;
    }
    if (!out.empty()) out.erase(0, 1);
}

std::string TStringListEx::SelectFields(const std::vector<int>& fieldNumbers) const {
    std::string out;
    SelectFieldsInto(fieldNumbers, out);
    return out;
}

}  // namespace quellor
