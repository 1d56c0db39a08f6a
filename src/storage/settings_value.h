#pragma once

#include "base/date_time.h"
#include "items/monitored_list.h"
#include "storage/day_start.h"
#include "storage/expiration_action.h"
#include "storage/option_ranges.h"
#include "storage/reminder_change_period.h"

#include <array>
#include <string>

namespace tw {

// The program's settings as a plain value, each under the name it is stored with in
// settings.sqlite. TOptions reads and writes it; who may change what, and when, is the change
// policy's (TChangePolicy).
struct TSettings {
    bool AllowUserToChangeSettings = false;
    TExpirationAction ExpirationAction = TExpirationAction::ReminderOnly;
    bool IsNotFirstRun = false;
    TMonitoredList MonitoredList;
    // The administrator password's digest (storage/password_digest.h): the salted derivation,
    // or the unsalted MD5 in hex that earlier versions stored, until it is next entered.
    std::string Password;
    TDateTime ReminderChangedDateTime = 0;
    TReminderChangePeriod ReminderChangePeriod = TReminderChangePeriod::Never;
    std::array<std::string, 3> Reminders;
    TDateTime ReminderShowedDateTime = 0;
    // The end of the program day in force (a local 04:00), and the program clock it began at.
    TDateTime ResetDateTime = 0;
    TDateTime DayStartUtc = 0;
    int ScanPeriodSeconds = DefaultScanPeriodSeconds;
    int TimeLimitSeconds = DefaultTimeLimitSeconds;

    TDateTime TimeLimit() const { return TimeLimitSeconds / SecondsPerDay; }
    TProgramDay Day() const { return {ResetDateTime, DayStartUtc}; }
    void SetDay(const TProgramDay& day) {
        ResetDateTime = day.End;
        DayStartUtc = day.StartUtc;
    }
    // The action's stored name ("Close Browser/App.").
    std::string ExpirationActionText() const;
};

} // namespace tw
