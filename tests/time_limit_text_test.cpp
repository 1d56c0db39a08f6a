#include "base/exception.h"
#include "storage/time_limit_text.h"

#include <gtest/gtest.h>

namespace {

using tw::TimeLimitProblem;

TEST(TimeLimitTest, UsableLimitsPass) {
    EXPECT_EQ(TimeLimitProblem("23:59"), "");
    EXPECT_EQ(TimeLimitProblem("00:01"), "");
    EXPECT_EQ(TimeLimitProblem("1:5"), "");
    EXPECT_EQ(TimeLimitProblem(" 2:30"), ""); // a half-filled mask
    EXPECT_DOUBLE_EQ(tw::TextToTimeLimit("01:30"), 90 / 1440.0);
}

TEST(TimeLimitTest, EmptyAndTooLargeLimitsAreNamed) {
    EXPECT_EQ(TimeLimitProblem("00:00"), "Limit can't be empty");
    EXPECT_EQ(TimeLimitProblem("24:00"), "Limit can't be greater than 23:59");
    EXPECT_EQ(TimeLimitProblem("99:59"), "Limit can't be greater than 23:59");
}

TEST(TimeLimitTest, UnreadableTextGivesTheConversionMessage) {
    EXPECT_EQ(TimeLimitProblem("ab:cd"), "'ab:cd' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("  :  "), "'  :  ' is not a valid time");
    EXPECT_EQ(TimeLimitProblem(":"), "':' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("12:60"), "'12:60' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("123:00"), "'123:00' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("1200"), "'1200' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("-1:30"), "'-1:30' is not a valid time");
    EXPECT_THROW(tw::TextToTimeLimit("x"), tw::EConvertError);
}

} // namespace
