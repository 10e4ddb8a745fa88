#include "records/SearchText.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>
#include <stdexcept>

namespace quellor {

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

void MapLookAlikes(std::u16string& text) {
    static constexpr char16_t kMap[][2] = {
        {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u2016', u'\u2225'},
        {u'\u2014', u'\u2015'}, {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
        {u'\u00AC', u'\uFFE2'},
    };
    for (char16_t& c : text) {
        for (const auto& m : kMap) {
            if (c == m[0]) c = m[1];
        }
    }
}

}  // namespace

std::optional<std::string> SearchTextAsCp932(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    UErrorCode status = U_ZERO_ERROR;
    std::u16string text(utf8.size() + 1, u'\0');
    int32_t units = 0;
    u_strFromUTF8(text.data(), static_cast<int32_t>(text.size()), &units, utf8.data(),
                  static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    text.resize(static_cast<std::size_t>(units));
    MapLookAlikes(text);

    Converter cnv = OpenStrict();
    std::string out(text.size() * 2 + 8, '\0');
    const int32_t n = ucnv_fromUChars(cnv.get(), out.data(), static_cast<int32_t>(out.size()),
                                      text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace quellor
