#pragma once

namespace tw {

// Days since 30 December 1899; the time of day is the fraction (one second = 1/86400).
using TDateTime = double;

inline constexpr double SecondsPerDay = 86400.0;
inline constexpr TDateTime OneHour = 1.0 / 24.0;
inline constexpr TDateTime OneSecond = 1.0 / SecondsPerDay;

} // namespace tw
