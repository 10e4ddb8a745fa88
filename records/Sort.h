// The sort's operations on whole lines, over its keys (SortKeys) and its
// rewrite of every line (FieldSwap). The sort always ignores letter case and
// always splits with the comma and the double quote; what it must be told is
// the encoding the lines were loaded in.
#pragma once

#include <memory>
#include <thread>

#include "records/Cancel.h"
#include "records/Encoding.h"
#include "records/NumericKey.h"
#include "records/StringList.h"

namespace quellor {

// Sorts every line, ignoring letter case; lines that compare equal are
// ordered by their bytes.
// A fired cancel leaves the lines as they were.
void SortLines(TStringList& list, Encoding encoding, const CancelCheck& cancel = {});
// Sorts the records by the field at keyIndex (from 0): the lines are ordered
// as whole lines with the key exchanged with the first field, and each line
// ends in the joined form the exchange and its inverse leave it in. Every
// line must have expectedFieldCount fields; the error names the first that
// has not and leaves the lines as they were, as a fired cancel (ECancelled)
// does. KeyOrder::Number orders by the key's value first: numbers
// ascending, then the fields that are not numbers.
void SortByField(TStringList& list, int keyIndex, int expectedFieldCount, Encoding encoding,
                 const CancelCheck& cancel = {}, KeyOrder order = KeyOrder::Text);
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
// Moves every line that repeats the line before it, byte for byte, into a
// list of its own, in order; the list keeps the rest.
std::unique_ptr<TStringList> ExtractDuplicates(TStringList& list);

}  // namespace quellor
