#pragma once

#include "base/date_time.h"

namespace tw {

enum TDayPart : int { dpMorning = 0, dpAfternoon = 1, dpEvening = 2 };

// The part of the day of a time of day: Morning 04:00 to before 12:00, Afternoon 12:00 to
// before 18:00, Evening otherwise (the day of this program starts at 04:00).
int DayPart(TDateTime timeOfDay);

} // namespace tw
