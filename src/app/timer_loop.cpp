#include "app/timer_loop.h"

#include "platform/event_wait.h"

#include <algorithm>

namespace tw {

namespace {
// A desktop that can neither wake the wait nor name a descriptor is asked this often.
constexpr long long NoticePollMs = 200;
// Even with nothing due, the wait ends this often.
constexpr long long LongestWaitMs = 60000;
} // namespace

int TTimerLoop::Add(std::string name, int intervalMs, bool enabled, THandler handler) {
    auto interval = std::chrono::milliseconds(intervalMs);
    timers_.push_back(
        {std::move(name), interval, enabled, TClock::now() + interval, std::move(handler)});
    return static_cast<int>(timers_.size() - 1);
}

void TTimerLoop::SetEnabled(int id, bool enabled) {
    TTimer& timer = timers_.at(id);
    if (enabled && !timer.enabled) {
        timer.due = TClock::now() + timer.interval;
    }
    timer.enabled = enabled;
}

void TTimerLoop::SetInterval(int id, int intervalMs) {
    timers_.at(id).interval = std::chrono::milliseconds(intervalMs);
}

TTimerLoop::TClock::time_point TTimerLoop::NextDue() const {
    auto next = TClock::time_point::max();
    for (const TTimer& timer : timers_) {
        if (timer.enabled) {
            next = std::min(next, timer.due);
        }
    }
    return next;
}

void TTimerLoop::FireDue(TClock::time_point now,
                         const std::function<void(const std::exception&)>& onError) {
    for (std::size_t i = 0; i < timers_.size() && !quit_; ++i) {
        if (!timers_[i].enabled || timers_[i].due > now) {
            continue;
        }
        // The next interval counts from now, as window timers do; a handler may change it.
        timers_[i].due = now + timers_[i].interval;
        try {
            timers_[i].handler();
        } catch (const std::exception& e) {
            onError(e);
        }
    }
}

void TTimerLoop::Run(TDesktop& desktop, TSessionEndWatch& sessionEnd,
                     const std::function<void(TDesktopNotice)>& onNotice,
                     const std::function<void(const std::exception&)>& onError) {
    quit_ = false;
    const bool pollNotices = desktop.NoticeDescriptor() < 0 && !desktop.NoticesComeAsMessages();
    while (!quit_) {
        sessionEnd.Deliver();
        try {
            TDesktopNotice notice;
            while (!quit_ && desktop.NextNotice(notice)) {
                try {
                    onNotice(notice);
                } catch (const std::exception& e) {
                    onError(e);
                }
            }
        } catch (const std::exception& e) {
            // The desktop itself has gone (an X server that went away), and the session with it.
            onError(e);
            quit_ = true;
        }
        if (quit_) {
            break;
        }
        const auto now = TClock::now();
        const auto due = NextDue();
        if (due > now) {
            long long wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1;
            wait = std::min(wait, pollNotices ? NoticePollMs : LongestWaitMs);
            WaitForSystemEvents(static_cast<int>(wait),
                                {desktop.NoticeDescriptor(), sessionEnd.Descriptor()});
            continue;
        }
        FireDue(now, onError);
    }
}

} // namespace tw
