#include "records/SortOrder.h"

#include <algorithm>
#include <cstring>

#include "records/Compare.h"

namespace quellor {

namespace {

// The sort never matters letter case.
constexpr bool kIgnoreCase = true;

// The first primary weights of two forms, as far as the table reaches: a
// difference decides the collator's comparison; 0 when they do not tell.
// Records alike in their first characters (one name, a running number)
// mostly differ a little further on, which the table tells for a fraction
// of what the collator takes.
int CompareLongerPrefixes(const PrimaryWeights& weights, std::string_view a, std::string_view b,
                          Encoding encoding) {
    constexpr std::size_t kLonger = 64;
    std::uint8_t ka[kLonger], kb[kLonger];
    std::size_t na = 0, nb = 0;
    if (!weights.Prefix(a, ka, kLonger, &na, encoding) ||
        !weights.Prefix(b, kb, kLonger, &nb, encoding))
        return 0;
    if (const int c = std::memcmp(ka, kb, std::min(na, nb))) return c < 0 ? -1 : 1;
    // Weights that end first are less, unless both were cut at the limit.
    if (na != nb) return na < nb ? -1 : 1;
    return 0;
}

}  // namespace

SortComparer::SortComparer(Encoding encoding, std::optional<KeyField> key)
    : encoding_(encoding),
      key_(key),
      swapper_(encoding),
      weights_(PrimaryWeights::Get(kIgnoreCase)),
      elements_(nullptr, &ucol_closeElements) {
    UErrorCode status = U_ZERO_ERROR;
    elements_.reset(ucol_openElements(collation::Collator(), nullptr, 0, &status));
    if (U_FAILURE(status)) elements_.reset();
}

std::string_view SortComparer::Form(std::string_view record, std::int64_t lineNumber, int slot,
                                    bool* joined) {
    bool inJoinedForm = true;
    std::string_view form = record;
    if (key_) {
        form = swapper_.Exchanged(record, 0, key_->Index, key_->Expected,
                                  static_cast<int>(lineNumber), forms_[slot], inJoinedForm);
    }
    if (joined) *joined = inJoinedForm;
    return form;
}

// Most records are looked up character by character; a record with a
// character whose weight depends on its neighbours (kana before a prolonged
// sound mark, voiced half-width kana) is walked by the collator itself, so
// that it too is compared by its prefix rather than by the collator each time.
bool SortComparer::PrimaryPrefix(std::string_view form, std::uint8_t* key, std::size_t limit) {
    std::size_t size = 0;
    bool known = weights_.Prefix(form, key, limit, &size, encoding_);
    if (!known && elements_) {
        collation::PrepareText(form, kIgnoreCase, text_, scratch_, encoding_);
        known = weights_.WalkPrimaries(elements_.get(), text_, key, limit, &size);
    }
    if (!known) size = 0;
    // Zero padding sorts below every weight byte, so a form whose primaries
    // end first compares less, as it would in full.
    std::memset(key + size, 0, limit - size);
    return known;
}

int SortComparer::CompareTied(std::string_view a, std::string_view b) {
    // Files repeat records: the collator is never asked about two copies.
    if (SameBytes(a, b)) return 0;
    const std::string_view fa = Form(a, 0, 0), fb = Form(b, 0, 1);
    if (const int c = CompareLongerPrefixes(weights_, fa, fb, encoding_)) return c;
    if (const int c = CompareLocale(fa, fb, kIgnoreCase, encoding_)) return c;
    if (const int c = fa.compare(fb)) return c < 0 ? -1 : 1;
    return a.compare(b) < 0 ? -1 : 1;
}

}  // namespace quellor
