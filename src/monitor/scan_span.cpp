#include "monitor/scan_span.h"

#include "storage/clock.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw {

TScanSpan::TScanSpan(const TClock& clock) : clock_(clock), lastScanTime_(clock.UtcNow()) {}

void TScanSpan::Restart() {
    lastScanTime_ = clock_.UtcNow();
}

void TScanSpan::BeginCycle() {
    cycleStart_ = clock_.UtcNow();
}

int TScanSpan::CreditedSeconds(int scanPeriodSeconds) const {
    // A gap the program did not hear of (a sleep without notice, a stopped process, a frozen
    // session) is not time in front of the list; a late timer is. The time this cycle spent
    // with the person (the reminder) was seen, and counts in full.
    const int most = 2 * scanPeriodSeconds;
    return std::clamp(SecondsBetween(lastScanTime_, cycleStart_), 0, most) +
           std::max(SecondsBetween(cycleStart_, clock_.UtcNow()), 0);
}

int SecondsBetween(TDateTime from, TDateTime to) {
    const double seconds = std::nearbyint((to - from) * SecondsPerDay); // ties to even
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return static_cast<int>(std::fmin(std::fmax(seconds, low), high));
}

} // namespace tw
