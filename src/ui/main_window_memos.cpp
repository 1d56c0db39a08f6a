// The to-do memos as the main window shows them: the selector of the part of the day with
// its marks, the two views of the memos kept in step, and the prompt to refresh them.
#include "base/scope_exit.h"
#include "base/text.h"
#include "monitor/memo_prompt.h"
#include "skin/pictures.h"
#include "storage/clock.h"
#include "ui/main_window.h"
#include "ui/reminder_change.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tw {

namespace {

// The item data telling whether the memo of that part of the day holds text.
constexpr int HasMemoRole = Qt::UserRole + 1;

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

// Draws the selector's open list: each part of the day with a check mark at the right when
// its memo holds text. (The closed selector shows the part's name only; the style draws it.)
class TMemoMarkDelegate : public QStyledItemDelegate {
  public:
    TMemoMarkDelegate(const QLabel* mark, QObject* owner)
        : QStyledItemDelegate(owner), mark_(mark) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect item = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(item,
                          option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        const QRect check(item.right() - item.height() - 10, item.top(), item.height() + 10,
                          item.height());
        if (index.data(HasMemoRole).toBool()) {
            // Within its own row: a row lower than the picture gets it a little smaller.
            const QPixmap picture = mark_->pixmap();
            const int side = std::min(picture.height(), item.height());
            const QRect place(check.center().x() - side / 2 + 1,
                              item.top() + (item.height() - side) / 2, side, side);
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawPixmap(place, picture);
        }
        painter->setFont(option.font);
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(item.adjusted(2, 0, 0, 0)
                              .intersected(QRect(item.left(), item.top(),
                                                 check.left() - item.left(), item.height())),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
    }

  private:
    const QLabel* mark_;
};

} // namespace

void TfrmMain::CreateMemoMarks() {
    imgComboBoxCheck = new QLabel(tsMain);
    imgComboBoxCheck->setObjectName(QStringLiteral("imgComboBoxCheck"));
    imgComboBoxCheck->setPixmap(QPixmap::fromImage(TPicture::FromResource("check_on").image));
    imgComboBoxCheck->hide();
    cbxReminder->setItemDelegate(new TMemoMarkDelegate(imgComboBoxCheck, cbxReminder));
}

void TfrmMain::RefreshMemoMarks() {
    for (int part = 0; part < 3; ++part) {
        cbxReminder->setItemData(part, !Trim(options_.GetReminder(part)).empty(), HasMemoRole);
    }
}

QPlainTextEdit* TfrmMain::SheetMemo(int part) const {
    return part == 0 ? mmReminderMorning : part == 1 ? mmReminderAfrernoon : mmReminderEvening;
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
    if (!MemoPromptDue(options_.ReminderChangePeriod, options_.ReminderChangedDateTime,
                       options_.ReminderShowedDateTime, ClockNow())) {
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
