#include "records/NumericKey.h"

#include <cstring>
#include <string>

#include "records/Cp932.h"

namespace quellor {

namespace {

enum class Sym : std::uint8_t { Digit, Plus, Minus, Separator, Point, Currency, Yen, Blank, Other };

struct Char {
    Sym sym = Sym::Other;
    std::uint8_t digit = 0;
    std::size_t length = 1;
};

constexpr std::size_t kHeldDigits = 24;
constexpr std::int64_t kHeldExponent = 32000;
constexpr std::uint8_t kNegative = 1, kZero = 2, kPositive = 3, kNotANumber = 4;

// In code page 932 the byte 0x5C is the yen sign: Japanese fonts show it so,
// and money columns written with it mean yen. In UTF-8 only U+00A5 is.
Char Ascii(unsigned char b, bool backslashIsYen) {
    if (b >= '0' && b <= '9') return {Sym::Digit, static_cast<std::uint8_t>(b - '0')};
    switch (b) {
        case '+':
            return {Sym::Plus};
        case '-':
            return {Sym::Minus};
        case ',':
            return {Sym::Separator};
        case '.':
            return {Sym::Point};
        case '$':
            return {Sym::Currency};
        case ' ':
        case '\t':
            return {Sym::Blank};
        case 0x5C:
            return {backslashIsYen ? Sym::Currency : Sym::Other};
        default:
            return {};
    }
}

// The characters that can be part of a number, whole-width ones included.
Char Wide(char32_t c, std::size_t length) {
    if (c >= 0xFF10 && c <= 0xFF19)
        return {Sym::Digit, static_cast<std::uint8_t>(c - 0xFF10), length};
    switch (c) {
        case 0xFF0B:
            return {Sym::Plus, 0, length};
        case 0xFF0D:
        case 0x2212:
            return {Sym::Minus, 0, length};
        case 0xFF0C:
            return {Sym::Separator, 0, length};
        case 0xFF0E:
            return {Sym::Point, 0, length};
        case 0xFFE5:
        case 0x00A5:
            return {Sym::Currency, 0, length};
        case 0x5186:
            return {Sym::Yen, 0, length};
        case 0x3000:
            return {Sym::Blank, 0, length};
        default:
            return {Sym::Other, 0, length};
    }
}

// The code page's pairs for those characters; 0x817C is both minus signs.
char32_t Cp932Pair(unsigned lead, unsigned trail) {
    const unsigned code = lead << 8 | trail;
    if (code >= 0x824F && code <= 0x8258) return 0xFF10 + (code - 0x824F);
    switch (code) {
        case 0x817B:
            return 0xFF0B;
        case 0x817C:
            return 0xFF0D;
        case 0x8143:
            return 0xFF0C;
        case 0x8144:
            return 0xFF0E;
        case 0x818F:
            return 0xFFE5;
        case 0x897E:
            return 0x5186;
        case 0x8140:
            return 0x3000;
        default:
            return 0;
    }
}

class Reader {
  public:
    Reader(std::string_view text, Encoding encoding)
        : p_(reinterpret_cast<const unsigned char*>(text.data())),
          n_(text.size()),
          cp932_(encoding == Encoding::Cp932) {}

    bool AtEnd() const { return i_ >= n_; }
    Char Peek() const {
        if (AtEnd()) return {Sym::Other, 0, 0};
        const unsigned char b = p_[i_];
        if (b < 0x80) return Ascii(b, cp932_);
        if (cp932_) {
            if (!IsLeadByte(b) || i_ + 1 >= n_) return {};
            return Wide(Cp932Pair(b, p_[i_ + 1]), 2);
        }
        std::size_t length = 1;
        const char32_t c = DecodeUtf8Char(p_ + i_, n_ - i_, &length);
        return Wide(c, length);
    }
    void Take(const Char& c) { i_ += c.length; }
    bool Skip(Sym sym) {
        const Char c = Peek();
        if (AtEnd() || c.sym != sym) return false;
        Take(c);
        return true;
    }

