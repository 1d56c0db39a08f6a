#pragma once

#include "platform/desktop.h"

#include <functional>
#include <string>

namespace tw {

// One window as a Wayland compositor describes it to us. Clients cannot see each other's
// windows on Wayland, so only the compositor (or a script or extension of ours running
// inside it) can say which window has the focus and whose it is.
struct TCompositorWindow {
    // The compositor's own id for the window, never 0 for a window; 0 is no window.
    TWindowHandle window = 0;
    // The owning process; 0 when the compositor does not know it.
    int pid = 0;
    std::string title;
    // The Wayland app id, or the X11 class of an Xwayland window; may be empty.
    std::string appId;
};

// What one family of compositors (sway, KWin, GNOME Shell) answers about its windows. The
// Wayland desktop turns these answers into the program's terms (executable, browser,
// address) the same way for every family.
class TCompositorWindows {
  public:
    virtual ~TCompositorWindows() = default;

    // The backend's name for diagnostics and the probe: "wayland-sway", "wayland-kwin",
    // "wayland-gnome".
    virtual const char* Name() const = 0;
    // The window that has the keyboard focus; window 0 when none has (the screen is locked,
    // an overview or a panel holds the focus).
    virtual TCompositorWindow Focused() = 0;
    // Every toplevel window, until visit returns false.
    virtual void EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) = 0;
    // Asks the window to close, as its close button would; nothing waits for the outcome.
    virtual void Close(TWindowHandle window) = 0;
    // Why the windows cannot be seen on this desktop (our extension refused, the
    // compositor's interface unreachable), as a reason the desktop's notice completes (no
    // final stop); empty when they can.
    virtual std::string Problem() { return {}; }
    // Readable when the compositor may have sent something to handle (-1: none).
    virtual int Descriptor() { return -1; }
    // Handles what the compositor sent; called when Descriptor() became readable.
    virtual void Dispatch() {}
    // What the person should hear of that came about while answering (our script put back);
    // false when nothing waits.
    virtual bool NextNotice(TNotice& notice) {
        (void)notice;
        return false;
    }
};

} // namespace tw
