#include "records/SortKeys.h"

#include <unicode/ucoleitr.h>

#include <cstring>
#include <exception>
#include <memory>
#include <thread>

#include "records/Collation.h"
#include "records/PrimaryWeights.h"

namespace quellor {

namespace {

constexpr std::size_t kParallelFrom = 20000;

// The list's quicksort, step for step: the pivot is tracked by position as
// lines are swapped, equal lines move as the steps say, and the result is
// the same order whoever runs it. The smaller side is handled by a nested
// call and the larger by looping, which keeps the stack shallow on any
// input; the two sides are disjoint, so this changes no line's place.
template <typename T, typename Cmp>
void QuickSort(std::vector<T>& v, std::int64_t lo, std::int64_t hi, const Cmp& cmp,
               bool split = false) {
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
        if (split && lo < j && i < hi) {
            // The first partition leaves two disjoint ranges: the second
            // core sorts one while this thread sorts the other.
            std::exception_ptr failure;
            std::thread left([&, lo, j] {
                try {
                    QuickSort(v, lo, j, cmp);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            try {
                QuickSort(v, i, hi, cmp);
            } catch (...) {
                left.join();
                throw;
            }
            left.join();
            if (failure) std::rethrow_exception(failure);
            return;
        }
        if (j - lo < hi - i) {
            if (lo < j) QuickSort(v, lo, j, cmp);
            lo = i;
        } else {
            if (i < hi) QuickSort(v, i, hi, cmp);
            hi = j;
        }
    }
}

bool UseTwoThreads(std::size_t n) {
    return n >= kParallelFrom && std::thread::hardware_concurrency() >= 2;
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
    if (!UseTwoThreads(n)) {
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
// its primary part; elements without one (accents, case) add nothing. Most
// lines are looked up character by character; a line with a character whose
// weight depends on its neighbours is walked by the collator itself.
void SortKeys::Build(std::size_t from, std::size_t to) {
    const PrimaryWeights& table = PrimaryWeights::Get(ignoreCase_);
    collation::U16Buffer text, scratch;
    UErrorCode status = U_ZERO_ERROR;
    ElementsPtr elements(ucol_openElements(collation::Collator(), nullptr, 0, &status),
                         &ucol_closeElements);
    for (std::size_t i = from; i < to; ++i) {
        std::uint8_t* key = &bytes_[i * kPrefix];
        std::size_t size = 0;
        if (!table.Prefix(list_.At(i), key, kPrefix, &size)) {
            std::memset(key, 0, kPrefix);
            collation::PrepareText(list_.At(i), ignoreCase_, text, scratch);
            size = CollatorPrefix(elements.get(), text, key);
        }
        sizes_[i] = static_cast<std::uint8_t>(size);
    }
}

std::size_t SortKeys::CollatorPrefix(UCollationElements* elements, const collation::U16Buffer& text,
                                     std::uint8_t* key) {
    UErrorCode status = U_ZERO_ERROR;
    if (elements != nullptr) {
        ucol_setText(elements, text.data(), static_cast<int32_t>(text.size()), &status);
    }
    // Without a prefix every comparison goes to the collator.
    if (elements == nullptr || U_FAILURE(status)) return kPrefix;
    std::size_t size = 0;
    while (size < kPrefix) {
        const int32_t ce = ucol_next(elements, &status);
        if (ce == UCOL_NULLORDER || U_FAILURE(status)) break;
        const auto primary = static_cast<std::uint32_t>(ucol_primaryOrder(ce));
        if ((primary >> 8) != 0) key[size++] = static_cast<std::uint8_t>(primary >> 8);
        if ((primary & 0xFF) != 0 && size < kPrefix) {
            key[size++] = static_cast<std::uint8_t>(primary & 0xFF);
        }
    }
    if (U_FAILURE(status)) {
        std::memset(key, 0, kPrefix);
        return kPrefix;
    }
    return size;
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
        QuickSort(
            entries, 0, static_cast<std::int64_t>(n) - 1,
            [this](const Entry& a, const Entry& b) { return CompareEntries(a, b); },
            UseTwoThreads(n));
    }
    std::vector<std::uint32_t> order(n);
    for (std::size_t k = 0; k < n; ++k) order[k] = entries[k].line;
    return order;
}

}  // namespace quellor
