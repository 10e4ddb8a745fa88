// Encodings at the window's edge: record bytes and file names as the user
// reads them. Typed texts stay as typed; a run encodes them for each file.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

#include "records/Encoding.h"

namespace quellor::ui {

// Record bytes as the user sees them.
QString ShowCp932(std::string_view bytes);
// The same for bytes of either encoding.
QString ShowText(std::string_view bytes, Encoding encoding);
// A field's value on one line: each line break in it shown by a mark.
QString ShowValue(std::string_view value, Encoding encoding);

// A file name as the user reads it; the path bytes themselves stay as they are.
QString ShowPath(const QByteArray& path);

}  // namespace quellor::ui
