#include "monitor/day_part.h"

#include "storage/date_format.h"

namespace tw {

TDayPart DayPart(TDateTime timeOfDay) {
    // Whole hours of the decoded time, so that 12:00 sharp is never a rounding error
    // away from the afternoon.
    const int hour = DecodeTime(timeOfDay).hour;
    if (hour < 4 || hour >= 18) {
        return TDayPart::Evening;
    }
    return hour >= 12 ? TDayPart::Afternoon : TDayPart::Morning;
}

} // namespace tw
