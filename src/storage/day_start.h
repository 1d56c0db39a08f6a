#pragma once

#include "base/date_time.h"

namespace tw {

// The first 04:00 after the moment (today's before it, tomorrow's from it on). The
// program's day begins at 04:00 rather than at midnight, so that an evening that runs past
// midnight still counts to the day it began, and the daily reset falls while nobody is at
// the computer.
TDateTime NextDayStart(TDateTime moment);

} // namespace tw
