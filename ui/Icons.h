// Images drawn for this program: its window icon and the eraser of "全てｸﾘｱ".
#pragma once

#include <QIcon>
#include <QImage>

namespace quellor::ui {

// 32 x 32 pixels in the 16 colours of the classic palette.
QImage ProgramIconImage();
QIcon ProgramIcon();

// 16 x 16, with its greyed twin for the disabled state.
QImage EraserImage();
QImage GreyedTwin(const QImage& image);
QIcon EraserIcon();

}  // namespace quellor::ui
