#pragma once

#include "app/program_timers.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace twtest {

// The program's timers on a simulated time line in whole milliseconds: nothing fires until
// the simulation moves the time line to a due moment and asks. A timer overdue after a
// sleep fires once, as window timers do.
class TSimTimers : public tw::TProgramTimers {
  public:
    static constexpr std::int64_t Never = std::numeric_limits<std::int64_t>::max();

    int Add(std::string name, int intervalMs, bool enabled, THandler handler) override;
    void SetEnabled(int id, bool enabled) override;
    bool IsEnabled(int id) const override {
        return timers_.at(static_cast<std::size_t>(id)).enabled;
    }
    void SetInterval(int id, int intervalMs) override;
    // The simulation hands notices to the program itself; nothing is watched.
    void WatchDescriptor(int, THandler) override {}

    // The program is gone: its timers with it.
    void Clear() { timers_.clear(); }
    std::int64_t Now() const { return now_; }
    // Moves the time line (never back).
    void SetNow(std::int64_t now) { now_ = now; }
    // The earliest due moment of an enabled timer the simulation runs.
    std::int64_t NextDue() const;
    // Fires every due timer once, in the order they were added; `around` runs each handler
    // (so the caller can look before and after) and reports what it threw.
    void FireDue(const std::function<void(const std::string& name, const THandler&)>& around);

  private:
    struct TTimer {
        std::string name;
        std::int64_t interval;
        bool enabled;
        std::int64_t due;
        THandler handler;
    };
    bool Runs(const TTimer& timer) const;

    std::vector<TTimer> timers_;
    std::int64_t now_ = 0;
};

} // namespace twtest
