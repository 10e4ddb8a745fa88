#include "ProbeDisplay.h"

#include <xcb/xtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

}  // namespace

ProbeDisplay::ProbeDisplay() {
    c_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c_)) {
        std::fprintf(stderr, "probe: no X display\n");
        std::exit(2);
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    protocols_ = Atom("WM_PROTOCOLS");
    ping_ = Atom("_NET_WM_PING");
    netName_ = Atom("_NET_WM_NAME");
    // The answers are sent to the root for the window manager, which alone
    // may redirect its substructure; the other half of the answer's mask is
    // what the probe can listen to. Qt sends StructureNotify there, the
    // EWMH text SubstructureNotify: the probe takes both. Mapped boxes come
    // by the latter too.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    const auto test = Own(xcb_test_get_version_reply(c_, xcb_test_get_version(c_, 2, 2), nullptr));
    if (!test) {
        std::fprintf(stderr, "probe: the X server has no XTEST extension\n");
        std::exit(2);
    }
    xcb_flush(c_);
}

ProbeDisplay::~ProbeDisplay() {
    xcb_disconnect(c_);
}

int ProbeDisplay::Fd() const {
    return xcb_get_file_descriptor(c_);
}

xcb_atom_t ProbeDisplay::Atom(const char* name) {
    const auto cookie = xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const auto reply = Own(xcb_intern_atom_reply(c_, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string ProbeDisplay::Title(xcb_get_property_reply_t* reply) const {
    if (!reply || reply->format != 8) return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply)));
}

std::vector<ProbeDisplay::Titled> ProbeDisplay::TitledWindows() {
    std::vector<Titled> found;
    std::vector<xcb_window_t> level{root_};
    // One level at a time, every request of a level sent before the first
    // answer is awaited: a few round trips, however many windows there are.
    while (!level.empty()) {
        struct Asked {
            xcb_query_tree_cookie_t tree;
            xcb_get_window_attributes_cookie_t attributes;
            xcb_get_property_cookie_t netName, name;
        };
        std::vector<Asked> asked;
        for (xcb_window_t w : level) {
            asked.push_back(
                {xcb_query_tree(c_, w), xcb_get_window_attributes(c_, w),
                 xcb_get_property(c_, 0, w, netName_, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                 xcb_get_property(c_, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256)});
        }
        std::vector<xcb_window_t> next;
        for (std::size_t i = 0; i < level.size(); ++i) {
            const auto tree = Own(xcb_query_tree_reply(c_, asked[i].tree, nullptr));
            const auto attributes =
                Own(xcb_get_window_attributes_reply(c_, asked[i].attributes, nullptr));
            const auto netName = Own(xcb_get_property_reply(c_, asked[i].netName, nullptr));
            const auto name = Own(xcb_get_property_reply(c_, asked[i].name, nullptr));
            const bool viewable = level[i] == root_ ||
                                  (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE);
            if (!viewable || !tree) continue;
            std::string shown = Title(netName.get());
            if (shown.empty()) shown = Title(name.get());
            if (level[i] != root_ && !shown.empty()) found.push_back({level[i], shown});
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            next.insert(next.end(), children,
                        children + xcb_query_tree_children_length(tree.get()));
        }
        level = std::move(next);
    }
    return found;
}

void ProbeDisplay::Ping(xcb_window_t window, std::uint32_t stamp) {
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = window;
    e.type = protocols_;
    e.data.data32[0] = ping_;
    e.data.data32[1] = stamp;
    e.data.data32[2] = window;
    // No mask: delivered to the client that made the window, as from a
    // window manager.
    xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    xcb_flush(c_);
}

std::optional<ProbeDisplay::Event> ProbeDisplay::Next() {
    const auto e = Own(xcb_poll_for_event(c_));
    if (!e) {
        if (xcb_connection_has_error(c_)) {
            std::fprintf(stderr, "probe: the X connection broke\n");
            std::exit(2);
        }
        return std::nullopt;
    }
    Event seen;
    const auto type = e->response_type & 0x7f;
    if (type == XCB_CLIENT_MESSAGE) {
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e.get());
        if (m->window == root_ && m->type == protocols_ && m->format == 32 &&
            m->data.data32[0] == ping_) {
            seen.PingAnswered = m->data.data32[1];
        }
    } else if (type == XCB_MAP_NOTIFY) {
        seen.Mapped = true;
    }
    return seen;
}

void ProbeDisplay::Click(xcb_window_t window, int x, int y) {
    const auto at = Own(xcb_translate_coordinates_reply(
        c_,
        xcb_translate_coordinates(c_, window, root_, static_cast<std::int16_t>(x),
                                  static_cast<std::int16_t>(y)),
        nullptr));
    if (!at) return;
    xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, at->dst_x, at->dst_y, 0);
    xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c_);
}

std::pair<int, int> ProbeDisplay::Size(xcb_window_t window) {
    const auto g = Own(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr));
    return g ? std::pair<int, int>{g->width, g->height} : std::pair<int, int>{0, 0};
}
