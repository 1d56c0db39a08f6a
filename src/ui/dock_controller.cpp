#include "ui/dock_controller.h"

#include "base/exception.h"
#include "monitor/scan_engine.h"
#include "skin/slide_state.h"
#include "skin/window_placement.h"
#include "storage/appearance.h"
#include "storage/error_log.h"
#include "ui/guarded.h"
#include "ui/main_window.h"
#include "ui/slide_steps.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace tw {

namespace {

QTimer* MakeTimer(QObject* owner, const char* name, int interval) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

} // namespace

TDockController::TDockController(TfrmMain& window, TAppearance& appearance, int& slideState,
                                 const TScanEngine& engine)
    : window_(window), appearance_(appearance), slideState_(slideState), engine_(engine) {
    tmrAutohide = MakeTimer(&window, "tmrAutohide", 3000);
    tmrAutohideSlide = MakeTimer(&window, "tmrAutohideSlide", 10);
    tmrDeactivation = MakeTimer(&window, "tmrDeactivation", 1000);
    tmrDeactivation->start();
    OnTimerUnlessPaused(tmrDeactivation, &window, engine_, [this] { DeactivationTick(); });
    OnTimerUnlessPaused(tmrAutohide, &window, engine_, [this] { AutohideTick(); });
    OnTimerUnlessPaused(tmrAutohideSlide, &window, engine_, [this] { SlideStep(); });
}

TWorkArea TDockController::CurrentWorkArea() const {
    QScreen* where = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    const QRect area = where ? where->availableGeometry() : QRect(0, 0, 1024, 768);
    return {area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
}

void TDockController::DockPosition() {
    workArea_ = CurrentWorkArea();
    const int wanted = window_.WantedHeight();
    if (wanted != window_.height()) {
        window_.setFixedHeight(wanted);
        window_.ApplyRoundRegion();
    }
    if (CanPlaceOwnWindows()) {
        window_.move(DockedLeft(align_, workArea_, window_.width()),
                     DockedTop(window_.IsLiteView(), alignVertical_, workArea_, window_.height()));
    }
}

void TDockController::WorkAreaChanged() {
    if (CurrentWorkArea() != workArea_) {
        slideState_ = ssShown;
        DockPosition();
    }
}

void TDockController::SetAlign(int value) {
    if (value != align_) {
        align_ = value;
        DockPosition();
        appearance_.SetAlign(value);
    }
}

void TDockController::SetAlignVertical(int value) {
    if (value != alignVertical_) {
        alignVertical_ = value;
        DockPosition();
        appearance_.SetAlignVertical(value);
    }
}

void TDockController::DockAsStored() {
    align_ = 0; // so that the setters below always dock
    SetAlign(appearance_.GetAlign() == daLeft ? daLeft : daRight);
    alignVertical_ = -1;
    SetAlignVertical(appearance_.GetAlignVertical());
}

bool TDockController::DragTo(int left, int top) {
    const TDockChoice choice =
        DragDock({align_, alignVertical_}, window_.IsLiteView(), left, top, CurrentWorkArea());
    SetAlignVertical(choice.alignVertical);
    SetAlign(choice.align);
    return false;
}

bool TDockController::ApplicationInFocus() {
    try {
        if (engine_.IsPaused()) {
            return false;
        }
        return window_.isActiveWindow() || window_.frameGeometry().contains(QCursor::pos());
    } catch (const std::exception& e) {
        window_.Log().Report(ErrorReportText(e, "; TfrmMain.ApplicationInFocus: "));
        return false;
    }
}

void TDockController::DeactivationTick() {
    // Sliding off the edge needs a window that docks.
    if (!ApplicationInFocus() && slideState_ == ssShown && !tmrAutohide->isActive() &&
        appearance_.GetAutohide() && CanPlaceOwnWindows()) {
        tmrAutohide->start();
    }
}

void TDockController::AutohideTick() {
    // An open dialog of its own keeps the window where it is.
    if (window_.isMinimized() || window_.isMaximized() || !window_.isVisible() ||
        ApplicationInFocus() || !appearance_.GetAutohide() ||
        QApplication::activeModalWidget() != nullptr) {
        return; // asks again at the next tick
    }
    tmrAutohide->stop();
    if (slideState_ == ssShown) {
        tmrAutohideSlide->start();
    }
}

void TDockController::SlideStep() {
    const TSlideTick tick =
        SlideTick(slideState_, align_, window_.x(), window_.width(), CurrentWorkArea());
    slideState_ = tick.state;
    if (tick.finished) {
        tmrAutohideSlide->stop();
        tmrAutohide->stop();
        if (slideState_ == ssShown && appearance_.GetAutohide()) {
            tmrAutohide->start();
        }
    }
    window_.move(tick.left, window_.y());
}

void TDockController::SetAutohide(bool on) {
    appearance_.SetAutohide(on);
}

void TDockController::Touched() {
    if (slideState_ == ssHidden && appearance_.GetAutohide()) {
        tmrAutohideSlide->start();
    }
}

bool TDockController::IsSlidOut() const {
    return slideState_ == ssHidden;
}

void TDockController::SlideIn() {
    tmrAutohideSlide->start();
}

} // namespace tw
