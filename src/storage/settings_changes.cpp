#include "storage/settings_changes.h"

#include "items/list_changes.h"
#include "storage/options.h"
#include "storage/pending_removals.h"

namespace tw {

bool ApplyListChanges(TOptions& options, const TMonitoredList& changes, TMonitoredList* today) {
    const TAdminSession session(options.Policy());
    if (changes.Count() == 0) {
        return false;
    }
    const TListChangeReport report = MergeListChanges(changes, options.Edit().MonitoredList, today);
    for (const TMonitoredItem* item : report.deactivated) {
        RecordPendingRemoval(options.Settings(), *item);
    }
    for (const TMonitoredItem* item : report.reactivated) {
        CancelPendingRemoval(options.Settings(), *item);
    }
    options.MonitoredItemsSave();
    return true;
}

bool ApplyChosenSettings(TOptions& options, const TChosenSettings& chosen) {
    TChangePolicy& policy = options.Policy();
    TSettings& settings = options.Edit();
    const bool passwordTyped = !chosen.password.empty();
    if (chosen.firstRun || (passwordTyped && policy.CheckPassword(chosen.password))) {
        settings.AllowUserToChangeSettings = chosen.allowUserToChange;
    }
    policy.ApplyLimitAndAction(chosen.timeLimitSeconds, chosen.action, chosen.shownTimeLimitSeconds,
                               chosen.shownAction);
    // Items deactivated in the wizard leave the list at the next daily reset; items wanted
    // again stay.
    for (int i = 0; chosen.list && i < chosen.list->Count(); ++i) {
        const TMonitoredItem& item = chosen.list->Items(i);
        const int before = settings.MonitoredList.IndexOfName(item.Name);
        const bool wasActive = before == -1 || settings.MonitoredList.Items(before).Active;
        if (wasActive && !item.Active) {
            RecordPendingRemoval(options.Settings(), item);
        } else if (!wasActive && item.Active) {
            CancelPendingRemoval(options.Settings(), item);
        }
    }
    if (chosen.list) {
        settings.MonitoredList.AssignFiltered(chosen.list, TMonitoredItemType::mitAll, nullptr);
    }
    for (int part = 0; part < 3; ++part) {
        options.SetReminder(part, chosen.reminders[static_cast<std::size_t>(part)]);
    }
    settings.ReminderChangePeriod = chosen.reminderChangePeriod;
    if (TChangePolicy::PasswordGuardsSettings() && passwordTyped) {
        policy.SetPassword(chosen.password);
    }
    const bool saved = options.Save();
    policy.EndAdminSession();
    return saved;
}

bool BeginFirstRun(TOptions& options) {
    if (options.Values().IsNotFirstRun || options.LoadFailed()) {
        return false;
    }
    options.Edit().IsNotFirstRun = true;
    return true;
}

void NoteReminderPromptShown(TOptions& options, TDateTime now) {
    options.Edit().ReminderShowedDateTime = now;
}

void SetReminderChangePeriod(TOptions& options, TReminderChangePeriod period) {
    options.Edit().ReminderChangePeriod = period;
}

} // namespace tw
