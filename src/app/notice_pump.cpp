#include "app/notice_pump.h"

#include <exception>

namespace tw {

namespace {

constexpr int NoticePollMs = 250; // a desktop that cannot wake the loop is asked

} // namespace

TNoticePump::TNoticePump(TDesktop& desktop, TProgramTimers& timers, THandler handle,
                         std::function<void()> desktopGone)
    : desktop_(desktop), timers_(timers), handle_(std::move(handle)),
      desktopGone_(std::move(desktopGone)) {}

void TNoticePump::Listen() {
    if (const int descriptor = desktop_.NoticeDescriptor(); descriptor >= 0) {
        timers_.WatchDescriptor(descriptor, [this] { Deliver(); });
    } else {
        const bool woken = desktop_.WakeOnNotices([this] {
            if (tmrNotices_ >= 0) {
                timers_.SetEnabled(tmrNotices_, true);
            }
        });
        if (woken) {
            // Handled on the loop just after the message that woke it, not inside its dispatch.
            tmrNotices_ = timers_.Add("tmrNotices", 0, false, [this] {
                timers_.SetEnabled(tmrNotices_, false);
                Deliver();
            });
        } else {
            tmrNotices_ = timers_.Add("tmrNotices", NoticePollMs, true, [this] { Deliver(); });
        }
    }
    Deliver();
}

void TNoticePump::Stop() {
    desktop_.WakeOnNotices(nullptr);
}

void TNoticePump::Deliver() {
    std::exception_ptr failure;
    TNotice notice;
    for (;;) {
        try {
            if (!desktop_.NextNotice(notice)) {
                break;
            }
        } catch (...) {
            // The desktop itself has gone (an X server that went away), and the session with
            // it.
            desktopGone_();
            throw;
        }
        try {
            handle_(notice);
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace tw
