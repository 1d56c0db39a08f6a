// The main window's actions that change what is watched: the add wizard and the settings.
#include "base/scope_exit.h"
#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_form.h"
#include "dialogs/settings_form.h"
#include "storage/date_format.h"
#include "storage/settings_changes.h"
#include "ui/main_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

namespace tw {

void TfrmMain::btnApp_AddClick() {
    if (!MayBeginChange(options_, this)) {
        return;
    }
    TMonitoredList changes;
    RunAddWizard(options_, options_.Values().MonitoredList, changes, this, desktop_);
    ApplyListChanges(changes);
}

void TfrmMain::ApplyListChanges(const TMonitoredList& changes) {
    if (tw::ApplyListChanges(options_, changes, &engine_.Logger().TodayList())) {
        RefreshTodayList();
    }
}

void TfrmMain::actSettingsExecute() {
    program_.HoldSaving(true);
    const TScopeExit saveAgain([this] { program_.HoldSaving(false); });
    const TAdminSession session(options_.Policy());
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
