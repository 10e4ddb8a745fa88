// Collation keys for sorting whole lists. Each line is decoded once and
// given the first bytes of its primary collation weights; the sort compares
// those bytes and asks the collator only when they tie. Primary weights are
// compared before any other level, so a difference in that prefix decides
// the full comparison.
#pragma once

#include <unicode/ucoleitr.h>

#include <cstdint>
#include <vector>

#include "records/Collation.h"
#include "records/StringList.h"

namespace quellor {

class SortKeys {
  public:
    static constexpr std::size_t kPrefix = 48;

    SortKeys(const TStringList& list, bool ignoreCase);

    // Line indexes in the order the list's quicksort procedure leaves them.
    std::vector<std::uint32_t> SortedOrder();

  private:
    static constexpr std::size_t kWords = kPrefix / 8;

    // A line's prefix as big-endian words, zero-padded, kept beside its
    // index so the sort compares without reaching into the lines.
    struct Entry {
        std::uint64_t words[kWords];
        std::uint32_t line;
        std::uint32_t known;  // 0 when the collator could not be walked for it
    };

    int CompareEntries(const Entry& a, const Entry& b) const;
    int CompareFully(std::uint32_t a, std::uint32_t b) const;
    void Build(std::size_t from, std::size_t to);

    const TStringList& list_;
    bool ignoreCase_;
    std::vector<Entry> entries_;
};

}  // namespace quellor
