// Today's list, the usage view, and the delete and time-up edit actions.
#include "dialogs/access_gate.h"
#include "dialogs/delete_confirm_form.h"
#include "dialogs/warning_form.h"
#include "storage/date_format.h"
#include "ui/main_window.h"
#include "ui/main_window_list_rows.h"
#include "ui/reminder_settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

namespace tw {

void TfrmMain::RefreshTodayList() {
    RefillListItems(*lbxMain_Applications, engine_.Logger().TodayList(),
                    TMonitoredItemType::mitAll);
    PadListRows(lbxMain_Applications);
}

void TfrmMain::RefreshUsageList() {
    const TDateTime to = engine_.DayNow();
    const TDateTime from = UsagePeriodStart(cbxUsage_Period->currentIndex(), to);
    lbxUsage_Applications->clear();
    TOnlineTimeApplicationLogger& logger = engine_.Logger();
    logger.PeriodListLoad(false, to, from);
    FillListItems(*lbxUsage_Applications, logger.PeriodList(), TMonitoredItemType::mitAll);
    PadListRows(lbxUsage_Applications);
    RefreshUsageChart();
}

void TfrmMain::cbxUsage_PeriodChange() {
    RefreshUsageList();
}

void TfrmMain::btnApp_DeleteClick() {
    const int row = lbxMain_Applications->currentRow();
    const TMonitoredItem* chosen = RowItem(*lbxMain_Applications, row);
    if (!chosen || !lbxMain_Applications->item(row)->isSelected()) {
        return; // nothing chosen, or a filler row
    }
    // The windows below run message loops in which the timers go on: a daily reset frees
    // today's list and a refresh rebuilds the rows. Only a copy of the item is kept across them.
    const std::unique_ptr<TMonitoredItem> item = CopyOf(*chosen);
    const QString rowText = lbxMain_Applications->item(row)->text();
    const TAdminSession session(options_.Policy());
    const TChangeDecision decision = DecideWithPassword(
        options_, this, [this, &item] { return options_.Policy().DecideDeletion(*item); });
    if (decision == TChangeDecision::NeedsPassword) {
        return;
    }
    if (decision == TChangeDecision::AllowedTomorrow) {
        ShowWarning(QStringLiteral("\"%1\" will be removed from time-limit list after 4:00 AM")
                        .arg(QString::fromStdString(item->Caption)),
                    QStringLiteral("Please Note"));
        return;
    }
    if (!ConfirmDelete(rowText, this)) {
        return;
    }
    TMonitoredList& today = engine_.Logger().TodayList();
    const int index = today.IndexOfName(item->Name);
    if (index < 0) {
        return; // taken off the list while the question was open
    }
    engine_.DeleteListedItem(&today.Items(index));
    lbxMain_Applications->clearSelection();
    RefreshTodayList();
}

void TfrmMain::actTimeEditExecute() {
    if (!MayBeginChange(options_, this)) {
        return;
    }
    if (ExecuteReminderSettings(options_, this)) {
        options_.Save();
        edtTimeLimit->setText(QString::fromStdString(FormatHourMinute(options_.TimeLimit())));
        edtAction->setText(QString::fromStdString(options_.ExpirationActionText()));
        UpdateTimeValue();
    }
}

} // namespace tw
