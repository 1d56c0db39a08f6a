// The main window's header time in its three forms.
#include "ui/main_window_time_text.h"

#include "storage/date_format.h"

#include <gtest/gtest.h>

namespace {

using namespace tw;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(18, 5, 0, 0);
TDateTime Hours(double h) {
    return h / 24.0;
}

TEST(HeaderTime, TimeOnListCountsWholeMinutesOnly) {
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeOnList, 0, Hours(2), Now), "00:00");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeOnList, 59, Hours(2), Now), "00:00");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeOnList, 60, Hours(2), Now), "00:01");
    EXPECT_EQ(
        HeaderTimeValue(THeaderTimeFormat::TimeOnList, 2 * 3600 + 29 * 60 + 59, Hours(2), Now),
        "02:29");
    EXPECT_EQ(
        HeaderTimeValue(THeaderTimeFormat::TimeOnList, 23 * 3600 + 59 * 60 + 59, Hours(2), Now),
        "23:59");
}

TEST(HeaderTime, TimeToLimitNeverGoesBelowZero) {
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, 0, Hours(2), Now), "02:00");
    // 59 seconds are not yet a minute: nothing is taken off.
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, 59, Hours(2), Now), "02:00");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, 61, Hours(2), Now), "01:59");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, 2 * 3600, Hours(2), Now), "00:00");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, 2 * 3600 + 30 * 60, Hours(2), Now),
              "00:00");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, 600, 23.0 / 24 + 59.0 / 1440, Now),
              "23:49");
    // A corrupt negative total shows as nothing spent rather than as time gained.
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeToLimit, -600, Hours(2), Now), "02:00");
}

TEST(HeaderTime, TimeNowIsTheClockInTwelveHourForm) {
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeNow, 0, Hours(2), Now), "06:05 PM");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeNow, 0, Hours(2), EncodeDate(2026, 3, 14)),
              "12:00 AM");
    EXPECT_EQ(HeaderTimeValue(THeaderTimeFormat::TimeNow, 0, Hours(2),
                              EncodeDate(2026, 3, 14) + Hours(12)),
              "12:00 PM");
}

TEST(HeaderTime, TitlesAndLinksNameTheNextForm) {
    EXPECT_STREQ(HeaderTimeTitle(THeaderTimeFormat::TimeOnList), "Time on List");
    EXPECT_STREQ(HeaderTimeLink(THeaderTimeFormat::TimeOnList), "Show Time to Limit");
    EXPECT_STREQ(HeaderTimeTitle(THeaderTimeFormat::TimeToLimit), "Time to Limit");
    EXPECT_STREQ(HeaderTimeLink(THeaderTimeFormat::TimeToLimit), "Show Time Now");
    EXPECT_STREQ(HeaderTimeTitle(THeaderTimeFormat::TimeNow), "Time Now");
    EXPECT_STREQ(HeaderTimeLink(THeaderTimeFormat::TimeNow), "Show Time on List");
}

// The start is shown as the clock showed it; the time left counts whole minutes gone.
TEST(BlockTime, EachFormShowsWhatItsTitleSays) {
    const TDateTime utcStart = EncodeDate(2026, 3, 14) + EncodeTime(17, 30, 40, 0);
    const TDateTime utcNow = utcStart + 61.0 / 86400; // 1 min 1 s later
    const TDateTime localNow = utcNow + Hours(1);
    const struct {
        TBlockTimeFormat format;
        const char* value;
    } cases[] = {
        {TBlockTimeFormat::Started, "18:30"},
        {TBlockTimeFormat::EndsIn, "00:29"},
        {TBlockTimeFormat::TimeNow, "18:31"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlockTimeValue(c.format, utcStart, 30.0 / 1440, utcNow, localNow), c.value);
    }
    EXPECT_EQ(BlockTimeValue(TBlockTimeFormat::EndsIn, utcStart, 1.0 / 1440, utcNow, localNow),
              "00:00");
    EXPECT_STREQ(BlockTimeTitle(TBlockTimeFormat::Started), "Focus Started");
    EXPECT_EQ(NextBlockTimeFormat(TBlockTimeFormat::TimeNow), TBlockTimeFormat::Started);
}

} // namespace
