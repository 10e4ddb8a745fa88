// The order of the sort, one definition for the sort in memory and the sort
// on disk. A record is compared by its form: the values of its fields
// joined by the delimiter, the key field exchanged with the first. It is
// ordered by its key's number first when the key is read as one, then by
// the form as a whole text, by the collator ignoring letter case, then by
// the bytes of the form and at last of the record itself. The bytes make
// the order total: records that only letter case, width or quoting tell
// apart still come in one order, whatever the algorithm, the threads or the
// memory budget, so identical records always stand together and every
// repeat can go aside. Records are never rewritten: the form is only
// compared.
#pragma once

#include <unicode/ucoleitr.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/Collation.h"
#include "records/CsvDialect.h"
#include "records/NumericKey.h"
#include "records/PrimaryWeights.h"
#include "records/RecordLines.h"
#include "records/RecordList.h"

namespace quellor {

// The sort by a field compares each record's form with the key in front;
// the plain sort compares records as they are.
struct KeyField {
    int Index;
    int Expected;  // the field count every record must have
};

// Compares records as the sort does; each thread needs one of its own, so a
// copy starts with a workspace of its own.
class SortComparer {
  public:
    SortComparer(const CsvDialect& dialect, std::optional<KeyField> key,
                 RecordNumbering numbering = {});
    SortComparer(const SortComparer& other)
        : SortComparer(other.dialect_, other.key_, other.numbering_) {}
    SortComparer& operator=(const SortComparer&) = delete;

    Encoding TextEncoding() const { return dialect_.TextEncoding; }

    // What the sort keeps of a record at index (among the records sorted):
    // the first primary weight bytes of its form, zero-padded to limit, and
    // its key's number. Known is false when the weights could not be taken;
    // such a record is compared by CompareTied alone. The field count is
    // checked, the error naming the record's line.
    struct Key {
        bool Known;
        NumberKey Number;  // KeyOrder::Number only
    };
    Key KeyOf(std::string_view record, std::int64_t index, std::uint8_t* prefix, std::size_t limit,
              KeyOrder order);
    // The key field's value, valid until the slot (0 or 1) is used again.
    std::string_view KeyValue(std::string_view record, int slot);
    // The order of two records whose numbers, where read, are equal and
    // whose prefixes tie or were not taken: -1, 0 (the same bytes) or +1.
    int CompareTied(std::string_view a, std::string_view b);

  private:
    // Cuts the record into slot's fields: in place (ends) where it can be.
    void Split(std::string_view record, int slot);
    // The form, at most limit bytes of it, in slot's buffer (or the record
    // itself when that is its form); full is set when it is whole.
    std::string_view FormOf(std::string_view record, int slot, std::size_t limit, bool* full);
    void CheckCount(std::int64_t index, int slot) const;
    // The key's value in a record Split into slot.
    std::string_view ValueIn(std::string_view record, int slot) const;
    bool PrimaryPrefix(std::string_view form, bool full, std::uint8_t* key, std::size_t limit);

    CsvDialect dialect_;
    std::optional<KeyField> key_;
    RecordNumbering numbering_;
    struct Slot {
        std::size_t ends[kMaxPlainFields];
        std::size_t plain = 0;  // fields found in place; 0: in fields
        bool padded = false;
        TStringListEx fields;
        std::string form;
    } slots_[2];
    const PrimaryWeights& weights_;
    std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)> elements_;
    collation::U16Buffer text_, scratch_;
};

}  // namespace quellor
