#pragma once

#include "base/date_time.h"
#include "monitor/probe.h"
#include "monitor/scan_host.h"
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

    // What the time-up reminder does when it closes unless the user picks otherwise, and
    // what the scan enforces on every listed cycle meanwhile: in Block mode the listed
    // windows are closed, otherwise the setting holds.
    TExpirationAction TimeUpAction(bool isBlock) const;
    void CloseAllListed();

    // Takes an item of today's list off the list as far as the access level and the day's
    // change rules allow. Today's list follows, and the list is saved. The item may be freed.
    TItemDeletion DeleteListedItem(const TMonitoredItem* item);

    void DailyReset();

    // End of the last completed cycle; the next listed cycle counts the time since then.
    // UTC, as are the block's start and end: a length of time must not change with the zone.
    TDateTime LastScanTime() const { return lastScanTime_; }
    // The local moment the program day stands at: the clock's, or the edge of the day in force
    // while a jumped zone puts the clock outside it. What "today" means in the usage view.
    TDateTime DayNow() const;
    bool LimitReminderDue() const { return limitReminderDue_; }
    bool ReminderSnoozed() const { return reminderSnoozed_; }
    bool FiveMinutesAllowed() const { return fiveMinutesAllowed_; }
    bool IsPaused() const { return isSuspended_ || isSessionLocked_; }
    bool IsBlockActive() const;
    TDateTime BlockStart() const { return blockStart_; }
    TDateTime BlockEnd() const { return blockEnd_; }
    TDateTime BlockDuration() const { return blockDuration_; }
    // The part of the day last shown (none until the first is shown).
    std::optional<TDayPart> CurrentDayPart() const { return currentDayPart_; }

    TOnlineTimeApplication& Probe() { return probe_; }
    // Created on first use, which reads today's totals.
    TOnlineTimeApplicationLogger& Logger();
    bool HasLogger() const { return logger_ != nullptr; }

  private:
    // What the person chose in the reminder: nothing, ask every listed window to close (on a
    // probe of its own, so the scan's probe keeps the values of the running cycle), or shut
    // the computer down with a minute's warning, lengthened by the part of the reminder's
    // countdown the host could not show. Throws the system's refusal of a shutdown.
    void CarryOutTimeUpAction(const TReminderChoice& choice);
    // What of the choice lasts until the day ends: the five minutes used, the list closed by
    // the person's own choice (the reminder promises it closed until the day ends).
    void KeepTheDaysChoice(const TReminderChoice& choice, bool isBlock);
    // A new day: the reminder's choices of the last one no longer hold.
    void ForgetTheDaysChoices();
    // The guarded part of a scan: from the day part to logging.
    void RunCycle();
    // A clock corrected soon after boot is followed; the day stored by a clock that was
    // ahead is pulled back to the one the clock is in.
    void FollowClockCorrection();
    void KeepDayWithinReach();
    // The seconds a listed cycle adds: those since the last cycle, at most two scan periods.
    int CreditedSeconds() const;
    void ShowDayPart(TDayPart part);
    // Tells the host, once, when the browser in front hides its address from a list that
    // has websites on it.
    void NoticeUnreadableAddress();

    TDesktop& desktop_;
    TOptions& options_;
    TActivityDatabase& activity_; // the options' data folder's
    TScanHost& host_;
    TScanTimers& timers_;
    TOnlineTimeApplication probe_;
    TOnlineTimeApplication closeProbe_;
    std::unique_ptr<TOnlineTimeApplicationLogger> logger_;

    TDateTime lastScanTime_;
    TDateTime cycleStart_ = 0;
    bool limitReminderDue_ = true;
    bool blockReminderDue_ = true;
    bool reminderSnoozed_ = false;
    const bool fiveMinutesOffered_; // the setting; each day offers them once
    bool fiveMinutesAllowed_;
    bool listClosedForTheDay_;
    bool isSuspended_ = false;
    bool isSessionLocked_ = false;
    TDateTime blockStart_ = 0;
    TDateTime blockEnd_;
    TDateTime blockDuration_ = 0;
    std::optional<TDayPart> currentDayPart_;
    bool addressNoticeGiven_ = false;
};

// Whole seconds between two clock values, rounded to the nearest (halves to even).
int SecondsBetween(TDateTime from, TDateTime to);

} // namespace tw
