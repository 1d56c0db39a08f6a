#include "monitor/memo_prompt.h"

#include "storage/date_format.h"

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

int DaysInMonth(int year, int month) {
    const TDateTime first = EncodeDate(year, month, 1);
    const TDateTime next =
        month == 12 ? EncodeDate(year + 1, 1, 1) : EncodeDate(year, month + 1, 1);
    return static_cast<int>(std::lround(next - first));
}

} // namespace

int MemoPromptPeriodDays(TReminderChangePeriod period, TDateTime now) {
    switch (period) {
    case TReminderChangePeriod::Daily:
        return 1;
    case TReminderChangePeriod::Weekly:
        return 7;
    case TReminderChangePeriod::Fortnightly:
        return 14;
    case TReminderChangePeriod::Monthly: {
        const TDateParts today = DecodeDate(now);
        const int year = today.month == 12 ? today.year + 1 : today.year;
        const int month = today.month == 12 ? 1 : today.month + 1;
        const int day = std::min(today.day, DaysInMonth(year, month));
        return static_cast<int>(std::lround(EncodeDate(year, month, day) -
                                            EncodeDate(today.year, today.month, today.day)));
    }
    case TReminderChangePeriod::Never:
        break;
    }
    return 0;
}

int RoundedDays(TDateTime from, TDateTime to) {
    return static_cast<int>(std::lround(to - from));
}

bool MemoPromptDue(TReminderChangePeriod period, TDateTime changed, TDateTime shown,
                   TDateTime now) {
    const int days = MemoPromptPeriodDays(period, now);
    if (days == 0 || RoundedDays(shown, now) < days) {
        return false;
    }
    return now > changed + days;
}

} // namespace tw
