// How a file's records are cut into fields: by its delimiter, in its
// encoding. The quote is always the double quote. A value of its own, as
// the encoding is: both belong to the file, and the stages that cut its
// records are told them.
#pragma once

#include <cstdint>

#include "records/Encoding.h"

namespace quellor {

struct CsvDialect {
    // The comma unless said otherwise: most files, and every list of
    // fields built in the program, use it.
    constexpr CsvDialect(Encoding encoding = Encoding::Cp932, char delimiter = ',')
        : Delimiter(delimiter), TextEncoding(encoding) {}
    char Delimiter;
    // Where characters begin: a delimiter or quote byte inside a code page
    // 932 character separates and quotes nothing.
    Encoding TextEncoding;
};

inline constexpr char kQuote = '"';

// How the user wants the delimiter found: from the file's first record (a
// tab and no comma outside quotes makes it tab-separated), or fixed.
enum class DelimiterChoice : std::uint8_t { Auto, Comma, Tab };

}  // namespace quellor
