#pragma once

#include "platform/desktop.h"

#include <string>

namespace tw {

class TOnlineTimeApplication;

// What the scan engine needs from the window that owns it (the main window; tests and the
// windowless entry implement it too). The host owns the timers the engine runs on.
class TScanHost {
  public:
    virtual ~TScanHost() = default;

    // Shows the time-up reminder for the probe's activity. Returns true when the user chose
    // five more minutes; otherwise the chosen action has been carried out before returning.
    virtual bool ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                              bool fiveMinutesAllowed) = 0;
    // The part of the day changed: show its memo.
    virtual void SelectDayPart(int dayPart) = 0;
    // Switches the header between the time on the list and the Block time.
    virtual void SetBlockDisplay(bool on) = 0;
    // A new accounting day began: redraw the lists, the limit and the action.
    virtual void RedisplayAfterReset() = 0;

    // The scan timer (interval ScanPeriodSeconds) and the five-minute reminder re-arm timer.
    virtual void SetScanTimerEnabled(bool enabled) = 0;
    // Starts the re-arm timer; one that already runs keeps its current interval.
    virtual void EnableReminderOnlyTimer() = 0;
    virtual void DisableReminderOnlyTimer() = 0;

    // Listed websites cannot be counted in the browser in front, for a reason the person can
    // fix (restart the browser, switch accessibility on). Said once per run.
    virtual void ShowAddressNotice(TAddressProblem) {}

    // The activity database failed so that counting stopped, or was put right: tells the
    // person. Called once per failure; must not hold up the scan. The text is in the error
    // log already, which is all a host without windows can do with it.
    virtual void ShowFailureNotice(const std::string&) {}
};

} // namespace tw
