#pragma once

#include <exception>
#include <functional>

class QObject;
class QTimer;

namespace tw {

class TScanEngine;

// What a handler of the main window, or of a part of it (inWindow), throws goes to the
// application-wide handler.
void ReportHandlerException(const QObject* inWindow, const std::exception& e);

// Runs a handler; what it throws goes to the application-wide handler, and the window
// carries on.
template <class F> void Guarded(const QObject* inWindow, F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportHandlerException(inWindow, e);
    }
}

// Connects a timer of the main window to a handler that does nothing while the engine is
// paused.
void OnTimerUnlessPaused(QTimer* timer, QObject* context, const TScanEngine& engine,
                         std::function<void()> handler);

} // namespace tw
