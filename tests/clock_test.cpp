#include "storage/clock.h"

#include "storage/date_format.h"
#include "support/manual_clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using namespace tw;
using twtest::TManualClockSource;

constexpr double Tolerance = 0.001 * OneSecond;

const TDateTime Start = EncodeDate(2011, 4, 21) + EncodeTime(18, 5, 9, 0);

class ClockTest : public ::testing::Test {
  protected:
    TManualClockSource source_{Start};
    TClock clock_{source_};
};

TEST_F(ClockTest, StartsAtTheWallClockAndAdvancesOnlyWithTheCounter) {
    EXPECT_EQ(clock_.Now(), Start);
    for (int i = 0; i < 1000; ++i) {
        clock_.Now(); // reading the clock must not move it
    }
    EXPECT_EQ(clock_.Now(), Start);
    source_.Advance(1.5);
    EXPECT_NEAR(clock_.Now(), Start + 1.5 * OneSecond, Tolerance);
    source_.Advance(86400);
    EXPECT_EQ(DateTimeToSQL(clock_.Now()), "2011-04-22 18:05:10");
}

// A counter that moves while it is read: the reads' own cost must not make the clock run
// fast, however often the clock is read.
TEST(ClockReadCostTest, ReadingsDoNotAddTheirOwnCost) {
    class TReadCostingSource : public TManualClockSource {
      public:
        using TManualClockSource::TManualClockSource;
        std::int64_t Ticks() override { return TManualClockSource::Ticks() + 7 * ++reads_; }
        std::int64_t ReadCost() override { return 7; }

      private:
        std::int64_t reads_ = 0;
    };
    TReadCostingSource source(Start);
    const TClock clock(source);
    for (int i = 0; i < 100000; ++i) {
        clock.UtcNow();
    }
    EXPECT_EQ(clock.Now(), Start);
    source.Advance(2);
    EXPECT_NEAR(clock.Now(), Start + 2 * OneSecond, Tolerance);
}

// The user moving the system clock neither gives nor takes allowed time.
TEST_F(ClockTest, AMovedWallClockIsNeitherFollowedNorRealignedTo) {
    for (double moved : {3600.0, -3600.0}) {
        SCOPED_TRACE(moved);
        TDateTime before = clock_.Now();
        source_.MoveWallClock(moved);
        EXPECT_EQ(clock_.Now(), before);
        EXPECT_FALSE(clock_.Realign());
        EXPECT_EQ(clock_.Now(), before);
        source_.Advance(1800); // still ignored at the next re-alignment
        EXPECT_FALSE(clock_.Realign());
        EXPECT_NEAR(clock_.Now(), before + 1800 * OneSecond, Tolerance);
        source_.MoveWallClock(-moved);
    }
}

TEST_F(ClockTest, ASmallDriftIsFollowedByTheNextRealignment) {
    source_.Advance(1800);
    source_.MoveWallClock(2);
    EXPECT_NEAR(clock_.Now(), Start + 1800 * OneSecond, Tolerance);
    EXPECT_TRUE(clock_.Realign());
    EXPECT_NEAR(clock_.Now(), Start + 1802 * OneSecond, Tolerance);
    source_.MoveWallClock(-4);
    EXPECT_TRUE(clock_.Realign());
    EXPECT_NEAR(clock_.Now(), Start + 1798 * OneSecond, Tolerance);
    source_.Advance(10);
    EXPECT_NEAR(clock_.Now(), Start + 1808 * OneSecond, Tolerance);
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
            TClock clock(source);
            source.MoveWallClock(moved);
            bool followed = moved < 300 && moved > -300;
            EXPECT_EQ(clock.Realign(), followed);
            EXPECT_NEAR(clock.Now(), start + (followed ? moved : 0) * OneSecond, Tolerance);
        }
    }
}

// A clock wrong at start is put right soon after boot (a second system's offset, a clock
// battery run down) or when the system says it has set its clock from a time server: those
// corrections are followed whatever their size; later ones by hand are not.
TEST_F(ClockTest, ACorrectionAfterBootOrAtSynchronisationIsFollowed) {
    TManualClockSource source(Start);
    source.Reboot(); // the program starts with the session, just after boot
    TClock clock(source);
    source.Advance(60);
    source.MoveWallClock(-3 * 3600.0);
    EXPECT_NEAR(clock.FollowCorrection(), -3 * OneHour, Tolerance);
    EXPECT_NEAR(clock.Now(), Start + (60 - 3 * 3600) * OneSecond, Tolerance);

    source.Advance(600); // ten minutes up: the person's doing from now on
    source.MoveWallClock(2 * 3600.0);
    EXPECT_EQ(clock.FollowCorrection(), 0);
    source.SetSynchronised(true);
    EXPECT_NEAR(clock.FollowCorrection(), 2 * OneHour, Tolerance);
    source.MoveWallClock(3600);
    EXPECT_EQ(clock.FollowCorrection(), 0); // synchronised already: no news
    EXPECT_NEAR(clock.Now(), Start + (660 - 3600) * OneSecond, Tolerance);
}

// The accounting day starts at 04:00 of the clock's calendar day.
TEST_F(ClockTest, DayPartsFollowTheProgramClock) {
    const TDateTime day = EncodeDate(2011, 4, 21);
    EXPECT_EQ(clock_.Today(), day);
    EXPECT_NEAR(clock_.TimeOfDay(), EncodeTime(18, 5, 9, 0), Tolerance);
    EXPECT_NEAR(clock_.DayStartToday(), day + 4 * OneHour, Tolerance);

    source_.Advance(8 * 3600); // 02:05:09 the next day, before that day's start
    EXPECT_EQ(clock_.Today(), day + 1);
    EXPECT_NEAR(clock_.DayStartToday(), day + 1 + 4 * OneHour, Tolerance);
    EXPECT_EQ(DateTimeToSQL(clock_.DayStartToday()), "2011-04-22 04:00:00");

    source_.MoveWallClock(86400); // a wall-clock day ahead changes nothing
    EXPECT_EQ(clock_.Today(), day + 1);
}

} // namespace
