#pragma once

#include "app/program_timers.h"
#include "monitor/scan_host.h"

namespace tw {

// The engine's own timers on the program's: the scan, every scan period, and the re-arm of
// the reminder ("Give me 5 Minutes" and a missed reminder).
class TEngineTimers final : public TScanTimers {
  public:
    explicit TEngineTimers(TProgramTimers& timers) : timers_(timers) {}

    // The engine checks the pause itself: a paused scan must leave its timer running.
    void Add(int scanPeriodMs, TProgramTimers::THandler scan, TProgramTimers::THandler reArm);

    void SetScanTimerEnabled(bool enabled) override;
    void EnableReminderOnlyTimer() override;
    void DisableReminderOnlyTimer() override;

  private:
    TProgramTimers& timers_;
    int tmrScan_ = -1;
    int tmrReminderOnly_ = -1;
};

} // namespace tw
