// Collation keys for sorting whole lists. Each line is decoded once and
// given the first bytes of its primary collation weights; the sort compares
// those bytes and asks the collator only when they tie. Primary weights are
// compared before any other level, so a difference in that prefix decides
// the full comparison.
#pragma once

#include <cstdint>
#include <vector>

#include "records/Cancel.h"
#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/NumericKey.h"
#include "records/RecordLines.h"
#include "records/StringList.h"

namespace quellor {

// Line indexes in the sort's order (SortOrder.h).
// The prefix kept per line is as wide as the lines need (8 to 48 bytes):
// a file of short lines sorts in a third of the memory a fixed 48 would take.
// Letter case is ignored, always. The lines are read in encoding.
// cancel is looked at while the keys are built and during every partition.
// With KeyOrder::Number the first field is read as a number
// (NumberKeyOf) and compared before the whole line.
std::vector<std::uint32_t> SortedOrder(const TStringList& list, Encoding encoding,
                                       const CancelCheck& cancel = {},
                                       KeyOrder order = KeyOrder::Text);

struct KeyField;
// The records' order by a key field, with every record's field count
// checked first (the error names the first wrong record's line), and the
// list left as it is.
std::vector<std::uint32_t> SortedOrderByField(const TStringList& list, const CsvDialect& dialect,
                                              const KeyField& key, RecordNumbering numbering,
                                              const CancelCheck& cancel = {},
                                              KeyOrder order = KeyOrder::Text);

}  // namespace quellor
