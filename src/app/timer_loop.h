#pragma once

#include "app/program_timers.h"
#include "platform/desktop.h"
#include "platform/session_end.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tw {

// The windowless program's message loop: named timers that fire on the one thread, and
// the desktop's notices and the session's end delivered between them.
class TTimerLoop : public TProgramTimers {
  public:
    using TClock = std::chrono::steady_clock;

    int Add(std::string name, int intervalMs, bool enabled, THandler handler) override;
    void SetEnabled(int id, bool enabled) override;
    bool IsEnabled(int id) const override { return timers_.at(id).enabled; }
    void SetInterval(int id, int intervalMs) override;

    // Runs until Quit. A handler that throws is reported to onError and the loop goes on.
    void Run(TDesktop& desktop, TSessionEndWatch& sessionEnd,
             const std::function<void(TDesktopNotice)>& onNotice,
             const std::function<void(const std::exception&)>& onError);
    // Ends Run after the handler that is running.
    void Quit() { quit_ = true; }

    // Fires every timer due at the given moment, in the order they were added.
    void FireDue(TClock::time_point now, const std::function<void(const std::exception&)>& onError);
    // When the next enabled timer is due (max() when none).
    TClock::time_point NextDue() const;

  private:
    struct TTimer {
        std::string name;
        std::chrono::milliseconds interval;
        bool enabled;
        TClock::time_point due;
        THandler handler;
    };
    std::vector<TTimer> timers_;
    std::atomic<bool> quit_ = false;
};

} // namespace tw
