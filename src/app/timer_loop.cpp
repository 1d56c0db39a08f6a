#include "app/timer_loop.h"

#include "platform/event_wait.h"

#include <algorithm>

namespace tw {

namespace {
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

void TTimerLoop::WatchDescriptor(int descriptor, THandler onReadable) {
    watches_.push_back({descriptor, std::move(onReadable)});
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

void TTimerLoop::Run(TSessionEndWatch& sessionEnd,
                     const std::function<void(const std::exception&)>& onError) {
    quit_ = false;
    std::vector<int> descriptors{sessionEnd.Descriptor()};
    for (const TWatch& watch : watches_) {
        descriptors.push_back(watch.descriptor);
    }
    while (!quit_) {
        sessionEnd.Deliver();
        for (std::size_t i = 0; i < watches_.size() && !quit_; ++i) {
            try {
                watches_[i].handler();
            } catch (const std::exception& e) {
                onError(e);
            }
        }
        if (quit_) {
            break;
        }
        const auto now = TClock::now();
        const auto due = NextDue();
        if (due > now) {
            long long wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1;
            WaitForSystemEvents(static_cast<int>(std::min(wait, LongestWaitMs)), descriptors);
            continue;
        }
        FireDue(now, onError);
    }
}

} // namespace tw
