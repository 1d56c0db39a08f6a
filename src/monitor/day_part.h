#pragma once

#include "base/date_time.h"

namespace tw {

// The parts of the day, each with a memo of its own.
enum class TDayPart { Morning, Afternoon, Evening };

// The part of the day of a time of day: Morning 04:00 to before 12:00, Afternoon 12:00 to
// before 18:00, Evening otherwise (the day of this program starts at 04:00).
TDayPart DayPart(TDateTime timeOfDay);

// Where a part's memo stands among the three: the stored memos and the memo list follow the
// parts' order.
constexpr int DayPartIndex(TDayPart part) {
    return part == TDayPart::Afternoon ? 1 : part == TDayPart::Evening ? 2 : 0;
}

} // namespace tw
