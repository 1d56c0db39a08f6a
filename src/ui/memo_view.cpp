#include "ui/memo_view.h"

#include "base/scope_exit.h"
#include "base/text.h"
#include "monitor/memo_prompt.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/marked_item_delegate.h"
#include "skin/pictures.h"
#include "storage/clock.h"
#include "storage/options.h"
#include "ui/guarded.h"
#include "ui/main_window_controls.h"
#include "ui/reminder_change.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

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

TMemoView::TMemoView(QWidget* window, QWidget* mainSheet, QWidget* reminderSheet, TOptions& options,
                     const TScanEngine& engine)
    : options_(options), window_(window) {
    CreateMainSheetPart(mainSheet);
    CreateReminderSheet(reminderSheet);
    tmrReminderChange = new QTimer(window);
    tmrReminderChange->setObjectName(QStringLiteral("tmrReminderChange"));
    tmrReminderChange->setInterval(100002);
    tmrReminderChange->setTimerType(Qt::CoarseTimer);
    OnTimerUnlessPaused(tmrReminderChange, window, engine, [this] { PromptTick(); });
    Connect(window);
}

void TMemoView::CreateMainSheetPart(QWidget* s) {
    lblReminder = BodyLabel(s, "lblReminder", "Things to do this:", 10, 15, DesignFont(13, true));
    const TSkinnedCombo dayPart = SkinnedCombo(
        s, "pnlReminderCombo", "cbxReminder", "btnReminderCombo", QRect(123, 9, 130, 28),
        {"Morning", "Afternoon", "Evening"}, QStringLiteral("Things to do this"));
    pnlReminderCombo = dayPart.panel;
    cbxReminder = dayPart.combo;
    btnReminderCombo = dayPart.arrow;
    pnlReminder = MakePanel(s, "pnlReminder", QRect(10, 46, 305, 147), "panel", 10);
    mmReminder = MemoBox(s, "mmReminder", QRect(17, 53, 290, 132), QStringLiteral("Things to do"));
    imgComboBoxCheck = MakeNamed<QLabel>(s, "imgComboBoxCheck");
    imgComboBoxCheck->setPixmap(QPixmap::fromImage(TPicture::FromResource("check_on").image));
    imgComboBoxCheck->hide();
    cbxReminder->setItemDelegate(new TMarkedItemDelegate(imgComboBoxCheck->pixmap(), cbxReminder));
}

void TMemoView::CreateReminderSheet(QWidget* s) {
    const struct {
        const char *label, *panel, *memo, *title, *purpose;
        int top;
    } sections[] = {
        {"lblReminderMorning", "pnlReminderMorning", "mmReminderMorning",
         "This Morning:", "Things to do this morning", 10},
        {"lblReminderAfternoon", "pnlReminderAfternoon", "mmReminderAfternoon",
         "This Afternoon:", "Things to do this afternoon", 170},
        {"lblReminderEvening", "pnlReminderEvening", "mmReminderEvening",
         "This Evening:", "Things to do this evening", 330},
    };
    int part = 0;
    for (const auto& section : sections) {
        lblReminderParts[part] =
            BodyLabel(s, section.label, section.title, 10, section.top, DesignFont(13, true));
        pnlReminderParts[part] =
            MakePanel(s, section.panel, QRect(10, section.top + 22, 305, 130), "panel", 10);
        mmReminderParts[part] = MemoBox(s, section.memo, QRect(17, section.top + 30, 290, 114),
                                        QString::fromLatin1(section.purpose));
        ++part;
    }
}

void TMemoView::Connect(QWidget* window) {
    QObject::connect(cbxReminder, &QComboBox::currentIndexChanged, window,
                     [this] { Guarded(window_, [this] { DayPartChange(); }); });
    QObject::connect(mmReminder, &QPlainTextEdit::textChanged, window,
                     [this] { Guarded(window_, [this] { MemoChange(); }); });
    for (int part = 0; part < 3; ++part) {
        QObject::connect(mmReminderParts[part], &QPlainTextEdit::textChanged, window, [this, part] {
            Guarded(window_, [this, part] { SheetMemoChange(part); });
        });
    }
}

void TMemoView::Load() {
    const auto update = MemoUpdate(updating_);
    for (int part = 0; part < 3; ++part) {
        mmReminderParts[part]->setPlainText(QString::fromStdString(options_.GetReminder(part)));
    }
}

void TMemoView::RefreshMarks() {
    for (int part = 0; part < 3; ++part) {
        cbxReminder->setItemData(part, !Trim(options_.GetReminder(part)).empty(), MarkedRole);
    }
}

QPlainTextEdit* TMemoView::SheetMemo(int part) const {
    return mmReminderParts[part == 1 || part == 2 ? part : 0];
}

QWidget* TMemoView::Panel() const {
    return pnlReminder;
}

void TMemoView::SelectDayPart(TDayPart dayPart) {
    cbxReminder->setCurrentIndex(
        DayPartIndex(dayPart)); // shows that part's memo when the selection changed
}

void TMemoView::DayPartChange() {
    RefreshMarks();
    const auto update = MemoUpdate(updating_);
    mmReminder->setPlainText(
        QString::fromStdString(options_.GetReminder(SelectedPart(cbxReminder))));
}

void TMemoView::MemoChange() {
    if (updating_) {
        return;
    }
    const int part = SelectedPart(cbxReminder);
    options_.SetReminder(part, mmReminder->toPlainText().toStdString());
    {
        const auto update = MemoUpdate(updating_);
        SheetMemo(part)->setPlainText(QString::fromStdString(options_.GetReminder(part)));
    }
    RefreshMarks();
}

void TMemoView::SheetMemoChange(int part) {
    if (updating_) {
        return;
    }
    options_.SetReminder(part, SheetMemo(part)->toPlainText().toStdString());
    if (part == SelectedPart(cbxReminder)) {
        const auto update = MemoUpdate(updating_);
        mmReminder->setPlainText(QString::fromStdString(options_.GetReminder(part)));
    }
    RefreshMarks();
}

void TMemoView::PromptTick() {
    if (!MemoPromptDue(options_.Values().ReminderChangePeriod,
                       options_.Values().ReminderChangedDateTime,
                       options_.Values().ReminderShowedDateTime, options_.Clock().Now())) {
        return;
    }
    // The prompt is modal and this timer keeps firing under it: it opens once. Nor does it
    // open over another window that waits for an answer (the reminder, a confirmation); it
    // comes at a later tick.
    if (promptOpen_ || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    promptOpen_ = true;
    const TScopeExit closed([this] { promptOpen_ = false; });
    ExecuteReminderChange(options_, window_);
}

} // namespace tw
