#pragma once

#include "app/program_timers.h"
#include "platform/session_end.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tw {

// The windowless program's message loop: named timers that fire on the one thread, and
// between them the watched descriptors' handlers and the session's end.
class TTimerLoop : public TProgramTimers {
  public:
    using TClock = std::chrono::steady_clock;

    int Add(std::string name, int intervalMs, bool enabled, THandler handler) override;
    void SetEnabled(int id, bool enabled) override;
    bool IsEnabled(int id) const override { return timers_.at(id).enabled; }
    void SetInterval(int id, int intervalMs) override;
    // The handler runs after every wait of the loop, the descriptor's turn or not: a cheap
    // question then, which also serves sources that have buffered more than they signal.
    void WatchDescriptor(int descriptor, THandler onReadable) override;

    // Runs until Quit. A handler that throws is reported to onError and the loop goes on.
    void Run(TSessionEndWatch& sessionEnd,
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
    struct TWatch {
        int descriptor;
        THandler handler;
    };
    std::vector<TTimer> timers_;
    std::vector<TWatch> watches_;
    std::atomic<bool> quit_ = false;
};

} // namespace tw
