#include "records/SortKeys.h"

#include <unicode/ucoleitr.h>

#include <cstring>
#include <exception>
#include <memory>
#include <thread>

#include "records/Collation.h"

namespace quellor {

namespace {

constexpr std::size_t kParallelFrom = 20000;

// The list's quicksort, step for step: the pivot is tracked by position as
// lines are swapped, equal lines move as the steps say, and the result is
// the same order whoever runs it. The smaller side is handled by a nested
// call and the larger by looping, which keeps the stack shallow on any
// input; the two sides are disjoint, so this changes no line's place.
template <typename T, typename Cmp>
void QuickSort(std::vector<T>& v, std::int64_t lo, std::int64_t hi, const Cmp& cmp) {
    while (lo < hi) {
        std::int64_t i = lo, j = hi, p = (lo + hi) / 2;
        do {
            while (i < hi && cmp(v[i], v[p]) < 0) ++i;
            while (j > lo && cmp(v[j], v[p]) > 0) --j;
            if (i <= j) {
                std::swap(v[i], v[j]);
                if (p == i) {
                    p = j;
                } else if (p == j) {
                    p = i;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j) QuickSort(v, lo, j, cmp);
            lo = i;
        } else {
            if (i < hi) QuickSort(v, i, hi, cmp);
            hi = j;
        }
    }
}

std::uint64_t LoadBigEndian(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int k = 0; k < 8; ++k) v = (v << 8) | p[k];
    return v;
}

template <typename T>
int Order(T a, T b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

using ElementsPtr = std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)>;

}  // namespace

SortKeys::SortKeys(const TStringList& list, bool ignoreCase)
    : list_(list), ignoreCase_(ignoreCase) {
    const std::size_t n = static_cast<std::size_t>(list.Count());
    bytes_.assign(n * kPrefix, 0);
    sizes_.resize(n);
    if (n < kParallelFrom || std::thread::hardware_concurrency() < 2) {
        Build(0, n);
        return;
    }
    const std::size_t half = n / 2;
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            Build(half, n);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        Build(0, half);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure) std::rethrow_exception(failure);
}

// The primary weights of a line, as the bytes the collator's own keys would
// hold at that level: each collation element gives the non-zero bytes of
// its primary part; elements without one (accents, case) add nothing.
void SortKeys::Build(std::size_t from, std::size_t to) {
    collation::U16Buffer text, scratch;
    UErrorCode status = U_ZERO_ERROR;
    ElementsPtr elements(ucol_openElements(collation::Collator(), nullptr, 0, &status),
                         &ucol_closeElements);
    for (std::size_t i = from; i < to; ++i) {
        collation::PrepareText(list_.At(i), ignoreCase_, text, scratch);
        std::uint8_t* key = &bytes_[i * kPrefix];
        std::size_t size = 0;
        status = U_ZERO_ERROR;
        if (elements) {
            ucol_setText(elements.get(), text.data(), static_cast<int32_t>(text.size()), &status);
        }
        if (!elements || U_FAILURE(status)) {
            size = kPrefix;  // no prefix: every comparison goes to the collator
        }
        while (size < kPrefix) {
            const int32_t ce = ucol_next(elements.get(), &status);
            if (ce == UCOL_NULLORDER || U_FAILURE(status)) break;
            const auto primary = static_cast<std::uint32_t>(ucol_primaryOrder(ce));
            if ((primary >> 8) != 0) key[size++] = static_cast<std::uint8_t>(primary >> 8);
            if ((primary & 0xFF) != 0 && size < kPrefix) {
                key[size++] = static_cast<std::uint8_t>(primary & 0xFF);
            }
        }
        if (U_FAILURE(status)) {
            std::memset(key, 0, kPrefix);
            size = kPrefix;
        }
        sizes_[i] = static_cast<std::uint8_t>(size);
    }
}

int SortKeys::CompareFully(std::uint32_t a, std::uint32_t b) const {
    thread_local collation::U16Buffer ta, tb, scratch;
    collation::PrepareText(list_.At(a), ignoreCase_, ta, scratch);
    collation::PrepareText(list_.At(b), ignoreCase_, tb, scratch);
    return collation::ComparePrepared(ta, tb);
}

// After equal heads: the rest of the prefix, then the collator. Zero padding
// sorts below every weight byte, so a line whose primaries end first is
// already less at this point; equal prefixes say nothing of later levels.
int SortKeys::CompareTail(std::uint32_t a, std::uint32_t b) const {
    if (sizes_[a] > 16 && sizes_[b] > 16) {
        const int c =
            std::memcmp(&bytes_[a * kPrefix + 16], &bytes_[b * kPrefix + 16], kPrefix - 16);
        if (c != 0) return c < 0 ? -1 : 1;
    }
    return CompareFully(a, b);
}

int SortKeys::CompareEntries(const Entry& a, const Entry& b) const {
    if (a.line == b.line) return 0;
    if (a.head[0] != b.head[0]) return Order(a.head[0], b.head[0]);
    if (a.head[1] != b.head[1]) return Order(a.head[1], b.head[1]);
    return CompareTail(a.line, b.line);
}

int SortKeys::Compare(std::uint32_t a, std::uint32_t b) const {
    if (a == b) return 0;
    const int c = std::memcmp(&bytes_[a * kPrefix], &bytes_[b * kPrefix], 16);
    if (c != 0) return c < 0 ? -1 : 1;
    return CompareTail(a, b);
}

std::vector<std::uint32_t> SortKeys::SortedOrder() const {
    const std::size_t n = sizes_.size();
    std::vector<Entry> entries(n);
    for (std::size_t k = 0; k < n; ++k) {
        entries[k].head[0] = LoadBigEndian(&bytes_[k * kPrefix]);
        entries[k].head[1] = LoadBigEndian(&bytes_[k * kPrefix + 8]);
        entries[k].line = static_cast<std::uint32_t>(k);
    }
    if (n >= 2) {
        QuickSort(entries, 0, static_cast<std::int64_t>(n) - 1,
                  [this](const Entry& a, const Entry& b) { return CompareEntries(a, b); });
    }
    std::vector<std::uint32_t> order(n);
    for (std::size_t k = 0; k < n; ++k) order[k] = entries[k].line;
    return order;
}

}  // namespace quellor
