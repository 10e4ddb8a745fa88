#include "records/Collation.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "records/Cp932.h"

namespace quellor {

namespace collation {

namespace {

UCollator* OpenCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* coll = ucol_open("ja", &status);
    if (U_FAILURE(status)) throw std::runtime_error("ICU collator for \"ja\" is not available");
    ucol_setStrength(coll, UCOL_IDENTICAL);
    return coll;
}

}  // namespace

const UCollator* Collator() {
    // Never closed: a run's thread may still compare while exit() destroys
    // what has static storage (the window's toolkit calls exit() when the
    // display goes away).
    static const UCollator* const coll = OpenCollator();
    return coll;
}

char16_t* U16Buffer::Reserve(std::size_t units) {
    if (units > capacity_) {
        capacity_ = std::max(units, capacity_ * 2);
        data_ = std::make_unique_for_overwrite<char16_t[]>(capacity_);
    }
    return data_.get();
}

namespace {

// Neither decoder writes more units than the text has bytes.
std::size_t Decode(std::string_view text, Encoding encoding, U16Buffer& into) {
    char16_t* out = into.Reserve(text.size() + 1);
    return encoding == Encoding::Utf8 ? DecodeUtf8Into(text, out) : DecodeCp932Into(text, out);
}

}  // namespace

void PrepareText(std::string_view text, bool ignoreCase, U16Buffer& out, U16Buffer& scratch,
                 Encoding encoding) {
    if (!ignoreCase) {
        out.SetSize(Decode(text, encoding, out));
        return;
    }
    const std::size_t units = Decode(text, encoding, scratch);
    // Full case folding expands a unit to at most three.
    const std::size_t capacity = units * 3 + 1;
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        u_strFoldCase(out.Reserve(capacity), static_cast<int32_t>(capacity), scratch.data(),
                      static_cast<int32_t>(units), U_FOLD_CASE_DEFAULT, &status);
    if (U_SUCCESS(status)) {
        out.SetSize(static_cast<std::size_t>(n));
    } else {
        std::copy_n(scratch.data(), units, out.Reserve(units + 1));
        out.SetSize(units);
    }
}

int ComparePrepared(const U16Buffer& a, const U16Buffer& b) {
    const UCollationResult r = ucol_strcoll(Collator(), a.data(), static_cast<int32_t>(a.size()),
                                            b.data(), static_cast<int32_t>(b.size()));
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

}  // namespace collation

}  // namespace quellor
