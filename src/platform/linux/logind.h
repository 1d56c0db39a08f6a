#pragma once

#include "platform/desktop.h"

#include <string>

namespace tw {

class TBusConnection;
class TSessionNoticeQueue;

// The session and power manager of the system (logind), on the system D-Bus.

// Schedules the power-off or restart of the computer in timeoutSeconds,
// the grace a shutdown from the command line gives: logged-in users are warned and may save
// their work. Throws tw::Exception with the bus's error text when the manager refuses or no
// system bus can be reached.
void LogindShutdown(TShutdownKind kind, int timeoutSeconds);

// Passes the manager's sleep announcements and the lock hint of this program's session to
// the queue. Returns why locks of the session cannot be heard from it (no bus, no session),
// or empty.
std::string WatchLogind(TBusConnection& systemBus, TSessionNoticeQueue& queue);

} // namespace tw
