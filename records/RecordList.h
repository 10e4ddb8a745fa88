// TStringListEx: the record list, and the field list of one record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/Cancel.h"
#include "records/MatchMode.h"
#include "records/StringList.h"

namespace quellor {

class TStringListEx : public TStringList {
  public:
    bool IgnoreCase = false;

    bool MatchField(std::string_view searchText, int fieldIndex, MatchMode mode) const;
    // A fired cancel stops it with ECancelled and leaves the lines unsorted.
    void SortByField(int keyIndex, int expectedFieldCount, const CancelCheck& cancel = {});
    void ReverseLines();
    std::unique_ptr<TStringListEx> ExtractDuplicates();
    std::string SelectFields(const std::vector<int>& fieldNumbers) const;
    // The same into a caller's buffer, so a stage can reuse it per record.
    void SelectFieldsInto(const std::vector<int>& fieldNumbers, std::string& out) const;
};

}  // namespace quellor
