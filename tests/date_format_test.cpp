#include "storage/date_format.h"

#include "base/exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tw;

constexpr double OneMillisecond = 1.0 / 86400000.0;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TEST(DateFormatTest, DayCountsStartAtTheEndOf1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(2011, 4, 21), 40654.0);
    EXPECT_EQ(DateTimeToSQL(0), "1899-12-30 00:00:00");
}

TEST(DateFormatTest, SQLTextsHaveFourDigitYearsAndTwoDigitFields) {
    EXPECT_EQ(DateTimeToSQL(At(2011, 4, 21, 18, 5, 9)), "2011-04-21 18:05:09");
    EXPECT_EQ(DateToText(At(2011, 4, 21, 18, 5, 9)), "2011-04-21");
    EXPECT_EQ(DateTimeToSQL(EncodeDate(812, 1, 2)), "0812-01-02 00:00:00");
    EXPECT_EQ(DateTimeToSQL(At(2012, 2, 29, 23, 59, 59)), "2012-02-29 23:59:59");
}

// Texts show the time to the nearest millisecond, then drop the milliseconds: 999.6 ms
// is a whole second, and the carry can reach the day, month and year.
TEST(DateFormatTest, MillisecondRoundingCarriesIntoTheNextSecondAndDay) {
    struct Case {
        TDateTime value;
        const char* text;
    };
    const std::vector<Case> cases = {
        {At(2011, 4, 21, 18, 5, 8, 999) + 0.6 * OneMillisecond, "2011-04-21 18:05:09"},
        {At(2011, 4, 21, 18, 5, 8, 999) + 0.4 * OneMillisecond, "2011-04-21 18:05:08"},
        {At(2011, 4, 21, 23, 59, 59, 999) + 0.6 * OneMillisecond, "2011-04-22 00:00:00"},
        {At(2011, 12, 31, 23, 59, 59, 999) + 0.6 * OneMillisecond, "2012-01-01 00:00:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateTimeToSQL(c.value), c.text);
    }
    EXPECT_EQ(DateToText(cases[3].value), "2012-01-01");
}

TEST(DateFormatTest, TextToDateReadsWhatDateToTextWrites) {
    EXPECT_EQ(TextToDate("2011-04-21"), 40654.0);
    EXPECT_EQ(TextToDate("2011-4-1"), EncodeDate(2011, 4, 1));
    for (const char* text : {"0001-01-01", "2012-02-29", "9999-12-31"}) {
        EXPECT_EQ(DateToText(TextToDate(text)), text);
    }
}

TEST(DateFormatTest, TextToDateRejectsMalformedTexts) {
    for (const char* text : {"", "20110421", "2011-04", "2011-04-21-", "2011--04-21"}) {
        EXPECT_THROW(TextToDate(text), EAssertionFailed) << text;
    }
    for (const char* text : {"2011-02-30", "2011-13-01", "2011-00-10", "0-1-1", "x-1-1",
                             "70000-1-1", "2011-4-", "2011-4-1x", "2011- 4-1", "2011-+4-1"}) {
        EXPECT_THROW(TextToDate(text), EConvertError) << text;
    }
}

TEST(DateFormatTest, DayCountsAreWrittenWithACommaAndReadBack) {
    EXPECT_EQ(DayCountToText(40654.75), "40654,75");
    EXPECT_EQ(DayCountToText(40654), "40654");
    EXPECT_EQ(DayCountToText(0.1 + 0.2), "0,3"); // 15 significant digits
    EXPECT_EQ(TextToDayCount("40654,75"), 40654.75);
    EXPECT_EQ(TextToDayCount(" 40654 "), 40654.0);
    TDateTime stamp = At(2011, 4, 21, 18, 5, 9, 123);
    EXPECT_NEAR(TextToDayCount(DayCountToText(stamp)), stamp, OneMillisecond / 100);
}

// A stored day count that is not one must fail its load, not become a strange date.
TEST(DateFormatTest, TextToDayCountRejectsAnythingElse) {
    for (const char* text : {"40654.75", "1,2,3", "", "abc", "40654,75x", "nan", "inf", "-inf"}) {
        EXPECT_THROW(TextToDayCount(text), EConvertError) << text;
    }
}

TEST(DateFormatTest, HourMinuteShowsTheTimeOfDayAndWrapsLongDurations) {
    EXPECT_EQ(FormatHourMinute(28800 / 86400.0), "08:00");
    EXPECT_EQ(FormatHourMinute(25 * OneHour), "01:00");
    EXPECT_EQ(FormatHourMinute(7199 * OneSecond), "01:59"); // seconds are cut, not rounded
    EXPECT_EQ(FormatHourMinute(At(2011, 4, 21, 18, 5, 9)), "18:05");
}

TEST(DateFormatTest, MinuteSecondShowsTheCountdown) {
    EXPECT_EQ(FormatMinuteSecond(59 * OneSecond), "00:59");
    EXPECT_EQ(FormatMinuteSecond(125.5 * OneSecond), "02:05");
    EXPECT_EQ(FormatMinuteSecond(3599 * OneSecond), "59:59");
    EXPECT_EQ(FormatMinuteSecond(3600 * OneSecond), "00:00"); // the hour is not shown
}

TEST(DateFormatTest, Clock12UsesTwelveForMidnightAndNoon) {
    struct Case {
        int hour, minute;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0, 5, "12:05 AM"},  {1, 0, "01:00 AM"},  {11, 59, "11:59 AM"},
        {12, 0, "12:00 PM"}, {18, 5, "06:05 PM"}, {23, 59, "11:59 PM"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatClock12(EncodeDate(2011, 4, 21) + EncodeTime(c.hour, c.minute, 0, 0)),
                  c.text);
    }
}

} // namespace
