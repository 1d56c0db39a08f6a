// The main window's actions that change what is watched: the add wizard and the settings.
#include "base/scope_exit.h"
#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_form.h"
#include "dialogs/settings_form.h"
#include "items/list_changes.h"
#include "storage/admin_access.h"
#include "storage/date_format.h"
#include "ui/main_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace tw {

void TfrmMain::btnApp_AddClick() {
    if (!ChangeGate(options_, this)) {
        return;
    }
    TMonitoredList changes;
    RunAddWizard(options_, options_.MonitoredList, changes, this, desktop_);
    ApplyListChanges(changes);
}

void TfrmMain::ApplyListChanges(const TMonitoredList& changes) {
    const TAdminAccessScope access(options_);
    if (changes.Count() == 0) {
        return;
    }
    const TListChangeReport report =
        MergeListChanges(changes, options_.MonitoredList, &engine_.Logger().TodayList());
    for (const TMonitoredItem* item : report.deactivated) {
        options_.RecordPendingRemoval(*item);
    }
    for (const TMonitoredItem* item : report.reactivated) {
        options_.CancelPendingRemoval(*item);
    }
    options_.MonitoredItemsSave();
    RefreshTodayList();
}

void TfrmMain::actSettingsExecute() {
    program_.HoldSaving(true);
    const TScopeExit saveAgain([this] { program_.HoldSaving(false); });
    const TAdminAccessScope access(options_);
    TfrmSettings wizard(options_, desktop_, this);
    if (!wizard.ShowSettingsWizard(false)) {
        return;
    }
    memoUpdating_ = true;
    const TScopeExit memosWritten([this] { memoUpdating_ = false; });
    cbxReminderChange();
    mmReminderMorning->setPlainText(QString::fromStdString(options_.GetReminder(0)));
    mmReminderAfternoon->setPlainText(QString::fromStdString(options_.GetReminder(1)));
    mmReminderEvening->setPlainText(QString::fromStdString(options_.GetReminder(2)));
    edtTimeLimit->setText(QString::fromStdString(FormatHourMinute(options_.TimeLimit())));
    edtAction->setText(QString::fromStdString(options_.ExpirationActionText()));
    engine_.Logger().MonitoredListLoad(false); // today's total is counted already
    RefreshTodayList();
    UpdateTimeValue();
    ApplyAppearance();
}

} // namespace tw
