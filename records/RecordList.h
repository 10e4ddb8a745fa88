// TStringListEx: the record list, and the field list of one record, with the
// operations on a record's fields. The sort's operations on whole lines are
// in Sort.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/Encoding.h"
#include "records/MatchMode.h"
#include "records/StringList.h"

namespace quellor {

class TStringListEx : public TStringList {
  public:
    // Letter case always counts: the record extraction matches as typed.
    // encoding is the one the fields were split in.
    bool MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                    Encoding encoding) const;
    // The chosen fields (numbered from 1) joined by commas, as they are:
    // the field extraction's output quotes nothing.
    std::string SelectFields(const std::vector<int>& fieldNumbers) const;
    // The same into a caller's buffer, so a stage can reuse it per record.
    void SelectFieldsInto(const std::vector<int>& fieldNumbers, std::string& out) const;
};

}  // namespace quellor
