#include "records/PrimaryWeights.h"

#include <unicode/uchar.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <cstring>
#include <memory>

#include "records/Collation.h"
#include "records/Cp932.h"

namespace quellor {

namespace {

using SetPtr = std::unique_ptr<USet, decltype(&uset_close)>;

// ICU's step over one code point (a surrogate pair read as one). Its macro
// masks the signed code point with unsigned constants, which is right for
// every value a UTF-16 unit gives but trips the sign-conversion warning.
UChar32 NextCodePoint(const UChar* text, int32_t& at, int32_t len) {
    UChar32 c = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
    U16_NEXT(text, at, len, c);
#pragma GCC diagnostic pop
    return c;
}

// Code points that take part in a contraction or a context rule other than
// as its first character: a prolonged sound mark after a kana, the second
// letter of a contraction. A character followed by one of these may not
// weigh what it weighs alone, and one of these may not either, so a key
// stops being looked up at either.
SetPtr NeighbourDependent() {
    UErrorCode status = U_ZERO_ERROR;
    SetPtr strings(uset_openEmpty(), &uset_close);
    SetPtr result(uset_openEmpty(), &uset_close);
    ucol_getContractionsAndExpansions(collation::Collator(), strings.get(), nullptr, true, &status);
    // Combining marks reorder under normalization and so depend on neighbours too.
    ucol_getUnsafeSet(collation::Collator(), result.get(), &status);
    if (U_FAILURE(status)) {
        uset_complement(result.get());  // nothing is safe: every line goes to the collator
        return result;
    }
    UChar text[64];
    const int32_t items = uset_getItemCount(strings.get());
    for (int32_t i = 0; i < items; ++i) {
        UChar32 first, last;
        UErrorCode itemStatus = U_ZERO_ERROR;
        const int32_t len = uset_getItem(strings.get(), i, &first, &last, text, 64, &itemStatus);
        if (U_FAILURE(itemStatus) || len > 64) {
            uset_complement(result.get());
            return result;
        }
        int32_t at = 0;
        UChar32 c = 0;
        if (len > 0) c = NextCodePoint(text, at, len);
        // Rules that begin with a noncharacter (index boundaries) never
        // meet decoded text, which holds none.
        if (u_hasBinaryProperty(c, UCHAR_NONCHARACTER_CODE_POINT)) continue;
        while (at < len) {
            c = NextCodePoint(text, at, len);
            uset_add(result.get(), c);
        }
    }
    return result;
}

}  // namespace

const PrimaryWeights& PrimaryWeights::Get(bool ignoreCase) {
    // Built on first use only: the system itself only ever sorts ignoring
    // case. Never destroyed, as the collator is not: a run's thread may
    // still read them while exit() runs.
    if (ignoreCase) {
        static const PrimaryWeights* const folded = new PrimaryWeights(true);
        return *folded;
    }
    static const PrimaryWeights* const exact = new PrimaryWeights(false);
    return *exact;
}

// The collator reorders scripts by changing the lead byte of each primary
// weight; the element iterator gives the weights before that. The new lead
// byte of every weight that a single character of the code page starts
// with is read off that character's own sort key.
void PrimaryWeights::LearnReordering(UCollationElements* elements,
                                     const collation::U16Buffer& text) {
    UErrorCode status = U_ZERO_ERROR;
    ucol_setText(elements, text.data(), static_cast<int32_t>(text.size()), &status);
    const int32_t ce = ucol_next(elements, &status);
    if (U_FAILURE(status) || ce == UCOL_NULLORDER || IsContinuation(ce)) return;
    const auto top = static_cast<std::uint16_t>(ucol_primaryOrder(ce));
    if (top == 0) return;
    std::uint8_t key[8];
    const int32_t length = ucol_getSortKey(collation::Collator(), text.data(),
                                           static_cast<int32_t>(text.size()), key, sizeof key);
    if (length < 1) return;
    std::int16_t& known = leadOf_[top];
    known = known == kUnknownLead || known == key[0] ? key[0] : kConflictingLead;
}

bool PrimaryWeights::WalkPrimaries(UCollationElements* elements, const collation::U16Buffer& text,
                                   std::uint8_t* key, std::size_t limit, std::size_t* size) const {
    UErrorCode status = U_ZERO_ERROR;
    ucol_setText(elements, text.data(), static_cast<int32_t>(text.size()), &status);
    std::size_t out = 0;
    while (out < limit && U_SUCCESS(status)) {
        const int32_t ce = ucol_next(elements, &status);
        if (ce == UCOL_NULLORDER) break;
        const auto part = static_cast<std::uint16_t>(ucol_primaryOrder(ce));
        if (part == 0) continue;
        std::uint8_t bytes[2] = {static_cast<std::uint8_t>(part >> 8),
                                 static_cast<std::uint8_t>(part & 0xFF)};
        if (!IsContinuation(ce)) {
            const std::int16_t lead = leadOf_[part];
            if (lead < 0) return false;  // a weight whose reordering was never seen
            bytes[0] = static_cast<std::uint8_t>(lead);
        }
        for (const std::uint8_t b : bytes) {
            if (b != 0 && out < limit) key[out++] = b;
        }
    }
    *size = out;
    return U_SUCCESS(status);
}

PrimaryWeights::PrimaryWeights(bool ignoreCase)
    : entries_(kUnsafeAt + 1), leadOf_(65536, kUnknownLead), byUnit_(65536, kUnsafeAt) {
    const SetPtr unsafe = NeighbourDependent();
    UErrorCode status = U_ZERO_ERROR;
    const ElementsPtr elements(ucol_openElements(collation::Collator(), nullptr, 0, &status),
                               &ucol_closeElements);
    if (U_FAILURE(status)) return;  // every entry stays unsafe
    collation::U16Buffer text, scratch;
    const auto forEachCharacter = [&](auto&& action) {
        for (std::size_t b = 0; b < 256; ++b) {
            const char one = static_cast<char>(b);
            collation::PrepareText(std::string_view(&one, 1), ignoreCase, text, scratch);
            action(entries_[b], std::string_view(&one, 1));
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0; trail < 256; ++trail) {
                const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                collation::PrepareText(std::string_view(two, 2), ignoreCase, text, scratch);
                action(entries_[kPairsAt + PairIndex(static_cast<unsigned char>(lead),
                                                     static_cast<unsigned char>(trail))],
                       std::string_view(two, 2));
            }
        }
    };
    forEachCharacter([&](Entry&, std::string_view) { LearnReordering(elements.get(), text); });
    forEachCharacter([&](Entry& entry, std::string_view cp932) {
        // Code points with two CP932 forms get the same weights from either.
        char16_t unit = 0;
        if (DecodeCp932Into(cp932, &unit) == 1)
            byUnit_[unit] = static_cast<std::uint16_t>(&entry - entries_.data());
        for (std::size_t k = 0; k < text.size(); ++k) {
            const UChar32 c = text.data()[k];
            if (U16_IS_SURROGATE(text.data()[k]) || uset_contains(unsafe.get(), c) ||
                u_getCombiningClass(c) != 0) {
                return;
            }
        }
        std::uint8_t bytes[kMaxBytes + 1];
        std::size_t size = 0;
        // More than kMaxBytes bytes cannot be stored: the character stays unsafe.
        if (WalkPrimaries(elements.get(), text, bytes, kMaxBytes + 1, &size) && size <= kMaxBytes) {
            std::memcpy(entry.bytes, bytes, size);
            entry.size = static_cast<std::uint8_t>(size);
        }
    });
}

