#include "support/sim_timers.h"

#include <algorithm>

namespace twtest {

int TSimTimers::Add(std::string name, int intervalMs, bool enabled, THandler handler) {
    timers_.push_back(
        {std::move(name), intervalMs, enabled, now_ + intervalMs, std::move(handler)});
    return static_cast<int>(timers_.size() - 1);
}

void TSimTimers::SetEnabled(int id, bool enabled) {
    TTimer& timer = timers_.at(static_cast<std::size_t>(id));
    if (enabled && !timer.enabled) {
        timer.due = now_ + timer.interval;
    }
    timer.enabled = enabled;
}

void TSimTimers::SetInterval(int id, int intervalMs) {
    timers_.at(static_cast<std::size_t>(id)).interval = intervalMs;
}

bool TSimTimers::Runs(const TTimer& timer) const {
    // The uninstaller's watch looks for a file every 0.9 s and would be most of a year's
    // work; no uninstaller runs in the simulation.
    return timer.enabled && timer.name != "tmrShutdown";
}

std::int64_t TSimTimers::NextDue() const {
    std::int64_t next = Never;
    for (const TTimer& timer : timers_) {
        if (Runs(timer)) {
            next = std::min(next, timer.due);
        }
    }
    return next;
}

void TSimTimers::FireDue(
    const std::function<void(const std::string& name, const THandler&)>& around) {
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        if (!Runs(timers_[i]) || timers_[i].due > now_) {
            continue;
        }
        timers_[i].due = now_ + timers_[i].interval;
        // Copied: a handler may add timers and move the vector.
        const std::string name = timers_[i].name;
        const THandler handler = timers_[i].handler;
        around(name, handler);
        if (timers_.empty()) {
            return; // the program went in the handler
        }
    }
}

} // namespace twtest
