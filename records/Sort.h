// The sort's operations on whole records, over their keys (SortKeys) in the
// sort's order (SortOrder). The sort always ignores letter case; what it must
// be told is the file's dialect, and how its records are named in errors.
#pragma once

#include <memory>
#include <thread>

#include "records/Cancel.h"
#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/NumericKey.h"
#include "records/RecordLines.h"
#include "records/StringList.h"

namespace quellor {

// Sorts every line, ignoring letter case; lines that compare equal are
// ordered by their bytes.
// A fired cancel leaves the lines as they were.
void SortLines(TStringList& list, Encoding encoding, const CancelCheck& cancel = {});
// Sorts the records by the field at keyIndex (from 0), in the order of
// SortOrder.h; the records themselves stay as they are. Every record must
// have expectedFieldCount fields; the error names the first that has not
// (by its line, as numbering says) and leaves the records as they were, as a
// fired cancel (ECancelled) does. KeyOrder::Number orders by the key's value
// first: numbers ascending, then the values that are not numbers.
void SortByField(TStringList& list, int keyIndex, int expectedFieldCount, const CsvDialect& dialect,
                 const CancelCheck& cancel = {}, KeyOrder order = KeyOrder::Text,
                 RecordNumbering numbering = {});
void ReverseLines(TStringList& list);
// Builds what every sort needs once per process (its table of collation
// weights, some tens of milliseconds) on another thread, while the caller
// does other work such as loading the lines; waits for it when dropped.
class SortPreparation {
  public:
    SortPreparation();
    ~SortPreparation();
    SortPreparation(const SortPreparation&) = delete;
    SortPreparation& operator=(const SortPreparation&) = delete;

  private:
    std::thread worker_;
};
// Moves every record that repeats the record before it, byte for byte, into
// a list of its own, in order; the list keeps the rest. A cancel leaves the
// list as it was.
std::unique_ptr<TStringList> ExtractDuplicates(TStringList& list, const CancelCheck& cancel = {});

}  // namespace quellor
