// The order of the sort, one definition for the sort in memory and the sort
// on disk. A record is compared in the form the sort gives it (the key field
// in front): by its key's number first when the key is read as one, then as
// a whole text by the collator ignoring letter case, then by the bytes of
// that form and at last of the record itself. The bytes make the order
// total: records that only letter case or width tell apart still come in one
// order, whatever the algorithm, the threads or the memory budget, so
// identical records always stand together and every repeat can go aside.
#pragma once

#include <unicode/ucoleitr.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/Collation.h"
#include "records/Encoding.h"
#include "records/FieldSwap.h"
#include "records/NumericKey.h"
#include "records/PrimaryWeights.h"

namespace quellor {

// The sort by a field compares each record as its key field's exchange with
// the first field would leave it; the plain sort compares records as they are.
struct KeyField {
    int Index;
    int Expected;  // the field count every record must have
};

// Compares records as the sort does; each thread needs one of its own, so a
// copy starts with a workspace of its own.
class SortComparer {
  public:
    SortComparer(Encoding encoding, std::optional<KeyField> key);
    SortComparer(const SortComparer& other) : SortComparer(other.encoding_, other.key_) {}
    SortComparer& operator=(const SortComparer&) = delete;

    Encoding TextEncoding() const { return encoding_; }

    // The record as the sort compares it, valid until the slot (0 or 1) is
    // used again; the field count is checked, the error naming lineNumber.
    // joined, when given, tells whether the record is already in the form
    // the exchange and its inverse would leave it in.
    std::string_view Form(std::string_view record, std::int64_t lineNumber, int slot,
                          bool* joined = nullptr);
    // The first primary weight bytes of a form, zero-padded to limit: where
    // two differ they decide the collator's comparison. False when they
    // cannot be taken; such a record is compared by CompareTied alone.
    bool PrimaryPrefix(std::string_view form, std::uint8_t* key, std::size_t limit);
    // The number of a form's key field, for KeyOrder::Number.
    NumberKey NumberOf(std::string_view form) const { return NumberKeyOf(form, encoding_); }
    // The order of two records whose numbers, where read, are equal and
    // whose prefixes tie or were not taken: -1, 0 (the same bytes) or +1.
    int CompareTied(std::string_view a, std::string_view b);

  private:
    Encoding encoding_;
    std::optional<KeyField> key_;
    FieldSwapper swapper_;
    std::string forms_[2];
    const PrimaryWeights& weights_;
    std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)> elements_;
    collation::U16Buffer text_, scratch_;
};

}  // namespace quellor
