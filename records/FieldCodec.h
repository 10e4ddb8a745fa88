// Record lines to fields and back, in a dialect.
#pragma once

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
// One line made of the fields. Never fails; the list is not changed.
std::string JoinFields(const TStringList& fields, const CsvDialect& dialect);
// The same into a caller's buffer (cleared first).
void JoinFieldsInto(const TStringList& fields, const CsvDialect& dialect, std::string& out);

}  // namespace quellor
