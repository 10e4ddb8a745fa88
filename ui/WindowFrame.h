// The frame the window manager draws around a window of fixed size.
#pragma once

class QWidget;

namespace quellor::ui {

enum class FrameButtons { CloseOnly, MinimiseAndClose };

// Tells the window manager that the window cannot be resized or maximised
// and which title-bar buttons it has. Qt always offers resizing to the
// window manager, and leaves it to the size limits alone to refuse. Call
// once the native window exists and before it is mapped; does nothing
// outside X11. Window managers may still draw what they refuse: openbox keeps
// minimise on every dialog, and draws a disabled maximise button between an
// enabled minimise button and the title.
void FixFrame(QWidget* window, FrameButtons buttons);

}  // namespace quellor::ui
