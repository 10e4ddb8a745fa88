// The sort's rewrite of every line: split with the double quote, exchange
// two fields, join again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/Cancel.h"
#include "records/CsvDialect.h"
#include "records/Encoding.h"
#include "records/StringList.h"

namespace quellor {

// One rewrite of the sort: split a line with the double quote, exchange two
// fields, join again. Most lines hold no blank and no double quote at a
// character start; there every field is the plain run between two commas
// and none needs quoting, so the exchange is done on the bytes directly with
// the same result as splitting and joining. Such a line is in joined form:
// exchanging the fields back gives it again, byte for byte.
class FieldSwapper {
  public:
    explicit FieldSwapper(Encoding encoding);

    // Rewrites line into out, checking the field count first when expected
    // is not negative; throws as the list operations would.
    void Rewrite(std::string_view line, int a, int b, int expected, int lineNumber,
                 std::string& out);
    // The rewrite of line, as Rewrite gives it, in out unless the line is its
    // own rewrite; joined tells whether the line was already in joined form.
    std::string_view Exchanged(std::string_view line, int a, int b, int expected, int lineNumber,
                               std::string& out, bool& joined);
    // Whether the line comes out as it is when a field is exchanged with
    // itself (it is already in joined form); checks the count as Rewrite does.
    bool StaysAsItIs(std::string_view line, int a, int expected, int lineNumber) {
        return FastPath(line, a, a, expected, lineNumber, nullptr);
    }
    // Whether exchanging fields a and b and back gives the line again.
    bool InJoinedForm(std::string_view line, int a, int b) {
        return FastPath(line, a, b, -1, 0, nullptr);
    }
    Encoding TextEncoding() const { return encoding_; }

  private:
    // Fills *out, or with no out only tells whether the fast path applies.
    bool FastPath(std::string_view line, int a, int b, int expected, int lineNumber,
                  std::string* out);

    Encoding encoding_;
    CsvDialect dialect_;
    TStringList scratch_;
};

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
// Puts each listed line in the form the key field's exchange with the first
// field and back leaves it in (lines in joined form need none).
void RejoinLines(TStringList& list, const std::vector<std::uint32_t>& lines, int keyIndex,
                 Encoding encoding);
// The same for every line that needs it.
void RejoinWhereNeeded(TStringList& list, int keyIndex, Encoding encoding);
// One line in that form: the line itself when it is already, else out.
std::string_view RejoinedIfNeeded(std::string_view line, int keyIndex, Encoding encoding,
                                  std::string& out);

}  // namespace quellor
