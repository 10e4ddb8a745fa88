#include "ui/WindowFrame.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quellor::ui {

namespace {

// The Motif window manager hints, which window managers still read.
constexpr std::uint32_t kFunctions = 1, kDecorations = 2;
constexpr std::uint32_t kFuncMove = 4, kFuncMinimise = 8, kFuncClose = 32;
constexpr std::uint32_t kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimise = 32;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

}  // namespace

void FixFrame(QWidget* window, FrameButtons buttons) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    xcb_connection_t* c = x11->connection();
    const xcb_atom_t hints = Atom(c, "_MOTIF_WM_HINTS");
    if (hints == XCB_ATOM_NONE) return;
    const bool minimise = buttons == FrameButtons::MinimiseAndClose;
    const std::uint32_t value[5] = {
        kFunctions | kDecorations, kFuncMove | kFuncClose | (minimise ? kFuncMinimise : 0),
        kDecorBorder | kDecorTitle | kDecorMenu | (minimise ? kDecorMinimise : 0), 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), hints,
                        hints, 32, 5, value);
    xcb_flush(c);
}

}  // namespace quellor::ui
