#include "ui/Cp932Text.h"

#include <QRegularExpression>
#include <string>

#include "records/Cp932.h"
#include "ui/UiTexts.h"

namespace quellor::ui {

QString ShowCp932(std::string_view bytes) {
    std::u16string u = DecodeCp932(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

QString ShowText(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Cp932) return ShowCp932(bytes);
    const std::string utf8 = TextForShow(bytes, encoding);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ShowValue(std::string_view value, Encoding encoding) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return ShowText(value, encoding).replace(lineBreak, QString::fromUtf8(kLineBreakMark));
}

QString ShowPath(const QByteArray& path) {
    const std::string shown =
        PathForShow(std::string_view(path.data(), static_cast<std::size_t>(path.size())));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

}  // namespace quellor::ui
