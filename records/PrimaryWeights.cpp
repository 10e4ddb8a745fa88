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
using ElementsPtr = std::unique_ptr<UCollationElements, decltype(&ucol_closeElements)>;

std::size_t PairIndex(unsigned char lead, unsigned char trail) {
    const int row = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
    return static_cast<std::size_t>(row) * 256 + trail;
}

// Code points whose weights depend on their neighbours: the first of every
// contraction (it looks ahead) and every one after the first of a context
// rule such as a prolonged sound mark after a kana (it looks back).
SetPtr ContextSensitive() {
    UErrorCode status = U_ZERO_ERROR;
    SetPtr contractions(uset_openEmpty(), &uset_close);
    SetPtr withContexts(uset_openEmpty(), &uset_close);
    SetPtr result(uset_openEmpty(), &uset_close);
    ucol_getContractionsAndExpansions(collation::Collator(), contractions.get(), nullptr, false,
                                      &status);
    ucol_getContractionsAndExpansions(collation::Collator(), withContexts.get(), nullptr, true,
                                      &status);
    if (U_FAILURE(status)) {
        uset_complement(result.get());  // nothing is safe: every line goes to the collator
        return result;
    }
    UChar text[64];
    const int32_t items = uset_getItemCount(withContexts.get());
    for (int32_t i = 0; i < items; ++i) {
        UChar32 first, last;
        UErrorCode itemStatus = U_ZERO_ERROR;
        const int32_t len =
            uset_getItem(withContexts.get(), i, &first, &last, text, 64, &itemStatus);
        if (U_FAILURE(itemStatus) || len > 64) {
            uset_complement(result.get());
            return result;
        }
        if (len == 0) {
            uset_addRange(result.get(), first, last);
            continue;
        }
        int32_t at = 0;
        UChar32 c;
        U16_NEXT(text, at, len, c);
        if (uset_containsString(contractions.get(), text, len)) {
            uset_add(result.get(), c);
            continue;
        }
        while (at < len) {
            U16_NEXT(text, at, len, c);
            uset_add(result.get(), c);
        }
    }
    return result;
}

}  // namespace

const PrimaryWeights& PrimaryWeights::Get(bool ignoreCase) {
    static const PrimaryWeights folded(true);
    static const PrimaryWeights exact(false);
    return ignoreCase ? folded : exact;
}

PrimaryWeights::PrimaryWeights(bool ignoreCase) : single_(256), pairs_(60 * 256) {
    const SetPtr unsafe = ContextSensitive();
    UErrorCode status = U_ZERO_ERROR;
    ElementsPtr elements(ucol_openElements(collation::Collator(), nullptr, 0, &status),
                         &ucol_closeElements);
    if (U_FAILURE(status)) return;  // every entry stays unsafe
    collation::U16Buffer text, scratch;
    const auto fill = [&](Entry& entry, std::string_view bytes) {
        collation::PrepareText(bytes, ignoreCase, text, scratch);
        for (std::size_t k = 0; k < text.size(); ++k) {
            const UChar32 c = text.data()[k];
            if (U16_IS_SURROGATE(c) || uset_contains(unsafe.get(), c) ||
                u_getCombiningClass(c) != 0) {
                return;
            }
        }
        UErrorCode s = U_ZERO_ERROR;
        ucol_setText(elements.get(), text.data(), static_cast<int32_t>(text.size()), &s);
        std::size_t size = 0;
        for (int32_t ce; U_SUCCESS(s) && (ce = ucol_next(elements.get(), &s)) != UCOL_NULLORDER;) {
            const auto primary = static_cast<std::uint32_t>(ucol_primaryOrder(ce));
            for (const std::uint8_t b : {static_cast<std::uint8_t>(primary >> 8),
                                         static_cast<std::uint8_t>(primary & 0xFF)}) {
                if (b == 0) continue;
                if (size == kMaxBytes) return;
                entry.bytes[size++] = b;
            }
        }
        if (U_SUCCESS(s)) entry.size = static_cast<std::uint8_t>(size);
    };
    for (int b = 0; b < 256; ++b) {
        const char one = static_cast<char>(b);
        fill(single_[b], std::string_view(&one, 1));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            fill(pairs_[PairIndex(static_cast<unsigned char>(lead),
                                  static_cast<unsigned char>(trail))],
                 std::string_view(two, 2));
        }
    }
}

const PrimaryWeights::Entry& PrimaryWeights::Lookup(const unsigned char* p, std::size_t remaining,
                                                    std::size_t* step) const {
    if (IsLeadByte(p[0]) && remaining > 1) {
        *step = 2;
        return pairs_[PairIndex(p[0], p[1])];
    }
    *step = 1;
    return single_[p[0]];
}

bool PrimaryWeights::Prefix(std::string_view text, std::uint8_t* key, std::size_t limit,
                            std::size_t* size) const {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t out = 0;
    for (std::size_t i = 0; i < n && out < limit;) {
        std::size_t step;
        const Entry& entry = Lookup(p + i, n - i, &step);
        if (entry.size == kUnsafe) return false;
        const std::size_t take = std::min<std::size_t>(entry.size, limit - out);
        std::memcpy(key + out, entry.bytes, take);
        out += take;
        i += step;
    }
    *size = out;
    return true;
}

}  // namespace quellor
