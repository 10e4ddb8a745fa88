// The X server as the ping probe uses it: finding top-level windows by
// title, the pings a window manager sends and their answers, and clicks
// through the XTEST extension (the same path as a real mouse, so the
// program cannot tell them apart).
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ProbeDisplay {
  public:
    ProbeDisplay();  // connects to $DISPLAY, or exits with status 2
    ~ProbeDisplay();
    ProbeDisplay(const ProbeDisplay&) = delete;
    ProbeDisplay& operator=(const ProbeDisplay&) = delete;

    int Fd() const;

    struct Titled {
        xcb_window_t Window;
        std::string Title;  // _NET_WM_NAME, else WM_NAME
    };
    // Viewable windows with a title at any depth below the root: under a
    // window manager, clients sit inside frames.
    std::vector<Titled> TitledWindows();

    // A _NET_WM_PING to window, stamped with stamp; the answer comes back
    // as a client message to the root, seen by Answer.
    void Ping(xcb_window_t window, std::uint32_t stamp);
    struct Event {
        std::optional<std::uint32_t> PingAnswered;  // the answered ping's stamp
        bool Mapped = false;                        // some window under the root was mapped
    };
    // The next event already read or waiting on the socket, if any.
    std::optional<Event> Next();

    // A press and release of the left button at x, y in window's coordinates.
    void Click(xcb_window_t window, int x, int y);
    // The window's size; zero when it is gone.
    std::pair<int, int> Size(xcb_window_t window);

  private:
    std::string Title(xcb_get_property_reply_t* reply) const;
    xcb_atom_t Atom(const char* name);

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t protocols_ = 0, ping_ = 0, netName_ = 0;
};
