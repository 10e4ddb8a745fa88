// Encodings at the window's edge: showing record bytes and file names,
// encoding typed texts, and what the edit boxes let in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

#include "records/Encoding.h"

namespace quellor::ui {

// Record bytes as the user sees them.
QString ShowCp932(std::string_view bytes);
// The same for bytes of either encoding.
QString ShowText(std::string_view bytes, Encoding encoding);
// A text of the window (a label) as record bytes of the encoding.
std::string EncodeText(const QString& text, Encoding encoding);

// A file name as the user reads it; the path bytes themselves stay as they are.
QString ShowPath(const QByteArray& path);

// The text in code page 932. Only for texts that CanEncode accepts.
std::string EncodeCp932(const QString& text);

// True when every character of the text has a code page 932 code.
bool CanEncode(const QString& text);

// Replaces the characters that Linux input methods produce for their JIS
// mapping by the code page 932 characters that look the same.
QString MapLookAlikes(QString text);

// Accepts every text as typed: a search text is encoded per file when a run
// starts (look-alikes mapped for code page 932 files), and one that code
// page 932 cannot hold simply matches nothing in such a file.
class Cp932Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

}  // namespace quellor::ui
