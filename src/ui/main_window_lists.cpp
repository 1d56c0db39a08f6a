// Today's list, the usage view, the delete and time-up edit actions, and the memos.
#include "base/scope_exit.h"
#include "dialogs/delete_confirm_form.h"
#include "dialogs/warning_form.h"
#include "storage/admin_access.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "ui/main_window.h"
#include "ui/main_window_list_rows.h"
#include "ui/reminder_settings.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace tw {

void TfrmMain::RefreshTodayList() {
    FillListItems(*lbxMain_Applications, engine_->Logger().TodayList(), TMonitoredItemType::mitAll);
    PadListRows(lbxMain_Applications);
}

void TfrmMain::RefreshUsageList() {
    const TDateTime to = ClockNow();
    const TDateTime from = UsagePeriodStart(cbxUsage_Period->currentIndex(), to);
    lbxUsage_Applications->clear();
    TOnlineTimeApplicationLogger& logger = engine_->Logger();
    logger.PeriodListLoad(false, to, from);
    FillListItems(*lbxUsage_Applications, logger.PeriodList(), TMonitoredItemType::mitAll);
    PadListRows(lbxUsage_Applications);
}

void TfrmMain::cbxUsage_PeriodChange() {
    RefreshUsageList();
}

void TfrmMain::btnApp_DeleteClick() {
    const int row = lbxMain_Applications->currentRow();
    TMonitoredItem* item = RowItem(*lbxMain_Applications, row);
    if (!item || !lbxMain_Applications->item(row)->isSelected()) {
        return; // nothing chosen, or a filler row
    }
    const TAdminAccessScope access(options_);
    if (!item->Active) {
        ShowWarning(QStringLiteral("\"%1\" will be removed from time-limit list after 4:00 AM")
                        .arg(QString::fromStdString(item->Caption)),
                    QStringLiteral("Please Note"));
        return;
    }
    if (!ConfirmDelete(lbxMain_Applications->item(row)->text(), this)) {
        return;
    }
    const int level = engine_->DeleteListedItem(item);
    if (level == 2) {
        delete lbxMain_Applications->takeItem(row);
    } else if (level == 1) {
        lbxMain_Applications->clearSelection();
        lbxMain_Applications->viewport()->update();
    }
    RefreshTodayList();
}

void TfrmMain::actTimeEditExecute() {
    if (ExecuteReminderSettings(options_, this)) {
        options_.Save();
        edtTimeLimit->setText(QString::fromStdString(FormatHourMinute(options_.TimeLimit())));
        edtAction->setText(QString::fromStdString(options_.ExpirationActionText()));
        UpdateTimeValue();
    }
}

// --- memos, as far as the main window shows them ---

namespace {

// The program writes into a memo: its change handler must not store the text back. The
// flag is cleared also when the write fails.
auto MemoUpdate(bool& flag) {
    flag = true;
    return TScopeExit([&flag] { flag = false; });
}

int SelectedPart(const QComboBox* selector) {
    const int index = selector->currentIndex();
    return index == 1 || index == 2 ? index : 0;
}

} // namespace

QPlainTextEdit* TfrmMain::SheetMemo(int part) const {
    return part == 0 ? mmReminderMorning : part == 1 ? mmReminderAfrernoon : mmReminderEvening;
}

void TfrmMain::SelectDayPart(int dayPart) {
    cbxReminder->setCurrentIndex(dayPart); // shows that part's memo when the selection changed
}

void TfrmMain::cbxReminderChange() {
    const auto update = MemoUpdate(memoUpdating_);
    mmReminder->setPlainText(
        QString::fromStdString(options_.GetReminder(SelectedPart(cbxReminder))));
}

void TfrmMain::mmReminderChange() {
    if (memoUpdating_) {
        return;
    }
    const int part = SelectedPart(cbxReminder);
    options_.SetReminder(part, mmReminder->toPlainText().toStdString());
    const auto update = MemoUpdate(memoUpdating_);
    SheetMemo(part)->setPlainText(QString::fromStdString(options_.GetReminder(part)));
}

void TfrmMain::ReminderSheetMemoChange(int part) {
    if (memoUpdating_) {
        return;
    }
    options_.SetReminder(part, SheetMemo(part)->toPlainText().toStdString());
    if (part == SelectedPart(cbxReminder)) {
        const auto update = MemoUpdate(memoUpdating_);
        mmReminder->setPlainText(QString::fromStdString(options_.GetReminder(part)));
    }
}

} // namespace tw
