#pragma once

#include "items/monitored_list.h"
#include "storage/expiration_action.h"
#include "storage/reminder_change_period.h"

#include <array>
#include <string>

namespace tw {

class TOptions;

// The changes windows hand to the options, each applied under the change policy's rules.

// What the add wizard handed back joins the list (and today's copy of it, when given);
// items deactivated there wait for the next daily reset, items wanted again stay. The list
// is saved, and the administrator's session ends with the action. Returns whether there was
// anything to apply.
bool ApplyListChanges(TOptions& options, const TMonitoredList& changes, TMonitoredList* today);

// What the settings wizard's Apply hands over.
struct TChosenSettings {
    bool firstRun = false;
    std::string password; // typed on the Logon page; empty when nothing was typed
    bool allowUserToChange = false;
    int timeLimitSeconds = 0;
    TExpirationAction action = TExpirationAction::ReminderOnly;
    int shownTimeLimitSeconds = 0; // what the wizard showed when it opened
    TExpirationAction shownAction = TExpirationAction::ReminderOnly;
    const TMonitoredList* list = nullptr; // the wizard's working copy
    std::array<std::string, 3> reminders;
    TReminderChangePeriod reminderChangePeriod = TReminderChangePeriod::Never;
};
// Applies and saves them; the administrator's session ends. Returns whether they were saved
// (what was chosen is in force either way).
bool ApplyChosenSettings(TOptions& options, const TChosenSettings& chosen);

// Whether the first-run settings wizard is due (never after a failed load); it is marked
// done at once.
bool BeginFirstRun(TOptions& options);

// The prompt to refresh the memos was shown now, and the person left this period.
void NoteReminderPromptShown(TOptions& options, TDateTime now);
void SetReminderChangePeriod(TOptions& options, TReminderChangePeriod period);

} // namespace tw
