// When the prompt to refresh the to-do memos is due: its period by frequency (a calendar
// month for "monthly"), the last showing, and the last change of a memo.
#include "monitor/memo_prompt.h"
#include "storage/date_format.h"

#include <gtest/gtest.h>

namespace {

using namespace tw;
using P = TReminderChangePeriod;

const TDateTime Noon = EncodeTime(12, 0, 0, 0);

TEST(MemoPromptTest, PeriodsByFrequencyAndAMonthOfTheCalendar) {
    const TDateTime now = EncodeDate(2026, 3, 14) + Noon;
    EXPECT_EQ(MemoPromptPeriodDays(P::Never, now), 0);
    EXPECT_EQ(MemoPromptPeriodDays(P::Daily, now), 1);
    EXPECT_EQ(MemoPromptPeriodDays(P::Weekly, now), 7);
    EXPECT_EQ(MemoPromptPeriodDays(P::Fortnightly, now), 14);
    EXPECT_EQ(MemoPromptPeriodDays(P::Monthly, now), 31); // to 14 April
    EXPECT_EQ(MemoPromptPeriodDays(P::Monthly, EncodeDate(2026, 1, 31) + Noon),
              28); // to 28 February
    EXPECT_EQ(MemoPromptPeriodDays(P::Monthly, EncodeDate(2028, 1, 31) + Noon), 29); // a leap year
    EXPECT_EQ(MemoPromptPeriodDays(P::Monthly, EncodeDate(2026, 12, 31) + Noon),
              31); // to 31 January
    EXPECT_EQ(RoundedDays(now - 3 - 13 * OneHour, now), 4);
    EXPECT_EQ(RoundedDays(now - 3 - 11 * OneHour, now), 3);
}

TEST(MemoPromptTest, DueOnlyAPeriodAfterTheLastShowingAndTheLastChange) {
    const TDateTime now = EncodeDate(2026, 3, 14) + Noon;
    const P weekly = P::Weekly;
    EXPECT_TRUE(MemoPromptDue(weekly, now - 8, now - 8, now));
    // Shown on day 0: not again before day 7 (shown rounds to whole days).
    EXPECT_FALSE(MemoPromptDue(weekly, now - 30, now - 6.4, now));
    EXPECT_TRUE(MemoPromptDue(weekly, now - 30, now - 6.6, now));
    // A memo changed within the week puts the next prompt a week after the change.
    EXPECT_FALSE(MemoPromptDue(weekly, now - 7, now - 30, now));
    EXPECT_TRUE(MemoPromptDue(weekly, now - 7.01, now - 30, now));
    EXPECT_FALSE(MemoPromptDue(P::Never, now - 300, now - 300, now));     // never
    EXPECT_TRUE(MemoPromptDue(P::Daily, now - 1.1, now - 1, now));        // daily
    EXPECT_FALSE(MemoPromptDue(P::Fortnightly, now - 13, now - 30, now)); // fortnightly
}

} // namespace
