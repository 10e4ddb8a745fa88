// Primary collation weights of CP932 characters, looked up instead of asking
// the collator character by character when sort keys are built.
#pragma once

#include <unicode/ucoleitr.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "records/Collation.h"
#include "records/Cp932.h"
#include "records/Encoding.h"

namespace quellor {

class PrimaryWeights {
  public:
    // One table for case-sensitive and one for case-folded comparison.
    static const PrimaryWeights& Get(bool ignoreCase);

    // Writes the primary weight bytes of the text's first characters into
    // key, at most limit (up to 64) bytes, and their count into size. False
    // when a character met before the key is full, or the one right after,
    // takes part in a contraction or a context rule, whose weights depend on
    // its neighbours.
    // A UTF-8 text is looked up by code point: every character that code
    // page 932 holds has the weights of its CP932 form, so both encodings of
    // one text give the same key; any other character is unsafe.
    bool Prefix(std::string_view text, std::uint8_t* key, std::size_t limit, std::size_t* size,
                Encoding encoding = Encoding::Cp932) const;

    // The primary weight bytes of a prepared text as the collator walks it,
    // with the lead bytes its script order gives them, at most limit bytes.
    // False when a weight turns up whose place in that order is unknown.
    bool WalkPrimaries(UCollationElements* elements, const collation::U16Buffer& text,
                       std::uint8_t* key, std::size_t limit, std::size_t* size) const;

  private:
    using ElementsPtr = std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)>;
    static constexpr std::uint8_t kUnsafe = 0xFF;
    static constexpr std::int16_t kUnknownLead = -1;
    static constexpr std::int16_t kConflictingLead = -2;

    // The second half of a weight too long for one element.
    static bool IsContinuation(int32_t ce) { return (ce & 0xC0) == 0xC0; }
    void LearnReordering(UCollationElements* elements, const collation::U16Buffer& text);
    static constexpr std::size_t kMaxBytes = 15;
    static constexpr std::size_t kMaxKey = 64;

    struct Entry {
        std::uint8_t size = kUnsafe;
        std::uint8_t bytes[kMaxBytes];
    };

    explicit PrimaryWeights(bool ignoreCase);
    const Entry& Lookup(const unsigned char* p, std::size_t remaining, std::size_t* step) const;
    const Entry& LookupUtf8(const unsigned char* p, std::size_t remaining, std::size_t* step) const;
    template <typename Look>
    bool PrefixOf(const unsigned char* p, std::size_t n, std::uint8_t* key, std::size_t limit,
                  std::size_t* size, const Look& look) const;

    // The single bytes, then the pairs (lead bytes x 256), then one entry
    // that stays unsafe: small enough to be indexed in 16 bits.
    static constexpr std::size_t kPairsAt = 256;
    static constexpr std::size_t kUnsafeAt = kPairsAt + kPairTableSize;
    std::vector<Entry> entries_;
    std::vector<std::int16_t> leadOf_;  // by a weight's first 16 bits: its lead byte in the keys
    // By BMP code point: where the entry of its CP932 form is.
    std::vector<std::uint16_t> byUnit_;
};

}  // namespace quellor
