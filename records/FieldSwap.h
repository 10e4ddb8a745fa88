// The sort's rewrite of every line: split with the double quote, exchange
// two fields, join again.
#pragma once

#include "records/Cancel.h"
#include "records/Encoding.h"
#include "records/StringList.h"

namespace quellor {

// Rewrites every line of the list with fields a and b exchanged, checking
// each line's field count first when expected is not negative. Fails as the
// line-by-line rewrite would: the lines before the failing one rewritten,
// that one and the rest unchanged, the error passed on. Afterwards the lines
// lie in list order in memory, which later passes over the list read fast,
// unless a and b are the same field: then every line stays where it lies.
// A fired cancel leaves some lines rewritten and the rest as they were.
// The lines are read in encoding.
void SwapFieldsInEveryLine(TStringList& list, int a, int b, int expected, Encoding encoding,
                           const CancelCheck& cancel = {});

}  // namespace quellor
