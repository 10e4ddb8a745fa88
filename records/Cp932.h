// Code page 932 as the engine sees it: fixed lead-byte ranges and a decoder
// for comparing and showing text (never for writing it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quellor {

inline constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The double-byte characters as a table: one row of 256 trail bytes for each
// of the 60 lead bytes, 0x81-0x9F then 0xE0-0xFC.
inline constexpr std::size_t kLeadByteCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);
inline constexpr std::size_t kPairTableSize = kLeadByteCount * 256;
inline constexpr std::size_t PairIndex(unsigned char lead, unsigned char trail) {
    const std::size_t row = lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + (0x9F - 0x81 + 1);
    return row * 256 + trail;
}

// Length in bytes of the character that starts at text[pos] (1 or 2; a lead
// byte at the end of the text is a character by itself).
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Decodes CP932 bytes to UTF-16 character by character: ASCII as is, a lead
// byte and the byte after it as one character, anything unmappable as U+FFFD.
// Appends to out and returns the number of UTF-16 units appended.
std::size_t DecodeCp932(std::string_view text, std::u16string& out);
std::u16string DecodeCp932(std::string_view text);
// The same into raw storage of at least text.size() units; returns the count.
std::size_t DecodeCp932Into(std::string_view text, char16_t* out);

// The same, as UTF-8, for showing record data in messages and the window.
std::string Cp932ToUtf8(std::string_view text);

// One character of the basic plane (all that the decoder gives) as UTF-8.
void AppendUtf8(char16_t unit, std::string& out);

}  // namespace quellor
