#pragma once

#include "platform/desktop.h"

#include <deque>
#include <systemd/sd-bus.h>

namespace tw {

// The session and power manager of the system (logind), reached over the system D-Bus
// with sd-bus: its blocking method calls and its single pollable descriptor are exactly
// what a one-thread program needs, with far less ceremony than the reference library.

// Powers the computer off (mode 1) or restarts it (mode 0) at once; running programs are
// not asked. Throws tw::Exception with the bus's error text when the manager refuses or no
// system bus can be reached.
void LogindShutdown(int mode);

// Suspend/resume and lock/unlock of this program's session, as the manager announces them.
// Without a reachable system bus, or outside a session for the lock notices, it simply
// reports nothing.
class TLogindNotices {
  public:
    TLogindNotices();
    ~TLogindNotices();
    TLogindNotices(const TLogindNotices&) = delete;
    TLogindNotices& operator=(const TLogindNotices&) = delete;

    // Readable when messages may be waiting; -1 without a bus.
    int Descriptor() const;
    bool Next(TDesktopNotice& notice);

  private:
    static int OnSleep(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnLock(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnUnlock(sd_bus_message* message, void* self, sd_bus_error* error);
    void Close();

    sd_bus* bus_ = nullptr;
    std::deque<TDesktopNotice> waiting_;
};

} // namespace tw
