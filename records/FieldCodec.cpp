#include "records/FieldCodec.h"

#include <cstring>

#include "records/Cp932.h"

namespace quellor {

namespace {

inline bool IsBlank(unsigned char b) {
    return b >= 0x01 && b <= 0x20;
}

class Splitter {
  public:
    Splitter(std::string_view text, char delimiter, char quote)
        : p_(reinterpret_cast<const unsigned char*>(text.data())),
          n_(text.size()),
          d_(static_cast<unsigned char>(delimiter)),
          q_(static_cast<unsigned char>(quote)) {}

    void Run(TStringList& fields) {
        SkipBlanks();
        while (pos_ < n_) {
            if (q_ != 0 && p_[pos_] == q_) {
                ReadQuoted();
                fields.Add(quoted_);
            } else {
                fields.Add(ReadPlain());
            }
            SkipBlanks();
            if (pos_ < n_ && p_[pos_] == d_) {
                if (pos_ + 1 == n_) fields.Add({});
                ++pos_;
                SkipBlanks();
            }
        }
    }

  private:
    std::size_t Step(std::size_t at) const { return IsLeadByte(p_[at]) && at + 1 < n_ ? 2 : 1; }

    void SkipBlanks() {
        // Blanks are single bytes, so a lead byte stops the skip by itself.
        while (pos_ < n_ && IsBlank(p_[pos_])) ++pos_;
    }

    std::string_view ReadPlain() {
        const std::size_t start = pos_;
        while (pos_ < n_ && !IsBlank(p_[pos_]) && p_[pos_] != d_) pos_ += Step(pos_);
        return {reinterpret_cast<const char*>(p_ + start), pos_ - start};
    }

    void ReadQuoted() {
        quoted_.clear();
        ++pos_;  // the opening quote
        while (pos_ < n_) {
            if (p_[pos_] == q_) {
                if (pos_ + 1 < n_ && p_[pos_ + 1] == q_) {
                    quoted_ += static_cast<char>(q_);
                    pos_ += 2;
                    continue;
                }
                ++pos_;  // the closing quote
                return;
            }
            const std::size_t len = Step(pos_);
            quoted_.append(reinterpret_cast<const char*>(p_ + pos_), len);
            pos_ += len;
        }
    }

    const unsigned char* p_;
    std::size_t n_;
    unsigned char d_;
    unsigned char q_;
    std::size_t pos_ = 0;
    std::string quoted_;
};

bool NeedsQuoting(std::string_view field, unsigned char d, unsigned char q) {
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    for (std::size_t i = 0; i < field.size();) {
        const unsigned char b = p[i];
        if (IsBlank(b) || b == q || b == d) return true;
        i += CharLength(field, i);
    }
    return false;
}

void AppendQuoted(std::string_view field, char q, std::string& out) {
    out += q;
    for (std::size_t i = 0; i < field.size();) {
        const std::size_t len = CharLength(field, i);
        if (len == 1 && field[i] == q) out += q;
        out.append(field.data() + i, len);
        i += len;
    }
    out += q;
}

}  // namespace

void SplitFields(TStringList& fields, std::string_view line) {
    const void* nul = std::memchr(line.data(), 0, line.size());
    if (nul != nullptr) line = line.substr(0, static_cast<const char*>(nul) - line.data());
    // The line may live in the list that is about to be refilled.
    std::string copy;
    if (fields.Owns(line.data())) {
        copy.assign(line);
        line = copy;
    }
    fields.Reset();
    Splitter(line, fields.Delimiter, fields.QuoteChar).Run(fields);
}

void JoinFieldsInto(const TStringList& fields, std::string& out) {
    out.clear();
    const char q = fields.QuoteChar;
    const char d = fields.Delimiter;
    const int count = fields.Count();
    if (count == 1 && fields.At(0).empty()) {
        // Without a quote character there is no way to write one empty field.
        if (q != 0) out.assign(2, q);
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::string_view field = fields.At(static_cast<std::size_t>(i));
        if (i > 0) out += d;
        if (q != 0 &&
            NeedsQuoting(field, static_cast<unsigned char>(d), static_cast<unsigned char>(q))) {
            AppendQuoted(field, q, out);
        } else {
            out += field;
        }
    }
}

std::string JoinFields(const TStringList& fields) {
    std::string out;
    JoinFieldsInto(fields, out);
    return out;
}

}  // namespace quellor
