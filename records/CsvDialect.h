// How a line is cut into fields and fields are joined into a line. A value of
// its own rather than settings of a list: the same lines are read with the
// quote by one stage and without it by the next, and a list of fields should
// not have to remember which.
#pragma once

#include "records/Encoding.h"

namespace quellor {

struct CsvDialect {
    char Delimiter = ',';
    char Quote = '"';  // 0: no quote character, a double quote is an ordinary byte
    // Where characters begin: a delimiter or quote byte inside a code page
    // 932 character separates and quotes nothing.
    Encoding TextEncoding = Encoding::Cp932;
};

// The two dialects of the system, both with the comma. The sort, the
// record extraction and the preview's cells honour the double quote; the
// field extraction, the sample line and the preview's field count take it
// as an ordinary character.
constexpr CsvDialect QuotedCsv(Encoding encoding) {
    return {',', '"', encoding};
}
constexpr CsvDialect PlainCsv(Encoding encoding) {
    return {',', 0, encoding};
}

}  // namespace quellor
