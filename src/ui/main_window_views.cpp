// The main window's views and paging, docking, and how it is shown at start.
#include "skin/image_panel.h"
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
    return dock_.CurrentWorkArea().Height();
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
        usage_->Refresh();
    }
    isLiteView_ = lite;
    if (WantedHeight() != height()) {
        dock_.DockPosition();
    }
    for (const char* pager : {"btnBack", "btnNext"}) {
        findChild<QWidget*>(QString::fromLatin1(pager))->setVisible(sheet != tsMain);
    }
}

bool TfrmMain::CanMoveTo(int left, int top) {
    return dock_.DragTo(left, top);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // Touching the strip a slid-out window leaves on the screen brings it back.
    if ((watched == this && event->type() == QEvent::Enter) ||
        (watched == pnlBody && event->type() == QEvent::MouseMove)) {
        dock_.Touched();
    }
    return TfrmBase::eventFilter(watched, event);
}

void TfrmMain::SetTrayAvailable(bool available) {
    tray_->SetAvailable(available);
}

void TfrmMain::ShowAtStart(bool trayAvailable, bool firstStart) {
    tray_->SetAvailable(trayAvailable);
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
        tray_->Restore();
    }
}

} // namespace tw
