#include "support/manual_clock.h"

#include <cmath>
#include <cstdlib>

namespace twtest {

TManualClockSource::~TManualClockSource() {
#ifndef _WIN32
    if (zoned_) {
        if (previousTz_) {
            setenv("TZ", previousTz_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
    }
#endif
}

tw::TDateTime TManualClockSource::LocalTime(tw::TDateTime utc) {
    return zoned_ ? tw::SystemLocalTime(utc) : utc;
}

void TManualClockSource::Advance(double seconds) {
    ticks_ += std::llround(seconds * Frequency());
    utc_ += seconds / tw::SecondsPerDay;
}

#ifndef _WIN32
void TManualClockSource::UseZone(const std::string& tz) {
    if (!zoned_) {
        if (const char* previous = std::getenv("TZ")) {
            previousTz_ = previous;
        }
        zoned_ = true;
    }
    setenv("TZ", tz.c_str(), 1);
}
#endif

} // namespace twtest
