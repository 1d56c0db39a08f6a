#include "monitor/days_reminders.h"

#include "storage/day_choice.h"

namespace tw {

TDaysReminders::TDaysReminders(TOptions& options, bool fiveMinutesOffered)
    : options_(options), fiveMinutesOffered_(fiveMinutesOffered),
      fiveMinutesAllowed_(fiveMinutesOffered &&
                          !DayChoiceMade(options.Settings(), TDayChoice::FiveMinutesTaken)),
      listClosedForTheDay_(DayChoiceMade(options.Settings(), TDayChoice::ListClosed)) {}

void TDaysReminders::Answered(const TReminderChoice& choice, bool isBlock) {
    KeepTheDaysChoice(choice, isBlock);
    reminderSnoozed_ = choice.fiveMoreMinutes;
    (isBlock ? blockReminderDue_ : limitReminderDue_) = false;
}

void TDaysReminders::KeepTheDaysChoice(const TReminderChoice& choice, bool isBlock) {
    if (choice.fiveMoreMinutes && fiveMinutesAllowed_) {
        fiveMinutesAllowed_ = false;
        MakeDayChoice(options_.Settings(), TDayChoice::FiveMinutesTaken);
    }
    // Only "Reminder Only" lets the person choose; the reminder offers closing as blocking
    // the list until the day ends.
    if (!isBlock && options_.Values().ExpirationAction == TExpirationAction::ReminderOnly &&
        choice.action == TExpirationAction::CloseListed) {
        listClosedForTheDay_ = true;
        MakeDayChoice(options_.Settings(), TDayChoice::ListClosed);
    }
}

void TDaysReminders::RemindAgain() {
    limitReminderDue_ = true;
    reminderSnoozed_ = false;
}

void TDaysReminders::NewDay() {
    limitReminderDue_ = true;
    blockReminderDue_ = true;
    fiveMinutesAllowed_ = fiveMinutesOffered_;
    listClosedForTheDay_ = false;
}

} // namespace tw
