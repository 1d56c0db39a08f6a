#pragma once

#include "app/program_timers.h"
#include "platform/desktop.h"

#include <functional>

namespace tw {

// Brings the desktop's notices onto the program's loop, however this desktop announces them:
// a descriptor the timers watch, a wake call from the desktop's own thread, or asked a few
// times a second.
class TNoticePump {
  public:
    using THandler = std::function<void(const TNotice&)>;

    // handle takes each notice; desktopGone is called when the desktop fails to answer (it
    // has gone with the session), before the failure is thrown on.
    TNoticePump(TDesktop& desktop, TProgramTimers& timers, THandler handle,
                std::function<void()> desktopGone);
    TNoticePump(const TNoticePump&) = delete;
    TNoticePump& operator=(const TNoticePump&) = delete;

    // From now on; what is waiting already is handled at once.
    void Listen();
    // The desktop outlives the program, and must not wake it after.
    void Stop();

  private:
    // Every notice waiting, each handled even when one before it failed (the first failure
    // is thrown after).
    void Deliver();

    TDesktop& desktop_;
    TProgramTimers& timers_;
    THandler handle_;
    std::function<void()> desktopGone_;
    int tmrNotices_ = -1;
};

} // namespace tw
