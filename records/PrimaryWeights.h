// Primary collation weights of CP932 characters, looked up instead of asking
// the collator character by character when sort keys are built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
    bool Prefix(std::string_view text, std::uint8_t* key, std::size_t limit,
                std::size_t* size) const;

  private:
    static constexpr std::uint8_t kUnsafe = 0xFF;
    static constexpr std::size_t kMaxBytes = 15;
    static constexpr std::size_t kMaxKey = 64;

    struct Entry {
        std::uint8_t size = kUnsafe;
        std::uint8_t bytes[kMaxBytes];
    };

    explicit PrimaryWeights(bool ignoreCase);
    const Entry& Lookup(const unsigned char* p, std::size_t remaining, std::size_t* step) const;

    std::vector<Entry> single_;  // 256
    std::vector<Entry> pairs_;   // lead bytes x 256
};

}  // namespace quellor
