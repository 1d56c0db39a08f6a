#include "base/json_text.h"
#include "monitor/day_part.h"
#include "monitor/scan_engine.h"
#include "storage/date_format.h"

#include <gtest/gtest.h>

namespace {

TEST(DayPartTest, BoundariesFallOnTheHour) {
    struct Case {
        int hour, minute, second;
        tw::TDayPart part;
    };
    for (const Case& c :
         {Case{0, 0, 0, tw::TDayPart::Evening}, Case{3, 59, 59, tw::TDayPart::Evening},
          Case{4, 0, 0, tw::TDayPart::Morning}, Case{11, 59, 59, tw::TDayPart::Morning},
          Case{12, 0, 0, tw::TDayPart::Afternoon}, Case{17, 59, 59, tw::TDayPart::Afternoon},
          Case{18, 0, 0, tw::TDayPart::Evening}, Case{23, 59, 59, tw::TDayPart::Evening}}) {
        EXPECT_EQ(tw::DayPart(tw::EncodeTime(c.hour, c.minute, c.second, 0)), c.part)
            << c.hour << ":" << c.minute << ":" << c.second;
    }
    // A whole clock value works as well as a bare time of day.
    EXPECT_EQ(tw::DayPart(tw::EncodeDate(2026, 12, 7) + tw::EncodeTime(12, 0, 0, 0)),
              tw::TDayPart::Afternoon);
}

TEST(SecondsBetweenTest, RoundsToNearestWithHalvesToEven) {
    const tw::TDateTime start = tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour;
    auto after = [&](double seconds) { return start + seconds / tw::SecondsPerDay; };
    EXPECT_EQ(tw::SecondsBetween(start, after(3)), 3);
    EXPECT_EQ(tw::SecondsBetween(start, after(2.4)), 2);
    EXPECT_EQ(tw::SecondsBetween(start, after(2.6)), 3);
    EXPECT_EQ(tw::SecondsBetween(start, after(3600)), 3600);
    EXPECT_EQ(tw::SecondsBetween(start, start), 0);
    EXPECT_EQ(tw::SecondsBetween(start, start + 100000), 2147483647); // clamped, never wraps
}

TEST(JsonQuoteTest, EscapesWhatJsonRequires) {
    EXPECT_EQ(tw::JsonQuote("C:\\Program Files\\\"x\".exe"),
              "\"C:\\\\Program Files\\\\\\\"x\\\".exe\"");
    EXPECT_EQ(tw::JsonQuote("a\nb\tc\x01"), "\"a\\nb\\tc\\u0001\"");
    EXPECT_EQ(tw::JsonQuote("Grüße"), "\"Grüße\"");
}

} // namespace
