#pragma once

#include "base/date_time.h"
#include "monitor/probe.h"
#include "monitor/scan_host.h"
#include "platform/desktop.h"
#include "storage/activity_logger.h"
#include "storage/options.h"

#include <memory>
#include <string>

namespace tw {

// The program's heartbeat: every scan period it starts a new day when due, asks the probe
// what is in front, enforces the limit and Block mode, and logs listed time.
class TScanEngine {
  public:
    // fiveMinutesAllowed: whether reminders offer five more minutes (a local setting).
    TScanEngine(TDesktop& desktop, TOptions& options, TScanHost& host, bool fiveMinutesAllowed);
    TScanEngine(const TScanEngine&) = delete;
    TScanEngine& operator=(const TScanEngine&) = delete;

    // End of the last completed cycle; the next listed cycle counts the time since then.
    TDateTime LastScanTime;
    bool LimitReminderDue = true;
    bool BlockReminderDue = true;
    bool ReminderSnoozed = false;
    bool FiveMinutesAllowed;
    bool IsSuspended = false;
    bool IsSessionLocked = false;
    TDateTime BlockStart = 0;
    TDateTime BlockEnd;
    TDateTime BlockDuration = 0;
    // The part of the day last shown (255 until the first scan).
    int CurrentDayPart = 255;

    bool IsPaused() const { return IsSuspended || IsSessionLocked; }
    bool IsBlockActive() const;

    // The handlers of the host's timers.
    void ScanTimer();
    void ReminderOnlyTimer();
    void TimeSynchronizationTimer();

    // Begins a Block period of the given length (a day fraction) now.
    void StartBlock(TDateTime duration);

    // What suspend, resume, lock and unlock do to the counting. Returns false for notices
    // that are the host's alone (work area, hot key).
    bool HandleNotice(TDesktopNotice notice);

    // The reminder's actions: ask every listed window to close (on a probe of its own, so
    // the scan's probe keeps the values of the running cycle), or shut the computer down.
    void CloseAllListed();
    void ShutdownComputer(int mode, int timeoutSeconds);

    void DailyReset();

    TOnlineTimeApplication& Probe() { return probe_; }
    // Created on first use, which reads today's totals.
    TOnlineTimeApplicationLogger& Logger();
    bool HasLogger() const { return logger_ != nullptr; }

  private:
    // The guarded part of a scan: from the day part to logging.
    void RunCycle();

    TDesktop& desktop_;
    TOptions& options_;
    TScanHost& host_;
    TOnlineTimeApplication probe_;
    TOnlineTimeApplication closeProbe_;
    std::unique_ptr<TOnlineTimeApplicationLogger> logger_;
};

// Deletes the first item of that name (letters A-Z compared without case), if any.
void RemoveByName(const std::string& name, TMonitoredList& list);

// Whole seconds between two clock values, rounded to the nearest (halves to even).
int SecondsBetween(TDateTime from, TDateTime to);

} // namespace tw
