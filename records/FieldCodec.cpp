#include "records/FieldCodec.h"

#include <array>
#include <cstring>

#include "records/ByteScan.h"
#include "records/Cp932.h"

namespace quellor {

namespace {

inline bool IsBlank(unsigned char b) {
    return b >= 0x01 && b <= 0x20;
}

enum ByteClass : unsigned char { kOrdinary, kLead, kBlank, kDelimiter, kQuote };

using ClassTable = std::array<ByteClass, 256>;

// In UTF-8 no byte of a multi-byte character is below 0x80, so every
// delimiter, blank and quote byte begins a character: no byte is a lead.
ClassTable MakeClasses(unsigned char d, unsigned char q, Encoding encoding) {
    ClassTable t{};
    for (std::size_t c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        t[c] = IsBlank(b)                                     ? kBlank
               : b == d                                       ? kDelimiter
               : q != 0 && b == q                             ? kQuote
               : encoding == Encoding::Cp932 && IsLeadByte(b) ? kLead
                                                              : kOrdinary;
    }
    return t;
}

// Every list in the system splits with the comma and either the double
// quote or no quote character; those two tables are built once.
const ClassTable& Classes(char delimiter, char quote, Encoding encoding) {
    static const ClassTable withQuote = MakeClasses(',', '"', Encoding::Cp932);
    static const ClassTable withoutQuote = MakeClasses(',', 0, Encoding::Cp932);
    static const ClassTable utf8WithQuote = MakeClasses(',', '"', Encoding::Utf8);
    static const ClassTable utf8WithoutQuote = MakeClasses(',', 0, Encoding::Utf8);
    const bool utf8 = encoding == Encoding::Utf8;
    if (delimiter == ',' && quote == '"') return utf8 ? utf8WithQuote : withQuote;
    if (delimiter == ',' && quote == 0) return utf8 ? utf8WithoutQuote : withoutQuote;
    thread_local ClassTable other;
    other = MakeClasses(static_cast<unsigned char>(delimiter), static_cast<unsigned char>(quote),
                        encoding);
    return other;
}

// Cuts a private copy of the line into fields where it lies: a plain field
// is a piece of the copy, and a quoted field is unquoted in place, which
// only ever shortens it. So a split costs one copy of the line, whatever
// the number of fields.
class Splitter {
  public:
    Splitter(char* text, std::size_t size, const ClassTable& classes, char delimiter,
             Encoding encoding)
        : p_(reinterpret_cast<unsigned char*>(text)),
          n_(size),
          cls_(classes),
          d_(static_cast<unsigned char>(delimiter)),
          pairs_(encoding == Encoding::Cp932) {}

    // Returns true when it stopped at maxFields with more to come.
    bool Run(TStringList& fields, std::size_t maxFields) {
        SkipBlanks();
        while (pos_ < n_) {
            if (static_cast<std::size_t>(fields.Count()) == maxFields) return true;
            const std::size_t start = pos_;
            const std::size_t len = cls_[p_[pos_]] == kQuote ? ReadQuoted() : ReadPlain();
            fields.AddOwned(reinterpret_cast<char*>(p_ + start), len);
            SkipBlanks();
            if (pos_ < n_ && cls_[p_[pos_]] == kDelimiter) {
                // An empty field has no bytes, so it may point anywhere.
                if (pos_ + 1 == n_) {
                    if (static_cast<std::size_t>(fields.Count()) == maxFields) return true;
                    fields.AddOwned(nullptr, 0);
                }
                ++pos_;
                SkipBlanks();
            }
        }
        return false;
    }

  private:
    std::size_t Step(std::size_t at) const { return cls_[p_[at]] == kLead && at + 1 < n_ ? 2 : 1; }

    void SkipBlanks() {
        // Blanks are single bytes, so a lead byte stops the skip by itself.
        while (pos_ < n_ && cls_[p_[pos_]] == kBlank) ++pos_;
    }

    // A plain field ends at the first blank or delimiter that begins a
    // character; the candidates are found sixteen bytes at a time.
    std::size_t ReadPlain() {
        const std::size_t start = pos_;
        std::size_t i = pos_;
        while ((i = NextStopByte(p_, i, n_, d_, d_)) < n_ && pairs_ &&
               !StartsCharacter(p_, start, i)) {
            ++i;
        }
        pos_ = i;
        return pos_ - start;
    }

    // Writes the unquoted field from the opening quote's place onward.
    std::size_t ReadQuoted() {
        const unsigned char q = p_[pos_];
        const std::size_t start = pos_;
        std::size_t out = start;
        ++pos_;  // the opening quote
        while (pos_ < n_) {
            if (p_[pos_] == q) {
                if (pos_ + 1 < n_ && p_[pos_ + 1] == q) {
                    p_[out++] = q;
                    pos_ += 2;
                    continue;
                }
                ++pos_;  // the closing quote
                break;
            }
            const std::size_t len = Step(pos_);
            for (std::size_t k = 0; k < len; ++k) p_[out++] = p_[pos_ + k];
            pos_ += len;
        }
        return out - start;
    }

