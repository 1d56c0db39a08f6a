#pragma once

#include "monitor/scan_host.h"
#include "storage/options.h"

namespace tw {

// The time-up reminders of the program day: which one is due, whether the person took five
// more minutes, and what they chose that holds until the day ends (marked in the settings
// file, so that a restart keeps it).
class TDaysReminders {
  public:
    // fiveMinutesOffered: whether reminders offer five more minutes (a local setting); each
    // day offers them once.
    TDaysReminders(TOptions& options, bool fiveMinutesOffered);

    bool IsDue(bool isBlock) const { return isBlock ? blockReminderDue_ : limitReminderDue_; }
    bool LimitReminderDue() const { return limitReminderDue_; }
    bool ReminderSnoozed() const { return reminderSnoozed_; }
    bool FiveMinutesAllowed() const { return fiveMinutesAllowed_; }
    // The person closed the list from the limit's reminder: asked and answered, no reminder
    // again today.
    bool ListClosedForTheDay() const { return listClosedForTheDay_; }

    // The reminder of the limit (or of the Block period) was answered: it is given for today.
    void Answered(const TReminderChoice& choice, bool isBlock);
    // The reminder-only interval passed: the limit's reminder is due again.
    void RemindAgain();
    // A new day: the reminders are due again and the last day's choices no longer hold (their
    // marks in the settings file go with the day's change flags).
    void NewDay();

  private:
    // What of the choice lasts until the day ends: the five minutes used, the list closed by
    // the person's own choice (the reminder promises it closed until the day ends).
    void KeepTheDaysChoice(const TReminderChoice& choice, bool isBlock);

    TOptions& options_;
    bool limitReminderDue_ = true;
    bool blockReminderDue_ = true;
    bool reminderSnoozed_ = false;
    const bool fiveMinutesOffered_;
    bool fiveMinutesAllowed_;
    bool listClosedForTheDay_;
};

} // namespace tw
