#pragma once

#include <string>

namespace tw {

// Which backend a Linux session needs.
enum class TDesktopChoice {
    X11,        // an X11 session
    Sway,       // a Wayland session of sway
    KWin,       // a Wayland session of KDE Plasma
    GnomeShell, // a Wayland session of GNOME
    Xwayland,   // a Wayland compositor we cannot ask: only its X11 programs can be seen
    None,       // a Wayland compositor we cannot ask, without X11 programs either
};

// The session as its environment describes it; an unset variable is empty.
struct TSessionEnvironment {
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string currentDesktop; // XDG_CURRENT_DESKTOP, a list separated by ':'
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string swaySocket;     // SWAYSOCK
    std::string display;        // DISPLAY

    static TSessionEnvironment OfThisProcess();
};

TDesktopChoice ChooseDesktop(const TSessionEnvironment& session);

} // namespace tw
