#include "platform/linux/screen_saver.h"

#include "platform/linux/bus_connection.h"
#include "platform/linux/session_notices.h"

namespace tw {

namespace {

template <TSessionNoticeQueue::TLockSource Source>
int OnActiveChanged(sd_bus_message* message, void* queue, sd_bus_error*) {
    int active = 0;
    if (sd_bus_message_read(message, "b", &active) >= 0) {
        static_cast<TSessionNoticeQueue*>(queue)->SetLocked(Source, active != 0);
    }
    return 0;
}

// Any object path: desktops announce on more than one (KDE on /ScreenSaver and
// /org/freedesktop/ScreenSaver), and the queue takes repeats as one change.
std::string Rule(const char* interface) {
    return std::string("interface='") + interface + "',member='ActiveChanged'";
}

} // namespace

std::string WatchScreenSavers(TBusConnection& sessionBus, TSessionNoticeQueue& queue) {
    // GNOME Shell announces its lock under its own name; org.gnome.ScreenSaver is a helper
    // that runs only once something calls it, and then repeats the shell's announcements.
    if (!sessionBus.WatchFrom("org.freedesktop.ScreenSaver", Rule("org.freedesktop.ScreenSaver"),
                              OnActiveChanged<TSessionNoticeQueue::lsScreenSaver>, &queue) ||
        !sessionBus.WatchFrom("org.gnome.ScreenSaver", Rule("org.gnome.ScreenSaver"),
                              OnActiveChanged<TSessionNoticeQueue::lsGnomeScreenSaver>, &queue) ||
        !sessionBus.WatchFrom("org.gnome.Shell.ScreenShield", Rule("org.gnome.ScreenSaver"),
                              OnActiveChanged<TSessionNoticeQueue::lsGnomeScreenSaver>, &queue)) {
        return "screen savers: " + sessionBus.Problem();
    }
    return {};
}

} // namespace tw
