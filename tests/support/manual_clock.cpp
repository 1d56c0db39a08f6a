#include "support/manual_clock.h"

#include <cmath>

namespace twtest {

void TManualClockSource::Advance(double seconds) {
    ticks_ += std::llround(seconds * Frequency());
    wall_ += seconds / tw::SecondsPerDay;
}

} // namespace twtest
