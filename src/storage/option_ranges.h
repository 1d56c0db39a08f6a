#pragma once

#include "base/date_time.h"

#include <string>

namespace tw {

// The numbers the options keep, with the values the program uses when none is stored. A
// stored value outside its range (hand-edited, or written by something else) gets the
// default, never a scan that stops or a limit that overflows.
inline constexpr int DefaultScanPeriodSeconds = 3;
inline constexpr int MaxScanPeriodSeconds = 60;
inline constexpr int DefaultTimeLimitSeconds = 28800;
// The longest limit a window accepts is 23:59.
inline constexpr int MaxTimeLimitSeconds = 23 * 3600 + 59 * 60;

// The stored text as a decimal integer in [low, high]; anything else gives the default.
int StoredInteger(const std::string& text, int low, int high, int def);
// A stored day count (DayCountToText's form) between 1900 and 9999; anything else gives
// the default.
TDateTime StoredDayCount(const std::string& text, TDateTime def);
// Whether a pending limit from the settings file can be applied.
inline bool IsValidTimeLimit(int seconds) {
    return seconds > 0 && seconds <= MaxTimeLimitSeconds;
}

} // namespace tw
