#pragma once

#include <cstdint>
#include <ctime>

namespace tw {

// A counter of the time since the system started that goes on while the machine sleeps
// (where the system keeps none, the nearest it has), in ticks of TimeCounterFrequency() a
// second.
std::int64_t TimeCounterTicks();
std::int64_t TimeCounterFrequency();

// The calendar time of the moment in the zone in force now, not the one the C library read
// at start.
std::tm LocalCalendarTime(std::time_t seconds);

} // namespace tw