    unsigned char* p_;
    std::size_t n_;
    const ClassTable& cls_;
    unsigned char d_;
    bool pairs_;  // code page 932: a found byte may be a second byte
    std::size_t pos_ = 0;
};

// A character's length for the joining scan: in UTF-8 a byte below 0x80
// always begins a character, so stepping byte by byte finds the same ones.
std::size_t JoinStep(std::string_view field, std::size_t i, Encoding encoding) {
    return encoding == Encoding::Cp932 ? CharLength(field, i) : 1;
}

bool NeedsQuoting(std::string_view field, unsigned char d, unsigned char q, Encoding encoding) {
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    for (std::size_t i = 0; i < field.size();) {
        const unsigned char b = p[i];
        if (IsBlank(b) || b == q || b == d) return true;
        i += JoinStep(field, i, encoding);
    }
    return false;
}

void AppendQuoted(std::string_view field, char q, Encoding encoding, std::string& out) {
    out += q;
    for (std::size_t i = 0; i < field.size();) {
        const std::size_t len = JoinStep(field, i, encoding);
        if (len == 1 && field[i] == q) out += q;
        out.append(field.data() + i, len);
        i += len;
    }
    out += q;
}

// Adds the fields of a plain line, or adds nothing and returns false for the
// splitter to do.
bool SplitAtDelimiters(TStringList& fields, const char* text, std::size_t n,
                       const CsvDialect& dialect) {
    std::size_t ends[kMaxPlainFields];
    const std::size_t count = FindPlainFieldEnds({text, n}, dialect, ends);
    if (count == 0) return false;
    std::size_t from = 0;
    for (std::size_t k = 0; k < count; ++k) {
        fields.AddOwned(text + from, ends[k] - from);
        from = ends[k] + 1;
    }
    return true;
}

}  // namespace

// Most lines hold no blank and no quote character where a character
// begins: every field is then the run between two delimiters, found
// sixty-four bytes at a time, as the splitter would cut them.
std::size_t FindPlainFieldEnds(std::string_view line, const CsvDialect& dialect,
                               std::size_t* ends) {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    if (n == 0) return 0;
    const auto d = static_cast<unsigned char>(dialect.Delimiter);
    const auto q = dialect.Quote != 0 ? static_cast<unsigned char>(dialect.Quote) : d;
    const bool pairs = dialect.TextEncoding == Encoding::Cp932;
    std::size_t count = 0;
    std::uint64_t oddCarry = 0;
    // Sixty-four bytes at a time; the last block is padded with a byte that
    // is none of the ones looked for.
    unsigned char tail[64];
    for (std::size_t base = 0; base < n; base += 64) {
        const unsigned char* block = p + base;
        if (n - base < 64) {
            std::memset(tail, 'a', sizeof tail);
            std::memcpy(tail, block, n - base);
            block = tail;
        }
        const StopMasks m = StopMasks64(block, d, q);
        // The splitter ends the text at a NUL, wherever it stands.
        if (m.nuls != 0) return 0;
        // In UTF-8 every byte looked for begins a character.
        const std::uint64_t seconds = pairs ? AfterOddLeadRuns(m.leads, oddCarry) : 0;
        if ((m.others & ~m.delimiters & ~seconds) != 0) return 0;
        for (std::uint64_t bits = m.delimiters & ~seconds; bits != 0; bits &= bits - 1) {
            if (count + 1 == kMaxPlainFields) return 0;
            ends[count++] = base + static_cast<std::size_t>(__builtin_ctzll(bits));
        }
    }
    ends[count++] = n;
    return count;
}

void SplitFields(TStringList& fields, std::string_view line, const CsvDialect& dialect) {
    SplitFields(fields, line, dialect, std::string_view::npos);
}

bool SplitFields(TStringList& fields, std::string_view line, const CsvDialect& dialect,
                 std::size_t maxFields) {
    if (line.empty()) {
        // An empty line may have no storage at all; it has no fields.
        fields.Reset();
        return false;
    }
    const void* nul = std::memchr(line.data(), 0, line.size());
    if (nul != nullptr)
        line =
            line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
    // The line may live in the list that is about to be refilled.
    std::string copy;
    if (fields.Owns(line.data())) {
        copy.assign(line);
        line = copy;
    }
    fields.Reset();
    char* text = fields.Allocate(line.size());
    if (text == nullptr) return false;
    std::memcpy(text, line.data(), line.size());
    const Encoding encoding = dialect.TextEncoding;
    if (maxFields == std::string_view::npos &&
        SplitAtDelimiters(fields, text, line.size(), dialect))
        return false;
    return Splitter(text, line.size(), Classes(dialect.Delimiter, dialect.Quote, encoding),
                    dialect.Delimiter, encoding)
        .Run(fields, maxFields);
}

void JoinFieldsInto(const TStringList& fields, const CsvDialect& dialect, std::string& out) {
    out.clear();
    const char q = dialect.Quote;
    const char d = dialect.Delimiter;
    const int count = fields.Count();
    if (count == 1 && fields.At(0).empty()) {
        // Without a quote character there is no way to write one empty field.
        if (q != 0) out.assign(2, q);
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::string_view field = fields.At(static_cast<std::size_t>(i));
        if (i > 0) out += d;
        if (q != 0 && NeedsQuoting(field, static_cast<unsigned char>(d),
                                   static_cast<unsigned char>(q), dialect.TextEncoding)) {
            AppendQuoted(field, q, dialect.TextEncoding, out);
        } else {
            out += field;
        }
    }
}

std::string JoinFields(const TStringList& fields, const CsvDialect& dialect) {
    std::string out;
    JoinFieldsInto(fields, dialect, out);
    return out;
}

}  // namespace quellor
