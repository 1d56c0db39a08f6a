#pragma once

#include "app/timer_loop.h"
#include "monitor/scan_engine.h"

namespace tw {

// The engine's host in the program without windows: it runs the engine on the loop's
// timers and, at the limit, carries out the configured action at once instead of asking.
class TWindowlessHost : public TScanHost {
  public:
    TWindowlessHost(TTimerLoop& loop, TOptions& options) : loop_(loop), options_(options) {}

    // Creates the engine's timers with their intervals and hands them to it.
    void Attach(TScanEngine& engine);

    bool ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                      bool fiveMinutesAllowed) override;
    void SelectDayPart(int) override {}
    void SetBlockDisplay(bool) override {}
    void RedisplayAfterReset() override {}
    void SetScanTimerEnabled(bool enabled) override { loop_.SetEnabled(scanTimer_, enabled); }
    void EnableReminderOnlyTimer() override { loop_.SetEnabled(reminderOnlyTimer_, true); }
    void DisableReminderOnlyTimer() override { loop_.SetEnabled(reminderOnlyTimer_, false); }

  private:
    TTimerLoop& loop_;
    TOptions& options_;
    TScanEngine* engine_ = nullptr;
    int scanTimer_ = -1;
    int reminderOnlyTimer_ = -1;
};

} // namespace tw
