#include "records/SortOrder.h"

#include <algorithm>
#include <cstring>

#include "records/Compare.h"
#include "records/Exceptions.h"
#include "records/Format.h"
#include "records/Messages.h"

namespace quellor {

namespace {

// The sort never matters letter case.
constexpr bool kIgnoreCase = true;
// A prefix of limit weight bytes rarely needs more than this many bytes of
// form per byte; a longer form is cut there, so a record longer than the
// budget is not copied whole to give its first weights.
constexpr std::size_t kFormBytesPerKeyByte = 8;

// The first primary weights of two forms, as far as the table reaches: a
// difference decides the collator's comparison; 0 when they do not tell.
// Forms alike in their first characters (one name, a running number)
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

SortComparer::SortComparer(const CsvDialect& dialect, std::optional<KeyField> key,
                           RecordNumbering numbering)
    : dialect_(dialect),
      key_(key),
      numbering_(numbering),
      weights_(PrimaryWeights::Get(kIgnoreCase)),
      elements_(nullptr, &ucol_closeElements) {
    UErrorCode status = U_ZERO_ERROR;
    elements_.reset(ucol_openElements(collation::Collator(), nullptr, 0, &status));
    if (U_FAILURE(status)) elements_.reset();
}

void SortComparer::Split(std::string_view record, int slot) {
    Slot& s = slots_[slot];
    s.plain = FindPlainFieldEnds(record, dialect_, s.ends, &s.padded);
    if (s.plain == 0) SplitFields(s.fields, record, dialect_);
}

void SortComparer::CheckCount(std::int64_t index, int slot) const {
    const Slot& s = slots_[slot];
    const int count = s.plain > 0 ? static_cast<int>(s.plain) : s.fields.Count();
    if (count != key_->Expected) {
        throw EStringListError(Format(msg::kFieldCountDiffers, {numbering_.LineOf(index)}));
    }
    if (key_->Index < 0 || key_->Index >= count) ThrowIndexOutOfBounds(key_->Index);
}

// The values joined by the delimiter with the key in front, as far as limit.
// Most records are cut in place and hold no padding: their form is their
// bytes in five pieces, whatever the number of fields.
std::string_view SortComparer::FormOf(std::string_view record, int slot, std::size_t limit,
                                      bool* full) {
    Slot& s = slots_[slot];
    const int count = s.plain > 0 ? static_cast<int>(s.plain) : s.fields.Count();
    const int key = key_->Index;
    std::string& form = s.form;
    if (s.plain > 0 && !s.padded) {
        if (key == 0) {
            *full = true;
            return record;
        }
        // The exchange keeps the record's length.
        form.resize(std::min(record.size(), limit));
        char* out = form.data();
        std::size_t room = form.size();
        const auto start = [&](int k) { return k == 0 ? 0 : s.ends[k - 1] + 1; };
        const auto bytes = [&](std::size_t from, std::size_t to) {
            const std::size_t n = std::min(to - from, room);
            if (n > 0) std::memcpy(out, record.data() + from, n);
            out += n;
            room -= n;
        };
        bytes(start(key), s.ends[key]);
        bytes(s.ends[0], start(key));
        bytes(0, s.ends[0]);
        bytes(s.ends[key], record.size());
    } else {
        const auto value = [&](int k) {
            if (s.plain == 0) return s.fields.At(static_cast<std::size_t>(k));
            const std::size_t from = k == 0 ? 0 : s.ends[k - 1] + 1;
            return PlainFieldValue(record.substr(from, s.ends[k] - from));
        };
        // Sized once, then filled: the pieces are many and short.
        std::size_t size = static_cast<std::size_t>(count) - 1;
        for (int k = 0; k < count && size < limit; ++k) size += value(k).size();
        form.resize(std::min(size, limit));
        char* out = form.data();
        std::size_t room = form.size();
        const auto put = [&](std::string_view piece) {
            const std::size_t n = std::min(piece.size(), room);
            if (n > 0) std::memcpy(out, piece.data(), n);
            out += n;
            room -= n;
        };
        const std::string_view delimiter(&dialect_.Delimiter, 1);
        for (int k = 0; k < count && room > 0; ++k) {
            if (k > 0) put(delimiter);
            put(value(k == 0 ? key : k == key ? 0 : k));
        }
    }
    *full = form.size() < limit;
    return form;
}

std::string_view SortComparer::ValueIn(std::string_view record, int slot) const {
    const Slot& s = slots_[slot];
    const int key = key_->Index;
    if (s.plain == 0) return s.fields.Get(key);
    if (key >= static_cast<int>(s.plain)) ThrowIndexOutOfBounds(key);
    const std::size_t from = key == 0 ? 0 : s.ends[key - 1] + 1;
    return PlainFieldValue(record.substr(from, s.ends[key] - from));
}

std::string_view SortComparer::KeyValue(std::string_view record, int slot) {
    Split(record, slot);
    return ValueIn(record, slot);
}

// Most records are looked up character by character; a record with a
// character whose weight depends on its neighbours (kana before a prolonged
// sound mark, voiced half-width kana) is walked by the collator itself, so
// that it too is compared by its prefix rather than by the collator each time.
bool SortComparer::PrimaryPrefix(std::string_view form, bool full, std::uint8_t* key,
                                 std::size_t limit) {
    std::size_t size = 0;
    bool known = weights_.Prefix(form, key, limit, &size, dialect_.TextEncoding);
    if (!known && elements_) {
        collation::PrepareText(form, kIgnoreCase, text_, scratch_, dialect_.TextEncoding);
        known = weights_.WalkPrimaries(elements_.get(), text_, key, limit, &size);
    }
    // A form cut short must still have filled the prefix: its end is no end.
    if (!full && size < limit) known = false;
    if (!known) size = 0;
    // Zero padding sorts below every weight byte, so a form whose primaries
    // end first compares less, as it would in full.
    std::memset(key + size, 0, limit - size);
    return known;
}

SortComparer::Key SortComparer::KeyOf(std::string_view record, std::int64_t index,
                                      std::uint8_t* prefix, std::size_t limit, KeyOrder order) {
    Key k{};
    std::string_view form = record;
    bool full = true;
    if (key_) {
        Split(record, 0);
        CheckCount(index, 0);
        form = FormOf(record, 0, limit * kFormBytesPerKeyByte, &full);
        if (order == KeyOrder::Number)
            k.Number = NumberKeyOf(ValueIn(record, 0), dialect_.TextEncoding);
    }
    k.Known = PrimaryPrefix(form, full, prefix, limit);
    return k;
}

int SortComparer::CompareTied(std::string_view a, std::string_view b) {
    // Files repeat records: the collator is never asked about two copies.
    if (SameBytes(a, b)) return 0;
    std::string_view fa = a, fb = b;
    if (key_) {
        bool full = true;
        Split(a, 0);
        Split(b, 1);
        fa = FormOf(a, 0, std::string::npos, &full);
        fb = FormOf(b, 1, std::string::npos, &full);
    }
    const Encoding encoding = dialect_.TextEncoding;
    if (const int c = CompareLongerPrefixes(weights_, fa, fb, encoding)) return c;
    if (const int c = CompareLocale(fa, fb, kIgnoreCase, encoding)) return c;
    if (const int c = fa.compare(fb)) return c < 0 ? -1 : 1;
    return a.compare(b) < 0 ? -1 : 1;
}

}  // namespace quellor
