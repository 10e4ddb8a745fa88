// TStringListEx: the record list, and the field list of one record, with the
// operations on a record's fields. The sort's operations on whole lines are
// in Sort.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/Encoding.h"
#include "records/FieldCodec.h"
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

// The fields of one record read in place, for the stages' test and cut of
// the many records whose fields FindPlainFieldEnds finds: no copy of the
// line, no list of fields. The line must outlive the use of its fields.
class PlainFields {
  public:
    // False, with no fields, for a line that needs the splitter.
    bool Find(std::string_view line, Encoding encoding);
    int Count() const { return static_cast<int>(count_); }
    // Field i, failing as the list's Get does when there is none.
    std::string_view Get(int i) const;
    // As TStringListEx's.
    bool MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                    Encoding encoding) const;
    void SelectFieldsInto(const std::vector<int>& fieldNumbers, std::string& out) const;

  private:
    const char* text_ = nullptr;
    std::size_t count_ = 0;
    std::size_t ends_[kMaxPlainFields];
};

}  // namespace quellor
