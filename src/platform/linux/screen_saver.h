#pragma once

#include <string>

namespace tw {

class TBusConnection;
class TSessionNoticeQueue;

// Passes the screen savers' ActiveChanged announcements on the session bus to the queue as
// locks: the freedesktop one (KDE and most other desktops) and GNOME's own. Returns why
// they cannot be heard (no session bus), or empty.
std::string WatchScreenSavers(TBusConnection& sessionBus, TSessionNoticeQueue& queue);

} // namespace tw