inline const PrimaryWeights::Entry& PrimaryWeights::Lookup(const unsigned char* p,
                                                           std::size_t remaining,
                                                           std::size_t* step) const {
    if (IsLeadByte(p[0]) && remaining > 1) {
        *step = 2;
        return entries_[kPairsAt + PairIndex(p[0], p[1])];
    }
    *step = 1;
    return entries_[p[0]];
}

inline const PrimaryWeights::Entry& PrimaryWeights::LookupUtf8(const unsigned char* p,
                                                               std::size_t remaining,
                                                               std::size_t* step) const {
    if (p[0] < 0x80) {
        *step = 1;
        return entries_[p[0]];
    }
    // Japanese text is mostly three-byte characters: a well-formed one (not
    // overlong, no surrogate) is decoded here without the general checks.
    if ((p[0] & 0xF0) == 0xE0 && remaining >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
        const auto c =
            static_cast<char32_t>(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
        if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
            *step = 3;
            return entries_[byUnit_[c]];
        }
    }
    // A byte outside a sequence decodes to U+FFFD; beyond the BMP lies no
    // character of the code page.
    const char32_t c = DecodeUtf8Char(p, remaining, step);
    return entries_[c > 0xFFFF ? kUnsafeAt : byUnit_[c]];
}

bool PrimaryWeights::Prefix(std::string_view text, std::uint8_t* key, std::size_t limit,
                            std::size_t* size, Encoding encoding) const {
    if (limit > kMaxKey) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    // One loop for each encoding, so the look-up of every character is inlined.
    if (encoding == Encoding::Utf8) {
        return PrefixOf(
            p, text.size(), key, limit, size,
            [this](const unsigned char* at, std::size_t remaining,
                   std::size_t* step) -> const Entry& { return LookupUtf8(at, remaining, step); });
    }
    return PrefixOf(
        p, text.size(), key, limit, size,
        [this](const unsigned char* at, std::size_t remaining, std::size_t* step) -> const Entry& {
            return Lookup(at, remaining, step);
        });
}

template <typename Look>
bool PrimaryWeights::PrefixOf(const unsigned char* p, std::size_t n, std::uint8_t* key,
                              std::size_t limit, std::size_t* size, const Look& look) const {
    std::uint8_t buffer[kMaxKey + kMaxBytes];
    std::size_t out = 0;
    std::size_t i = 0;
    while (i < n && out < limit) {
        std::size_t step;
        const Entry& entry = look(p + i, n - i, &step);
        if (entry.size == kUnsafe) return false;
        // A whole entry is copied; what lies past its size is overwritten next.
        std::memcpy(buffer + out, entry.bytes, kMaxBytes);
        out += entry.size;
        i += step;
    }
    // The character after the last one used may still change its weight.
    if (i < n) {
        std::size_t step;
        if (look(p + i, n - i, &step).size == kUnsafe) return false;
    }
    *size = std::min(out, limit);
    std::memcpy(key, buffer, *size);
    return true;
}

}  // namespace quellor
