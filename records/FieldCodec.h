// Record lines to fields and back, by the codec settings of the field list.
#pragma once

#include <string>
#include <string_view>

#include "records/StringList.h"

namespace quellor {

// Replaces the contents of fields with the fields of line. Never fails.
void SplitFields(TStringList& fields, std::string_view line);
// One line made of the fields. Never fails; the list is not changed.
std::string JoinFields(const TStringList& fields);
// The same into a caller's buffer (cleared first).
void JoinFieldsInto(const TStringList& fields, std::string& out);

}  // namespace quellor
