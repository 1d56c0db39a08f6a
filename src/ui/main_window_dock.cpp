// Docking at a screen edge, flipping edges by dragging, auto-hide, the tray icon's click
// and the double-Alt hot key.
#include "skin/image_panel.h"
#include "skin/window_placement.h"
#include "storage/appearance.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "ui/main_window.h"
#include "ui/slide_steps.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace tw {

TWorkArea TfrmMain::CurrentWorkArea() const {
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = where ? where->availableGeometry() : QRect(0, 0, 1024, 768);
    return {area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
}

void TfrmMain::DockPosition() {
    workArea_ = CurrentWorkArea();
    const int wanted = WantedHeight();
    if (wanted != height()) {
        setFixedHeight(wanted);
        ApplyRoundRegion();
    }
    if (CanPlaceOwnWindows()) {
        move(DockedLeft(align_, workArea_, width()),
             DockedTop(isLiteView_, alignVertical_, workArea_, height()));
    }
}

void TfrmMain::SetAlign(int value) {
    if (value != align_) {
        align_ = value;
        DockPosition();
        Appearance().SetAlign(value);
    }
}

void TfrmMain::SetAlignVertical(int value) {
    if (value != alignVertical_) {
        alignVertical_ = value;
        DockPosition();
        Appearance().SetAlignVertical(value);
    }
}

bool TfrmMain::CanMoveTo(int left, int top) {
    // The window never stands free: a drag only chooses the edge and, compact, the corner.
    const TDockChoice choice =
        DragDock({align_, alignVertical_}, isLiteView_, left, top, CurrentWorkArea());
    SetAlignVertical(choice.alignVertical);
    SetAlign(choice.align);
    return false;
}

bool TfrmMain::ApplicationInFocus() {
    try {
        if (IsPaused()) {
            return false;
        }
        return isActiveWindow() || frameGeometry().contains(QCursor::pos());
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, "; TfrmMain.ApplicationInFocus: "));
        return false;
    }
}

void TfrmMain::tmrDeactivationTimer() {
    // Sliding off the edge needs a window that docks.
    if (!ApplicationInFocus() && SlideState == ssShown && !tmrAutohide->isActive() &&
        Appearance().GetAutohide() && CanPlaceOwnWindows()) {
        tmrAutohide->start();
    }
}

void TfrmMain::tmrAutohideTimer() {
    // An open dialog of its own keeps the window where it is.
    if (isMinimized() || isMaximized() || !isVisible() || ApplicationInFocus() ||
        !Appearance().GetAutohide() || QApplication::activeModalWidget() != nullptr) {
        return; // asks again at the next tick
    }
    tmrAutohide->stop();
    if (SlideState == ssShown) {
        tmrAutohideSlide->start();
    }
}

void TfrmMain::tmrAutohideSlideTimer() {
    const TSlideTick tick = SlideTick(SlideState, align_, x(), width(), CurrentWorkArea());
    SlideState = tick.state;
    if (tick.finished) {
        tmrAutohideSlide->stop();
        tmrAutohide->stop();
        if (SlideState == ssShown && Appearance().GetAutohide()) {
            tmrAutohide->start();
        }
    }
    move(tick.left, y());
}

void TfrmMain::actAutohideExecute() {
    Appearance().SetAutohide(actAutohide->isChecked());
}

void TfrmMain::TrayLeftClick() {
    // Hiding the window under one of its dialogs would strand the dialog, and acting on the
    // window would go behind the dialog's back: the person is shown the dialog instead.
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog != nullptr && dialog != this) {
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    if (SlideState == ssHidden) {
        RestoreApplication();
        tmrAutohideSlide->start();
    } else if (isVisible() && !isMinimized()) {
        if (isEnabled()) {
            MinimizeApplication();
        }
    } else {
        RestoreApplication();
    }
}

void TfrmMain::HotKeyPressed() {
    const TDateTime now = ClockUtcNow();
    if (std::abs(now - lastAltPress_) <= 0.5 * OneSecond) {
        TrayLeftClick();
        lastAltPress_ = 0;
    } else {
        lastAltPress_ = now;
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // Touching the strip a slid-out window leaves on the screen brings it back.
    if ((watched == this && event->type() == QEvent::Enter) ||
        (watched == pnlBody && event->type() == QEvent::MouseMove)) {
        if (SlideState == ssHidden && Appearance().GetAutohide()) {
            tmrAutohideSlide->start();
        }
    }
    return TfrmBase::eventFilter(watched, event);
}

} // namespace tw
