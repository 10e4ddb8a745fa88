// Code page 932 at the window's edge: showing record bytes, encoding typed
// search texts, and keeping the edit boxes to what code page 932 can hold.
#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

namespace quellor::ui {

// Record bytes as the user sees them.
QString ShowCp932(std::string_view bytes);

// The text in code page 932. Only for texts that CanEncode accepts.
std::string EncodeCp932(const QString& text);

// True when every character of the text has a code page 932 code.
bool CanEncode(const QString& text);

// Replaces the characters that Linux input methods produce for their JIS
// mapping by the code page 932 characters that look the same.
QString MapLookAlikes(QString text);

// Accepts a text once its look-alikes are mapped and every character can be
// encoded; anything else is refused as it is typed or pasted.
class Cp932Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

}  // namespace quellor::ui
