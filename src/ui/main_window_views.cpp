// The main window's views, paging, header time and minimizing.
#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_form.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "ui/focus_settings.h"
#include "ui/main_window.h"
#include "ui/main_window_time_text.h"

#include <QAction>
#include <QLabel>
#include <QSystemTrayIcon>

#include <algorithm>
#include <cmath>

namespace tw {

int TfrmMain::WantedHeight() const {
    if (isLiteView_) {
        // Just below the memo, whichever sheet holds it at the moment.
        return pnlReminder->mapTo(this, QPoint(0, pnlReminder->height())).y() + 10;
    }
    return CurrentWorkArea().Height();
}

void TfrmMain::ShowView(QWidget* sheet, bool lite) {
    if (sheet != currentSheet_) {
        if (currentSheet_) {
            HideSheetControls();
        }
        ShowSheetControls(sheet);
        currentSheet_ = sheet;
    }
    if (sheet == tsUsage) {
        RefreshUsageList();
    }
    isLiteView_ = lite;
    if (WantedHeight() != height()) {
        DockPosition();
    }
    btnBack->setVisible(sheet != tsMain);
    btnNext->setVisible(sheet != tsMain);
}

void TfrmMain::btnBackClick() {
    // Paging leaves the view menu's check mark where the user put it.
    QWidget* previous = currentSheet_ == tsUsage      ? tsReminder
                        : currentSheet_ == tsReminder ? tsMain
                                                      : tsUsage;
    ShowView(previous, false);
}

void TfrmMain::btnNextClick() {
    QWidget* next = currentSheet_ == tsMain       ? tsReminder
                    : currentSheet_ == tsReminder ? tsUsage
                                                  : tsMain;
    ShowView(next, false);
}

void TfrmMain::UpdateTimeValue() {
    const std::int32_t total = engine_.Logger().Total;
    lblMain_Time->setText(QString::fromStdString(
        HeaderTimeValue(TimeFormatIndex, total, options_.TimeLimit(), ClockNow())));
    lblMain_Time->adjustSize();
}

void TfrmMain::UpdateTimeDisplay() {
    lblMain_TimeLink->setText(QString::fromLatin1(HeaderTimeLink(TimeFormatIndex)));
    lblMain_TimeLink->adjustSize();
    lblMain_TimeTitle->setText(QString::fromLatin1(HeaderTimeTitle(TimeFormatIndex)) + ':');
    lblMain_TimeTitle->adjustSize();
    UpdateTimeValue();
    const int titleWidth = lblMain_TimeTitle->width();
    pnlMain_TimeOnline->resize(titleWidth + lblMain_Time->width() + 34,
                               pnlMain_TimeOnline->height());
    lblMain_Time->move(lblMain_TimeTitle->x() + titleWidth + 6, lblMain_Time->y());
}

void TfrmMain::actChangeTimeFormatExecute() {
    TimeFormatIndex = (TimeFormatIndex + 1) % 3;
    UpdateTimeDisplay();
}

void TfrmMain::SetBlockDisplay(bool on) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             (lblMain_TimeLink), lblMain_TimeTitle, lblMain_Time, pnlMain_TimeOnline, btnFocus}) {
        control->setVisible(!on);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{(lblMain_FocusTime), lblMain_FocusTimeTitle,
                                         pnlMain_FocusTime, lblMain_FocusModeTimeLink}) {
        control->setVisible(on);
    }
    if (!on) {
        BlockTimeFormatIndex = 0;
    }
}

namespace {

struct TBlockTexts {
    const char* title;
    const char* link;
};
constexpr TBlockTexts BlockFormats[] = {
    {"Focus Started", "Show Focus End Time"},
    {"Focus Ends In", "Show Time Now"},
    {"Time Now", "Show Focus Start Time"},
};

} // namespace

void TfrmMain::UpdateBlockTimeValue() {
    if (!engine_.IsBlockActive()) {
        return;
    }
    const TDateTime now = ClockNow();
    const double elapsedMinutes = std::floor((ClockUtcNow() - engine_.BlockStart()) * 1440.0);
    const TDateTime elapsed = elapsedMinutes / 1440.0;
    TDateTime value = elapsed;
    if (BlockTimeFormatIndex == 1) {
        value = engine_.BlockDuration() - elapsed;
    } else if (BlockTimeFormatIndex == 2) {
        value = now;
    }
    lblMain_FocusTime->setText(QString::fromStdString(
        FormatHourMinute(BlockTimeFormatIndex == 2 ? value : std::max(value, 0.0))));
    lblMain_FocusTime->adjustSize();
}

void TfrmMain::actChangeFocusModeTimeFormatExecute() {
    BlockTimeFormatIndex = (BlockTimeFormatIndex + 1) % 3;
    const TBlockTexts& texts = BlockFormats[BlockTimeFormatIndex];
    lblMain_FocusModeTimeLink->setText(QString::fromLatin1(texts.link));
    lblMain_FocusModeTimeLink->adjustSize();
    lblMain_FocusTimeTitle->setText(QString::fromLatin1(texts.title) + ':');
    lblMain_FocusTimeTitle->adjustSize();
    UpdateBlockTimeValue();
}

void TfrmMain::btnFocusClick() {
    // What is added through "your list" goes on the list at once, whatever the Block window's
    // answer: a second use of the link then starts from the list as it now is, instead of
    // replacing what the first one chose.
    TMonitoredList changes;
    const std::optional<TDateTime> length =
        ExecuteBlockSettings(changes, this, [this](QWidget* dialog, TMonitoredList& collected) {
            Guarded([&] {
                if (MayBeginChange(options_, dialog)) {
                    RunAddWizard(options_, options_.Values().MonitoredList, collected, dialog,
                                 desktop_);
                    ApplyListChanges(collected);
                    collected.Clear();
                }
            });
        });
    ApplyListChanges(changes);
    if (length) {
        engine_.StartBlock(*length); // switches the header to the Block time
        UpdateBlockTimeValue();
    }
}

void TfrmMain::actMinimizeExecute() {
    // A modal window over this one (the reminder) disables it: then nothing happens.
    if (isEnabled()) {
        MinimizeApplication();
    }
}

void TfrmMain::MinimizeApplication() {
    if (trayAvailable_) {
        hide();
    } else {
        showMinimized();
    }
}

void TfrmMain::ShowAtStart(bool trayAvailable, bool firstStart) {
    SetTrayAvailable(trayAvailable);
    if (trayAvailable) {
        trayIcon->show();
    } else {
        show();
    }
    if (firstStart) {
        // A newcomer would see only a tray icon: the window shows once where the program
        // went and what the list just chosen holds.
        actViewMain->setChecked(true);
        ShowView(tsMain, false);
        RestoreApplication();
    }
}

void TfrmMain::RestoreApplication() {
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
}

} // namespace tw
