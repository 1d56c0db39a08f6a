#include "app/timer_loop.h"

#include <algorithm>
#include <poll.h>

namespace tw {

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
    TTimer& timer = timers_.at(id);
    timer.interval = std::chrono::milliseconds(intervalMs);
    timer.due = TClock::now() + timer.interval;
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

void TTimerLoop::Run(TDesktop& desktop, const std::function<void(TDesktopNotice)>& onNotice,
                     const std::function<void(const std::exception&)>& onError) {
    quit_ = false;
    while (!quit_) {
        TDesktopNotice notice;
        while (!quit_ && desktop.NextNotice(notice)) {
            try {
                onNotice(notice);
            } catch (const std::exception& e) {
                onError(e);
            }
        }
        auto now = TClock::now();
        auto due = NextDue();
        if (due > now) {
            // Wake for the next timer or, when the desktop can say so, for a notice; a
            // desktop that cannot is asked again at least every 200 ms.
            auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1;
            int descriptor = desktop.NoticeDescriptor();
            if (descriptor < 0) {
                wait = std::min<long long>(wait, 200);
            }
            pollfd watch{descriptor, POLLIN, 0};
            poll(descriptor >= 0 ? &watch : nullptr, descriptor >= 0 ? 1 : 0,
                 static_cast<int>(std::min<long long>(wait, 60000)));
            continue;
        }
        FireDue(now, onError);
    }
}

} // namespace tw
