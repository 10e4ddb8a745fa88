#include "records/Cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <array>
#include <memory>

namespace quellor {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// One UTF-16 unit per single byte and per lead-byte pair, filled once from
// ICU's strict conversion of each character on its own. Converting whole
// texts with ICU would re-split malformed pairs and swap some control bytes.
class DecodeTable {
  public:
    DecodeTable() {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* conv = ucnv_open("windows-31j", &status);
        std::unique_ptr<UConverter, decltype(&ucnv_close)> owner(conv, &ucnv_close);
        if (U_SUCCESS(status)) {
            ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        }
        const bool ok = U_SUCCESS(status);
        for (std::size_t b = 0; b < 256; ++b) {
            const char one[1] = {static_cast<char>(b)};
            single_[b] = b < 0x80 ? static_cast<char16_t>(b)
                         : ok     ? Convert(conv, one, 1)
                                  : kReplacement;
        }
        for (int lead = 0; lead < 256; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0; trail < 256; ++trail) {
                const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs_[PairIndex(static_cast<unsigned char>(lead),
                                 static_cast<unsigned char>(trail))] =
                    ok ? Convert(conv, two, 2) : kReplacement;
            }
        }
    }

    char16_t Single(unsigned char b) const { return single_[b]; }
    char16_t Pair(unsigned char lead, unsigned char trail) const {
        return pairs_[PairIndex(lead, trail)];
    }

  private:
    static char16_t Convert(UConverter* conv, const char* bytes, int32_t len) {
        ucnv_reset(conv);
        UErrorCode status = U_ZERO_ERROR;
        UChar out[4];
        const int32_t n = ucnv_toUChars(conv, out, 4, bytes, len, &status);
        if (U_FAILURE(status) || n != 1) return kReplacement;
        return out[0];
    }

    std::array<char16_t, 256> single_{};
    std::array<char16_t, kPairTableSize> pairs_{};
};

const DecodeTable& Table() {
    static const DecodeTable table;
    return table;
}

}  // namespace

std::size_t DecodeCp932Into(std::string_view text, char16_t* out) {
    const DecodeTable& table = Table();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    char16_t* dst = out;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            *dst++ = b;
            ++i;
        } else if (IsLeadByte(b) && i + 1 < n) {
            *dst++ = table.Pair(b, p[i + 1]);
            i += 2;
        } else {
            *dst++ = table.Single(b);
            ++i;
        }
    }
    return static_cast<std::size_t>(dst - out);
}

std::size_t DecodeCp932(std::string_view text, std::u16string& out) {
    const std::size_t start = out.size();
    out.resize(start + text.size());  // never more units than bytes
    const std::size_t added = DecodeCp932Into(text, out.data() + start);
    out.resize(start + added);
    return added;
}

std::u16string DecodeCp932(std::string_view text) {
    std::u16string out;
    DecodeCp932(text, out);
    return out;
}

void AppendUtf8(char16_t unit, std::string& out) {
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

std::string Cp932ToUtf8(std::string_view text) {
    // The table maps into the BMP only, so no surrogates appear.
    const std::u16string units = DecodeCp932(text);
    std::string out;
    out.reserve(units.size() * 3);
    for (char16_t u : units) AppendUtf8(u, out);
    return out;
}

}  // namespace quellor
