#include "app/engine_timers.h"

namespace tw {

namespace {

constexpr int ReminderReArmMs = 300000; // "Give me 5 Minutes" and a missed reminder

} // namespace

void TEngineTimers::Add(int scanPeriodMs, TProgramTimers::THandler scan,
                        TProgramTimers::THandler reArm) {
    tmrScan_ = timers_.Add("tmrScan", scanPeriodMs, true, std::move(scan));
    tmrReminderOnly_ = timers_.Add("tmrReminderOnly", ReminderReArmMs, false, std::move(reArm));
}

void TEngineTimers::SetScanTimerEnabled(bool enabled) {
    timers_.SetEnabled(tmrScan_, enabled);
}

void TEngineTimers::EnableReminderOnlyTimer() {
    timers_.SetEnabled(tmrReminderOnly_, true);
}

void TEngineTimers::DisableReminderOnlyTimer() {
    timers_.SetEnabled(tmrReminderOnly_, false);
}

} // namespace tw
