#pragma once

#include "base/date_time.h"
#include "storage/reminder_change_period.h"

namespace tw {

// When the prompt to refresh the to-do memos is due.

// Days between prompts: 1, 7, 14, or for monthly the days from `now` to the same time one
// calendar month later (28 to 31; the 31st of a month is followed by the last day of a
// shorter one). 0 for never.
int MemoPromptPeriodDays(TReminderChangePeriod period, TDateTime now);

// Whole days from one clock value to another, rounded to the nearest (3 days and 13 hours
// are 4).
int RoundedDays(TDateTime from, TDateTime to);

// Due when the period is set, the last prompt was shown at least a period ago (in rounded
// days), and the memos have not changed for more than a period.
bool MemoPromptDue(TReminderChangePeriod period, TDateTime changed, TDateTime shown, TDateTime now);

} // namespace tw
