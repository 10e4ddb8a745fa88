// TStringListEx: the record list, and the field list of one record, with the
// operations on a record's fields. The sort's operations on whole records
// are in Sort.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/FieldCodec.h"
#include "records/MatchMode.h"
#include "records/StringList.h"

namespace quellor {

class TStringListEx : public TStringList {
  public:
    // Letter case always counts: the record extraction matches as typed.
    // The fields' values are compared, in the encoding they were split in.
    bool MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                    Encoding encoding) const;
    // The chosen fields (numbered from 1) as they stood in their record,
    // quotes and padding included, joined by the delimiter.
    std::string SelectFields(const std::vector<int>& fieldNumbers, char delimiter = ',') const;
    // The same into a caller's buffer, so a stage can reuse it per record.
    void SelectFieldsInto(const std::vector<int>& fieldNumbers, char delimiter,
                          std::string& out) const;

    // Field i's bytes as they stood in the record SplitFields cut; for a
    // list filled otherwise, its line.
    std::string_view Raw(int i) const;

    // For SplitFields: the list's lines are the values.
    void ClearFields() {
        Reset();
        raw_.clear();
    }
    void AddField(std::string_view value, std::string_view raw) {
        AddOwned(value.data(), value.size());
        raw_.push_back(raw);
    }

  private:
    std::vector<std::string_view> raw_;
};

// Replaces the fields of the list with those of the record: the lines are
// the values, Raw(i) the bytes as they stood. Never fails. The record is
// read up to its first NUL byte. The same, keeping at most maxFields fields,
// returns true when the record has more (they cost nothing).
void SplitFields(TStringListEx& fields, std::string_view record, const CsvDialect& dialect);
bool SplitFields(TStringListEx& fields, std::string_view record, const CsvDialect& dialect,
                 std::size_t maxFields);
// How many fields SplitFields would give the record, without a copy of it.
std::size_t CountFields(std::string_view record, const CsvDialect& dialect);

// The fields of one record read in place, for the stages' test and cut of
// the many records whose fields FindPlainFieldEnds finds: no copy of the
// record, no list of fields. The record must outlive the use of its fields.
class PlainFields {
  public:
    // False, with no fields, for a record that needs SplitFields.
    bool Find(std::string_view record, const CsvDialect& dialect);
    int Count() const { return static_cast<int>(count_); }
    // Field i's value, failing as the list's Get does when there is none.
    std::string_view Get(int i) const;
    std::string_view Raw(int i) const;
    // As TStringListEx's.
    bool MatchField(std::string_view searchText, int fieldIndex, MatchMode mode,
                    Encoding encoding) const;
    void SelectFieldsInto(const std::vector<int>& fieldNumbers, char delimiter,
                          std::string& out) const;

  private:
    const char* text_ = nullptr;
    std::size_t count_ = 0;
    std::size_t ends_[kMaxPlainFields];
};

}  // namespace quellor
