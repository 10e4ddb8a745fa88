#include "ui/Cp932Text.h"

#include <unicode/ucnv.h>

#include <memory>
#include <stdexcept>

#include "records/Cp932.h"

namespace quellor::ui {

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// A fresh converter that stops at the first character it cannot encode.
Converter OpenStrict() {
    UErrorCode status = U_ZERO_ERROR;
    Converter cnv(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status)) throw std::runtime_error("windows-31j converter missing");
    ucnv_setFallback(cnv.get(), false);
    ucnv_setFromUCallBack(cnv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return cnv;
}

// Encodes, or reports failure for a character without a code.
bool TryEncode(const QString& text, std::string& out) {
    out.clear();
    if (text.isEmpty()) return true;
    Converter cnv = OpenStrict();
    UErrorCode status = U_ZERO_ERROR;
    out.resize(static_cast<std::size_t>(text.size()) * 2 + 8);
    int32_t n = ucnv_fromUChars(cnv.get(), out.data(), static_cast<int32_t>(out.size()),
                                reinterpret_cast<const UChar*>(text.utf16()),
                                static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) return false;
    out.resize(static_cast<std::size_t>(n));
    return true;
}

}  // namespace

QString ShowCp932(std::string_view bytes) {
    std::u16string u = DecodeCp932(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

QString ShowText(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Cp932) return ShowCp932(bytes);
    const std::string utf8 = TextForShow(bytes, encoding);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string EncodeText(const QString& text, Encoding encoding) {
    return encoding == Encoding::Cp932 ? EncodeCp932(text) : text.toStdString();
}

QString ShowPath(const QByteArray& path) {
    const std::string shown = PathForShow(std::string_view(path.data(), path.size()));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

std::string EncodeCp932(const QString& text) {
    std::string out;
    if (!TryEncode(text, out)) throw std::invalid_argument("text outside code page 932");
    return out;
}

bool CanEncode(const QString& text) {
    std::string out;
    return TryEncode(text, out);
}

QString MapLookAlikes(QString text) {
    static constexpr char16_t kMap[][2] = {
        {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u2016', u'\u2225'},
        {u'\u2014', u'\u2015'}, {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
        {u'\u00AC', u'\uFFE2'},
    };
    for (QChar& c : text) {
        for (const auto& m : kMap) {
            if (c.unicode() == m[0]) c = QChar(m[1]);
        }
    }
    return text;
}

QValidator::State Cp932Validator::validate(QString&, int&) const {
    return Acceptable;
}

void Cp932Validator::fixup(QString&) const {}

}  // namespace quellor::ui
