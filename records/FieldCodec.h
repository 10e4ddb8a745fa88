// Record lines to fields and back, in a dialect.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "records/CsvDialect.h"
#include "records/StringList.h"

namespace quellor {

// Replaces the contents of fields with the fields of line. Never fails.
void SplitFields(TStringList& fields, std::string_view line, const CsvDialect& dialect);
// The same, keeping at most maxFields fields; true when the line has more.
// The fields beyond are not split, so they cost nothing.
bool SplitFields(TStringList& fields, std::string_view line, const CsvDialect& dialect,
                 std::size_t maxFields);
// The most fields FindPlainFieldEnds reads in place.
inline constexpr std::size_t kMaxPlainFields = 257;
// Where each field of line ends (the position of the delimiter after it, or
// the line's size), when every field is the plain run between two
// delimiters: no blank, NUL or quote where a character begins. SplitFields
// cuts such a line into the same fields. Returns the number of fields, or 0
// when the line needs the splitter. ends holds kMaxPlainFields places.
std::size_t FindPlainFieldEnds(std::string_view line, const CsvDialect& dialect, std::size_t* ends);
// One line made of the fields. Never fails; the list is not changed.
std::string JoinFields(const TStringList& fields, const CsvDialect& dialect);
// The same into a caller's buffer (cleared first).
void JoinFieldsInto(const TStringList& fields, const CsvDialect& dialect, std::string& out);

}  // namespace quellor
