#pragma once

#include "base/date_time.h"
#include "monitor/block_period.h"
#include "monitor/days_reminders.h"
#include "monitor/pause_state.h"
#include "monitor/probe.h"
#include "monitor/scan_host.h"
#include "monitor/scan_span.h"
#include "monitor/time_up_actions.h"
#include "platform/desktop.h"
#include "storage/activity_logger.h"
#include "storage/expiration_action.h"
#include "storage/options.h"

#include <memory>
#include <optional>
#include <string>

namespace tw {

// The program's heartbeat: every scan period it starts a new day when due, asks the probe
// what is in front, enforces the limit and Block mode, and logs listed time.
class TScanEngine {
  public:
    // fiveMinutesAllowed: whether reminders offer five more minutes (a local setting). What
    // the person chose in the reminder earlier today holds until the day ends.
    TScanEngine(TDesktop& desktop, TOptions& options, TScanHost& host, TScanTimers& timers,
                bool fiveMinutesAllowed);
    TScanEngine(const TScanEngine&) = delete;
    TScanEngine& operator=(const TScanEngine&) = delete;

    // The handlers of the program's timers.
    void ScanTimer();
    void ReminderOnlyTimer();
    void TimeSynchronizationTimer();

    // What suspend, resume, lock and unlock do to the counting. Returns false for notices
    // that are the host's alone (work area, hot key).
    bool HandleNotice(const TNotice& notice);
    // Counting starts afresh now: the time since the last cycle is never added to the list.
    void RestartCount();
    // Shows the memo of the part of the day the clock is in (the host's SelectDayPart).
    void SelectCurrentDayPart();

    // Begins a Block period of the given length (a day fraction) now.
    void StartBlock(TDateTime duration);

    // What the time-up reminder does when it closes unless the user picks otherwise (see
    // TTimeUpActions::Action).
    TExpirationAction TimeUpAction(bool isBlock) const { return timeUp_.Action(isBlock); }

    // Takes an item of today's list off the list as far as the access level and the day's
    // change rules allow. Today's list follows, and the list is saved. The item may be freed.
    TItemDeletion DeleteListedItem(const TMonitoredItem* item);

    void DailyReset();

    // End of the last completed cycle; the next listed cycle counts the time since then.
    // UTC, as are the block's start and end: a length of time must not change with the zone.
    TDateTime LastScanTime() const { return span_.LastScanTime(); }
    // The local moment the program day stands at: the clock's, or the edge of the day in force
    // while a jumped zone puts the clock outside it. What "today" means in the usage view.
    TDateTime DayNow() const;
    bool IsPaused() const { return pause_.IsPaused(); }
    const TBlockPeriod& Block() const { return block_; }
    // The program clock the engine counts by.
    TClock& Clock() const { return options_.Clock(); }
    const TDaysReminders& Reminders() const { return reminders_; }

    TOnlineTimeApplication& Probe() { return probe_; }
    // Created on first use, which reads today's totals.
    TOnlineTimeApplicationLogger& Logger();
    bool HasLogger() const { return logger_ != nullptr; }

  private:
    // The guarded part of a scan: from the day part to logging.
    void RunCycle();
    // A clock corrected soon after boot is followed; the day stored by a clock that was
    // ahead is pulled back to the one the clock is in.
    void FollowClockCorrection();
    void KeepDayWithinReach();
    void ShowDayPart(TDayPart part);
    // Tells the host, once, when the browser in front hides its address from a list that
    // has websites on it.
    void NoticeUnreadableAddress();

    TDesktop& desktop_;
    TOptions& options_;
    TScanHost& host_;
    TScanTimers& timers_;
    TKeptAddresses keptAddresses_;
    TOnlineTimeApplication probe_;
    TTimeUpActions timeUp_;
    std::unique_ptr<TOnlineTimeApplicationLogger> logger_;

    TScanSpan span_;
    TDaysReminders reminders_;
    TPauseState pause_;
    TBlockPeriod block_;
    // The part of the day last shown (none until the first is shown).
    std::optional<TDayPart> currentDayPart_;
    bool addressNoticeGiven_ = false;
};

} // namespace tw
