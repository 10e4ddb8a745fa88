// Which encoding a file's text is in: the engine reads code page 932 and
// UTF-8 files, each by its own rules, and never converts what it writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/Utf8Char.h"

namespace quellor {

enum class Encoding : std::uint8_t { Cp932, Utf8 };

// How the user wants files read: each as its bytes suggest, or all in one encoding.
enum class EncodingChoice : std::uint8_t { Auto, Cp932, Utf8 };

// The byte-order mark: it belongs to the file, not to its first line.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Follows a text piece by piece (lines of one file, say) and tells whether
// all of it is UTF-8 holding at least one byte of 0x80 or above. Pieces must
// be cut between characters, as line breaks cut them.
class Utf8Check {
  public:
    void Feed(std::string_view piece);
    bool SaysUtf8() const { return valid_ && sawHigh_; }
    bool Valid() const { return valid_; }

  private:
    bool valid_ = true;
    bool sawHigh_ = false;
};

bool IsValidUtf8(std::string_view text);

// Follows a text without a byte-order mark line by line and guesses what its
// bytes mean. Most texts settle at once: code page 932 text soon holds more
// stray bytes than UTF-8 allows, and UTF-8 kana and kanji soon make a pair
// code page 932 does not map. While both readings stand, each line is
// weighed in both (JapaneseText.h), and the reading that gives Japanese text
// wins; valid UTF-8 keeps a tie, as UTF-8 text reads whole in code page 932
// far more often than the other way round. A text that is UTF-8 but for a
// few stray bytes is mostly UTF-8 when its UTF-8 reading is the Japanese one
// (or code page 932 cannot read it either): neither reading is safe, and the
// caller says so. Once more stray bytes are seen the text is code page 932
// and the rest costs nothing.
class EncodingGuess {
  public:
    // At most this many stray bytes still make a text mostly UTF-8.
    static constexpr std::int64_t kFewStrayBytes = 8;

    void Feed(std::string_view line);
    // Takes in a guess fed the lines that follow this one's: the verdict,
    // the stray line among them, is what feeding them all here would give.
    void Join(const EncodingGuess& next);
    Encoding Guess() const;
    bool MostlyUtf8() const;
    // The line (from 1) holding the first byte that is no part of a UTF-8
    // character; 0 when there is none.
    std::int64_t FirstStrayLine() const { return firstStrayLine_; }

  private:
    std::int64_t lines_ = 0;
    std::int64_t strayBytes_ = 0;
    std::int64_t firstStrayLine_ = 0;
    std::int64_t beyondLatin1_ = 0;  // UTF-8 characters from U+0100 on
    // The weights of both readings, summed only while code page 932 reads
    // every line whole and the stray bytes are few: past that they decide nothing.
    std::int64_t utf8Weight_ = 0;
    std::int64_t cp932Weight_ = 0;
    bool sawHigh_ = false;
    bool cp932Whole_ = true;
};

// The encoding of a text read from the start of a file: UTF-8 when it begins
// with the byte-order mark, else what EncodingGuess makes of it (a mostly
// UTF-8 text counts as UTF-8).
Encoding DetectEncoding(std::string_view text);

// Whether pos begins a character of a UTF-8 text (the end counts too).
bool StartsUtf8Character(std::string_view text, std::size_t pos);

// How many bytes at the end of a text cut at an arbitrary byte begin a
// UTF-8 character that the cut left unfinished (0 to 3).
std::size_t Utf8UnfinishedTail(std::string_view text);

// Decodes UTF-8 to UTF-16; a byte outside a well-formed sequence becomes
// U+FFFD. out holds at least text.size() units; returns the count written.
std::size_t DecodeUtf8Into(std::string_view text, char16_t* out);

// Record bytes as valid UTF-8 for showing, decoded by their encoding.
std::string TextForShow(std::string_view bytes, Encoding encoding);

// A file name as the user should read it: as it is when it is UTF-8, else
// decoded as code page 932 (what unpacking an archive made on Windows
// leaves), with \xNN for every byte that decodes as neither.
std::string PathForShow(std::string_view path);

}  // namespace quellor
