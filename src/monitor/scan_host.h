#pragma once

#include "monitor/day_part.h"
#include "platform/desktop.h"
#include "storage/expiration_action.h"

#include <optional>
#include <string>

namespace tw {

class TOnlineTimeApplication;

// How long the time-up reminder counts down before its action is carried out: what the
// person is told to expect ("in 60 seconds").
inline constexpr int TimeUpCountdownSeconds = 60;

// What the person answered the time-up reminder.
struct TReminderChoice {
    // Five more minutes: nothing is carried out now.
    bool fiveMoreMinutes = false;
    // What to carry out now; none when the program's own end closed the reminder.
    std::optional<TExpirationAction> action;
    // The part of the countdown nobody was shown (all of it without windows): a shutdown
    // waits that much longer, so that the computer goes down no sooner than after the
    // windowed program's countdown.
    int unshownCountdownSeconds = 0;
};

// What the scan engine asks of the person and shows them: the main window in the windowed
// program, the program object itself without windows, a recorder in tests. A host only asks
// and shows; what follows from an answer the engine carries out.
class TScanHost {
  public:
    virtual ~TScanHost() = default;

    // Shows the time-up reminder for the probe's activity and returns what the person chose.
    virtual TReminderChoice ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                         bool fiveMinutesAllowed) = 0;
    // The part of the day changed: show its memo.
    virtual void SelectDayPart(TDayPart dayPart) = 0;
    // Switches the header between the time on the list and the Block time.
    virtual void SetBlockDisplay(bool on) = 0;
    // A new accounting day began: redraw the lists, the limit and the action.
    virtual void RedisplayAfterReset() = 0;

    // Listed websites cannot be counted in the browser in front, for a reason the person can
    // fix (restart the browser, switch accessibility on). Said once per run.
    virtual void ShowAddressNotice(TAddressProblem) {}

    // The activity database failed so that counting stopped, or was put right: tells the
    // person. Called once per failure; must not hold up the scan. The text is in the error
    // log already, which is all a host without windows can do with it.
    virtual void ShowFailureNotice(const std::string&) {}
};

// The engine's own timers, which the program runs: the scan (every scan period) and the
// five-minute re-arm of the reminder.
class TScanTimers {
  public:
    virtual ~TScanTimers() = default;

    virtual void SetScanTimerEnabled(bool enabled) = 0;
    // Starts the re-arm timer; one that already runs keeps its current interval.
    virtual void EnableReminderOnlyTimer() = 0;
    virtual void DisableReminderOnlyTimer() = 0;
};

} // namespace tw