  private:
    const unsigned char* p_;
    std::size_t n_;
    bool cp932_;
    std::size_t i_ = 0;
};

struct Number {
    bool negative = false;
    std::int64_t exponent = 0;  // the value is 0.d1d2... times ten to this
    std::size_t count = 0;      // significant digits, trailing zeros dropped; 0: zero
    std::uint8_t head[kHeldDigits] = {};
};

// Thousands separators stand between groups of three digits, the first
// group one to three long, and only before the point.
bool ReadDigits(Reader& in, Number& out, std::string* digits) {
    std::int64_t whole = 0, all = 0, first = -1, group = -1;
    std::size_t significant = 0;
    bool point = false;
    for (;;) {
        const Char c = in.Peek();
        if (in.AtEnd()) break;
        if (c.sym == Sym::Digit) {
            if (!point) ++whole;
            if (group >= 0) ++group;
            if (first < 0 && c.digit != 0) first = all;
            if (first >= 0) {
                if (significant < kHeldDigits) out.head[significant] = c.digit;
                if (digits) digits->push_back(static_cast<char>('0' + c.digit));
                ++significant;
                if (c.digit != 0) out.count = significant;
            }
            ++all;
        } else if (c.sym == Sym::Separator) {
            if (point || whole == 0 || (group < 0 ? whole > 3 : group != 3)) return false;
            group = 0;
        } else if (c.sym == Sym::Point) {
            if (point || (group >= 0 && group != 3)) return false;
            point = true;
        } else {
            break;
        }
        in.Take(c);
    }
    if (all == 0 || (!point && group >= 0 && group != 3)) return false;
    if (digits) digits->resize(out.count);
    if (out.count == 0) {
        out.negative = false;  // "-0" is 0
    } else {
        out.exponent = whole - first;
    }
    return true;
}

// Blanks around; a sign and a currency sign before, in either order; the
// digits; "円" after.
bool ReadNumber(std::string_view field, Encoding encoding, Number& out, std::string* digits) {
    Reader in(field, encoding);
    while (in.Skip(Sym::Blank)) {
    }
    bool sign = false, currency = false;
    for (;;) {
        const Char c = in.Peek();
        if (in.AtEnd()) return false;
        if ((c.sym == Sym::Plus || c.sym == Sym::Minus) && !sign) {
            sign = true;
            out.negative = c.sym == Sym::Minus;
        } else if (c.sym == Sym::Currency && !currency) {
            currency = true;
        } else {
            break;
        }
        in.Take(c);
    }
    if (!ReadDigits(in, out, digits)) return false;
    in.Skip(Sym::Yen);
    while (in.Skip(Sym::Blank)) {
    }
    return in.AtEnd();
}

}  // namespace

bool NumberKey::NeedsDigits() const {
    const auto cls = static_cast<std::uint8_t>(High >> 56);
    const auto mark = static_cast<std::uint8_t>(Low);
    return (cls == kPositive && mark == 1) || (cls == kNegative && mark == 0xFE);
}

// Bytes: the class; the exponent biased to 16 bits; 24 digits as nibbles;
// the mark for more than that. A negative number's bytes after the class are
// inverted, so a larger magnitude sorts lower.
NumberKey NumberKeyOf(std::string_view value, Encoding encoding) {
    Number n;
    std::uint8_t bytes[16] = {};
    if (!ReadNumber(value, encoding, n, nullptr)) {
        bytes[0] = kNotANumber;
    } else if (n.count == 0) {
        bytes[0] = kZero;
    } else {
        bytes[0] = n.negative ? kNegative : kPositive;
        const bool wide = n.exponent > kHeldExponent || n.exponent < -kHeldExponent;
        if (wide) {
            // Beyond the held exponent only the digits can tell two apart.
            bytes[1] = bytes[2] = n.exponent > 0 ? 0xFF : 0x00;
        } else {
            const auto biased = static_cast<std::uint16_t>(n.exponent + 0x8000);
            bytes[1] = static_cast<std::uint8_t>(biased >> 8);
            bytes[2] = static_cast<std::uint8_t>(biased);
            for (std::size_t k = 0; k < kHeldDigits && k < n.count; ++k) {
                bytes[3 + k / 2] |= static_cast<std::uint8_t>(n.head[k] << (k % 2 ? 0 : 4));
            }
        }
        bytes[15] = wide || n.count > kHeldDigits ? 1 : 0;
        if (n.negative) {
            for (std::size_t k = 1; k < 16; ++k) bytes[k] = static_cast<std::uint8_t>(~bytes[k]);
        }
    }
    return {LoadBigEndian(bytes), LoadBigEndian(bytes + 8)};
}

int CompareLongNumbers(std::string_view a, std::string_view b, Encoding encoding) {
    thread_local std::string digitsA, digitsB;
    digitsA.clear();
    digitsB.clear();
    Number na, nb;
    ReadNumber(a, encoding, na, &digitsA);
    ReadNumber(b, encoding, nb, &digitsB);
    int c = na.exponent != nb.exponent ? (na.exponent < nb.exponent ? -1 : 1)
                                       : digitsA.compare(digitsB);
    c = c < 0 ? -1 : c > 0 ? 1 : 0;
    return na.negative ? -c : c;
}

}  // namespace quellor
