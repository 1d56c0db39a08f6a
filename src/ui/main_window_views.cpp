// The main window's views and paging, docking, starting Block mode and minimizing.
#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_form.h"
#include "skin/image_panel.h"
#include "ui/block_view.h"
#include "ui/focus_settings.h"
#include "ui/main_window.h"
#include "ui/main_window_tray.h"
#include "ui/memo_view.h"
#include "ui/usage_view.h"

#include <QAction>
#include <QEvent>

namespace tw {

int TfrmMain::WantedHeight() const {
    if (isLiteView_) {
        // Just below the memo, whichever sheet holds it at the moment.
        const QWidget* memo = memos_->Panel();
        return memo->mapTo(this, QPoint(0, memo->height())).y() + 10;
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
    for (const char* pager : {"btnBack", "btnNext"}) {
        findChild<QWidget*>(QString::fromLatin1(pager))->setVisible(sheet != tsMain);
    }
}

void TfrmMain::DockPosition() {
    dock_.DockPosition();
}

bool TfrmMain::CanMoveTo(int left, int top) {
    return dock_.DragTo(left, top);
}

TWorkArea TfrmMain::CurrentWorkArea() const {
    return dock_.CurrentWorkArea();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // Touching the strip a slid-out window leaves on the screen brings it back.
    if ((watched == this && event->type() == QEvent::Enter) ||
        (watched == pnlBody && event->type() == QEvent::MouseMove)) {
        dock_.Touched();
    }
    return TfrmBase::eventFilter(watched, event);
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
        tray_->Show();
    } else {
        show();
    }
    if (firstStart) {
        // A newcomer would see only a tray icon: the window shows once where the program
        // went and what the list just chosen holds.
        findChild<QAction*>(QStringLiteral("actViewMain"))->setChecked(true);
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
