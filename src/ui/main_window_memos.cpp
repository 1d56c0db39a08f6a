// The to-do memos as the main window shows them: the selector of the part of the day with
// its marks, the two views of the memos kept in step, and the prompt to refresh them.
#include "base/scope_exit.h"
#include "base/text.h"
#include "monitor/memo_prompt.h"
#include "skin/marked_item_delegate.h"
#include "skin/pictures.h"
#include "storage/clock.h"
#include "ui/main_window.h"
#include "ui/reminder_change.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>

namespace tw {

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

void TfrmMain::CreateMemoMarks() {
    imgComboBoxCheck = new QLabel(tsMain);
    imgComboBoxCheck->setObjectName(QStringLiteral("imgComboBoxCheck"));
    imgComboBoxCheck->setPixmap(QPixmap::fromImage(TPicture::FromResource("check_on").image));
    imgComboBoxCheck->hide();
    cbxReminder->setItemDelegate(new TMarkedItemDelegate(imgComboBoxCheck->pixmap(), cbxReminder));
}

void TfrmMain::RefreshMemoMarks() {
    for (int part = 0; part < 3; ++part) {
        cbxReminder->setItemData(part, !Trim(options_.GetReminder(part)).empty(), MarkedRole);
    }
}

QPlainTextEdit* TfrmMain::SheetMemo(int part) const {
    return part == 0 ? mmReminderMorning : part == 1 ? mmReminderAfternoon : mmReminderEvening;
}

void TfrmMain::SelectDayPart(int dayPart) {
    cbxReminder->setCurrentIndex(dayPart); // shows that part's memo when the selection changed
}

void TfrmMain::cbxReminderChange() {
    RefreshMemoMarks();
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
    {
        const auto update = MemoUpdate(memoUpdating_);
        SheetMemo(part)->setPlainText(QString::fromStdString(options_.GetReminder(part)));
    }
    RefreshMemoMarks();
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
    RefreshMemoMarks();
}

void TfrmMain::tmrReminderChangeTimer() {
    if (!MemoPromptDue(options_.Values().ReminderChangePeriod,
                       options_.Values().ReminderChangedDateTime,
                       options_.Values().ReminderShowedDateTime, ClockNow())) {
        return;
    }
    // The prompt is modal and this timer keeps firing under it: it opens once. Nor does it
    // open over another window that waits for an answer (the reminder, a confirmation); it
    // comes at a later tick.
    if (memoPromptOpen_ || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    memoPromptOpen_ = true;
    const TScopeExit closed([this] { memoPromptOpen_ = false; });
    ExecuteReminderChange(options_, this);
}

} // namespace tw
