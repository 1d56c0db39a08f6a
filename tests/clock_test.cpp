#include "storage/clock.h"

#include "storage/date_format.h"
#include "support/manual_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace tw;
using twtest::TManualClockSource;

constexpr double Tolerance = 0.001 * OneSecond;

const TDateTime Start = EncodeDate(2011, 4, 21) + EncodeTime(18, 5, 9, 0);

class ClockTest : public ::testing::Test {
  protected:
    void SetUp() override { ClockInstallSource(&source_); }
    void TearDown() override { ClockInstallSource(nullptr); }

    TManualClockSource source_{Start};
};

TEST_F(ClockTest, StartsAtTheWallClockAndAdvancesOnlyWithTheCounter) {
    EXPECT_EQ(ClockNow(), Start);
    for (int i = 0; i < 1000; ++i) {
        ClockNow(); // reading the clock must not move it
    }
    EXPECT_EQ(ClockNow(), Start);
    source_.Advance(1.5);
    EXPECT_NEAR(ClockNow(), Start + 1.5 * OneSecond, Tolerance);
    source_.Advance(86400);
    EXPECT_EQ(DateTimeToSQL(ClockNow()), "2011-04-22 18:05:10");
}

// The user moving the system clock neither gives nor takes allowed time.
TEST_F(ClockTest, AMovedWallClockIsNeitherFollowedNorRealignedTo) {
    for (double moved : {3600.0, -3600.0}) {
        SCOPED_TRACE(moved);
        TDateTime before = ClockNow();
        source_.MoveWallClock(moved);
        EXPECT_EQ(ClockNow(), before);
        EXPECT_FALSE(ClockRealign());
        EXPECT_EQ(ClockNow(), before);
        source_.Advance(1800); // still ignored at the next re-alignment
        EXPECT_FALSE(ClockRealign());
        EXPECT_NEAR(ClockNow(), before + 1800 * OneSecond, Tolerance);
        source_.MoveWallClock(-moved);
    }
}

TEST_F(ClockTest, ASmallDriftIsFollowedByTheNextRealignment) {
    source_.Advance(1800);
    source_.MoveWallClock(2);
    EXPECT_NEAR(ClockNow(), Start + 1800 * OneSecond, Tolerance);
    EXPECT_TRUE(ClockRealign());
    EXPECT_NEAR(ClockNow(), Start + 1802 * OneSecond, Tolerance);
    source_.MoveWallClock(-4);
    EXPECT_TRUE(ClockRealign());
    EXPECT_NEAR(ClockNow(), Start + 1798 * OneSecond, Tolerance);
    source_.Advance(10);
    EXPECT_NEAR(ClockNow(), Start + 1808 * OneSecond, Tolerance);
}

// Five minutes exactly is already too much, whatever the date's rounding.
TEST_F(ClockTest, RealignmentFollowsOnlyDifferencesUnderFiveMinutes) {
    const std::vector<TDateTime> starts = {Start, EncodeDate(2024, 2, 29) + 0.1,
                                           EncodeDate(2037, 12, 31) + EncodeTime(23, 57, 0, 0),
                                           EncodeDate(1999, 7, 3) + 0.7};
    for (TDateTime start : starts) {
        for (double moved : {300.0, -300.0, 299.999, -299.999}) {
            SCOPED_TRACE(DateTimeToSQL(start) + " moved " + std::to_string(moved));
            TManualClockSource source(start);
            ClockInstallSource(&source);
            source.MoveWallClock(moved);
            bool followed = moved < 300 && moved > -300;
            EXPECT_EQ(ClockRealign(), followed);
            EXPECT_NEAR(ClockNow(), start + (followed ? moved : 0) * OneSecond, Tolerance);
        }
    }
    ClockInstallSource(&source_);
}

// A clock wrong at start is put right soon after boot (a second system's offset, a clock
// battery run down) or when the system says it has set its clock from a time server: those
// corrections are followed whatever their size; later ones by hand are not.
TEST_F(ClockTest, ACorrectionAfterBootOrAtSynchronisationIsFollowed) {
    TManualClockSource source(Start);
    source.Reboot(); // the program starts with the session, just after boot
    ClockInstallSource(&source);
    source.Advance(60);
    source.MoveWallClock(-3 * 3600.0);
    EXPECT_NEAR(ClockFollowCorrection(), -3 * OneHour, Tolerance);
    EXPECT_NEAR(ClockNow(), Start + (60 - 3 * 3600) * OneSecond, Tolerance);

    source.Advance(600); // ten minutes up: the person's doing from now on
    source.MoveWallClock(2 * 3600.0);
    EXPECT_EQ(ClockFollowCorrection(), 0);
    source.SetSynchronised(true);
    EXPECT_NEAR(ClockFollowCorrection(), 2 * OneHour, Tolerance);
    source.MoveWallClock(3600);
    EXPECT_EQ(ClockFollowCorrection(), 0); // synchronised already: no news
    EXPECT_NEAR(ClockNow(), Start + (660 - 3600) * OneSecond, Tolerance);
    ClockInstallSource(&source_);
}

TEST_F(ClockTest, ClockAdjustMovesTheClockByTheDelta) {
    ClockAdjust(-OneHour);
    EXPECT_NEAR(ClockNow(), Start - OneHour, Tolerance);
}

// The accounting day starts at 04:00 of the clock's calendar day.
TEST_F(ClockTest, DayPartsFollowTheProgramClock) {
    const TDateTime day = EncodeDate(2011, 4, 21);
    EXPECT_EQ(ClockToday(), day);
    EXPECT_NEAR(ClockTimeOfDay(), EncodeTime(18, 5, 9, 0), Tolerance);
    EXPECT_NEAR(DayStartToday(), day + 4 * OneHour, Tolerance);

    source_.Advance(8 * 3600); // 02:05:09 the next day, before that day's start
    EXPECT_EQ(ClockToday(), day + 1);
    EXPECT_NEAR(DayStartToday(), day + 1 + 4 * OneHour, Tolerance);
    EXPECT_EQ(DateTimeToSQL(DayStartToday()), "2011-04-22 04:00:00");

    source_.MoveWallClock(86400); // a wall-clock day ahead changes nothing
    EXPECT_EQ(ClockToday(), day + 1);
}

} // namespace
