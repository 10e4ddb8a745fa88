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
    static constexpr std::size_t kPrefix = 40;

    SortKeys(const TStringList& list, bool ignoreCase);

    // Line indexes in the order the list's quicksort procedure leaves them.
    std::vector<std::uint32_t> SortedOrder() const;

    // Three-way comparison of lines a and b, as CompareLocale would give.
    int Compare(std::uint32_t a, std::uint32_t b) const;

  private:
    struct Entry {
        std::uint64_t head[2];  // the prefix's first 16 bytes, big-endian
        std::uint32_t line;
    };
    int CompareEntries(const Entry& a, const Entry& b) const;
    int CompareTail(std::uint32_t a, std::uint32_t b) const;
    int CompareFully(std::uint32_t a, std::uint32_t b) const;
    void Build(std::size_t from, std::size_t to);
    static std::size_t CollatorPrefix(UCollationElements* elements,
                                      const collation::U16Buffer& text, std::uint8_t* key);

    const TStringList& list_;
    bool ignoreCase_;
    std::vector<std::uint8_t> bytes_;  // kPrefix bytes per line, zero-padded
    std::vector<std::uint8_t> sizes_;  // below kPrefix: every primary byte is there
};

}  // namespace quellor
