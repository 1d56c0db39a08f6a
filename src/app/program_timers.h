#pragma once

#include <functional>
#include <string>

namespace tw {

// Named timers that fire on the program's one thread: the windowless program's own loop, or
// the window toolkit's; and the descriptors that loop watches beside them. A handler that
// throws is reported by the timers' owner and its timer goes on.
class TProgramTimers {
  public:
    using THandler = std::function<void()>;

    virtual ~TProgramTimers() = default;

    // Returns the timer's id.
    virtual int Add(std::string name, int intervalMs, bool enabled, THandler handler) = 0;
    // Enabling a stopped timer starts a full interval now; enabling a running one keeps it.
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
    // Takes effect from the next interval on.
    virtual void SetInterval(int id, int intervalMs) = 0;
    // Runs onReadable on the loop's thread whenever the descriptor may be readable, for as
    // long as the timers live.
    virtual void WatchDescriptor(int descriptor, THandler onReadable) = 0;
};

} // namespace tw
