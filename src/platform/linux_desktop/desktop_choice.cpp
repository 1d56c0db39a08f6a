#include "platform/linux_desktop/desktop_choice.h"

#include "base/text.h"

#include <cstdlib>
#include <sstream>

namespace tw {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool ListNames(const std::string& list, const char* name) {
    std::istringstream entries(list);
    std::string entry;
    while (std::getline(entries, entry, ':')) {
        if (SameText(entry, name)) {
            return true;
        }
    }
    return false;
}

} // namespace

TSessionEnvironment TSessionEnvironment::OfThisProcess() {
    return {Variable("XDG_SESSION_TYPE"), Variable("XDG_CURRENT_DESKTOP"),
            Variable("WAYLAND_DISPLAY"), Variable("SWAYSOCK"), Variable("DISPLAY")};
}

TDesktopChoice ChooseDesktop(const TSessionEnvironment& session) {
    // The session manager's word comes first; without it (a session started by hand, a
    // terminal of another session) a Wayland display in reach says it.
    const bool wayland = session.sessionType == "wayland" ||
                         (session.sessionType != "x11" && !session.waylandDisplay.empty());
    if (!wayland) {
        return TDesktopChoice::X11;
    }
    if (!session.swaySocket.empty()) {
        return TDesktopChoice::Sway;
    }
    if (ListNames(session.currentDesktop, "KDE")) {
        return TDesktopChoice::KWin;
    }
    if (ListNames(session.currentDesktop, "GNOME")) {
        return TDesktopChoice::GnomeShell;
    }
    return session.display.empty() ? TDesktopChoice::None : TDesktopChoice::Xwayland;
}

} // namespace tw
