#pragma once

#include "base/date_time.h"

namespace tw {

// When the prompt to refresh the to-do memos is due. ReminderChangePeriod: 0 never,
// 1 daily, 2 weekly, 3 fortnightly, 4 monthly.

// Days between prompts: 1, 7, 14, or for monthly the days from `now` to the same time one
// calendar month later (28 to 31; the 31st of a month is followed by the last day of a
// shorter one). 0 for never or an unknown period.
int MemoPromptPeriodDays(int period, TDateTime now);

// Whole days from one clock value to another, rounded to the nearest (3 days and 13 hours
// are 4).
int RoundedDays(TDateTime from, TDateTime to);

// Due when the period is set, the last prompt was shown at least a period ago (in rounded
// days), and the memos have not changed for more than a period.
bool MemoPromptDue(int period, TDateTime changed, TDateTime shown, TDateTime now);

} // namespace tw
