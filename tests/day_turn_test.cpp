// The day's total, the 04:00 reset and the rows' dates through what happens to a clock in
// ordinary life: a night of sleep, daylight saving, a new time zone, a clock set by hand.
#include "monitor/scan_engine.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "storage/date_format.h"
#include "support/test_data_folder.h"
#include "support/test_scan_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using tw::EncodeDate;
using tw::EncodeTime;
using tw::TDateTime;

const char* const Game = "C:\\Games\\game.exe";

class DayTurnTest : public testing::Test {
  protected:
    // Plays from half a minute past the moment, so that no scan falls exactly on 04:00.
    void StartAt(TDateTime utc, const std::string& zone) {
        Finish();
        // Days of scans, one row each: a memory file system keeps that quick.
        const auto memory = std::filesystem::is_directory("/dev/shm")
                                ? std::filesystem::path("/dev/shm")
                                : std::filesystem::temp_directory_path();
        folder_ = std::make_unique<twtest::TestDataFolder>(utc + 30 * tw::OneSecond, memory);
#ifndef _WIN32
        folder_->Clock().UseZone(zone);
#else
        (void)zone;
#endif
        folder_->RestartClock(); // the program starts in that zone
        options_ = std::make_unique<tw::TOptions>(folder_->Data());
        options_->Edit().ScanPeriodSeconds = 60; // as the scans below come
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = Game;
        item->Caption = "Game";
        item->ItemType = tw::TMonitoredItemType::mitApp;
        options_->Edit().MonitoredList.Add("Game", std::move(item));
        ASSERT_TRUE(options_->MonitoredItemsSave());
        engine_ = std::make_unique<tw::TScanEngine>(desktop_, *options_, host_, host_, true);
        desktop_.SetForeground(tw::AddEditorWindow(desktop_, Game));
    }
    void TearDown() override {
        Finish();
    }
    void Finish() {
        engine_.reset();
        options_.reset();
        folder_.reset();
        host_ = twtest::TTestScanHost{};
    }
    // Plays for the given time, scanning every minute.
    void Play(int minutes) {
        for (int i = 0; i < minutes; ++i) {
            folder_->Clock().Advance(60);
            engine_->ScanTimer();
        }
    }
    // Plays until the moment, scanning every minute.
    void PlayUntil(TDateTime utc) {
        while (folder_->ProgramClock().UtcNow() + 60 * tw::OneSecond <= utc + 31 * tw::OneSecond) {
            Play(1);
        }
    }
    int Total() {
        return engine_->Logger().Total;
    }
    int Resets() const {
        return host_.redisplays;
    }
    std::string LastRowDate() {
        return folder_->Scalar("actmondb.sqlite",
                               "SELECT date_created FROM applications ORDER BY rowid DESC LIMIT 1");
    }
    static TDateTime Utc(int y, int m, int d, int h, int min = 0) {
        return EncodeDate(y, m, d) + EncodeTime(h, min, 0, 0);
    }

    tw::TFakeDesktop desktop_;
    twtest::TTestScanHost host_;
    std::unique_ptr<twtest::TestDataFolder> folder_;
    std::unique_ptr<tw::TOptions> options_;
    std::unique_ptr<tw::TScanEngine> engine_;
};

// A night asleep is a night: the reset comes with the local 04:00 that passed in the sleep,
// the sleep itself is not counted, and the rows carry the local time of the morning.
TEST_F(DayTurnTest, ANightAsleepEndsTheDayAndIsNotCounted) {
    StartAt(Utc(2026, 12, 7, 21), "CET-1CEST,M3.5.0,M10.5.0/3");
    Play(10);
    EXPECT_EQ(Total(), 600);
    EXPECT_EQ(LastRowDate(), "2026-12-07 22:10:30");

    engine_->HandleNotice(tw::TDesktopNotice::Suspend);
    folder_->Clock().Advance(8 * 3600);
    engine_->HandleNotice(tw::TDesktopNotice::Resume);
    Play(1);
    EXPECT_EQ(Resets(), 1);
    EXPECT_EQ(Total(), 60);
    EXPECT_EQ(LastRowDate(), "2026-12-08 06:11:30");
}

#ifndef _WIN32
// Daylight saving moves the local 04:00 by an hour of real time, both ways, in Europe and in
// the US; the reset follows the local clock on the wall, and no played minute is lost or
// counted twice at the change.
TEST_F(DayTurnTest, TheResetFollowsDaylightSavingChanges) {
    struct TCase {
        const char* zone;
        TDateTime startUtc;      // the evening before
        TDateTime lastMinuteUtc; // local 03:59 after the change
        const char* lastRowBefore;
        const char* firstRowAfter; // a minute later: the new day
    };
    const char* const europe = "CET-1CEST,M3.5.0,M10.5.0/3";
    const char* const us = "EST5EDT,M3.2.0,M11.1.0";
    const TCase cases[] = {
        {europe, Utc(2026, 3, 28, 22), Utc(2026, 3, 29, 1, 59), "2026-03-29 03:59:30",
         "2026-03-29 04:00:30"},
        {europe, Utc(2026, 10, 24, 22), Utc(2026, 10, 25, 2, 59), "2026-10-25 03:59:30",
         "2026-10-25 04:00:30"},
        {us, Utc(2026, 3, 8, 4), Utc(2026, 3, 8, 7, 59), "2026-03-08 03:59:30",
         "2026-03-08 04:00:30"},
        {us, Utc(2026, 11, 1, 4), Utc(2026, 11, 1, 8, 59), "2026-11-01 03:59:30",
         "2026-11-01 04:00:30"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.lastRowBefore);
        StartAt(c.startUtc, c.zone);
        PlayUntil(c.lastMinuteUtc);
        EXPECT_EQ(Resets(), 0);
        EXPECT_EQ(LastRowDate(), c.lastRowBefore);
        // Every minute of real time played, whatever the hour on the wall did.
        EXPECT_EQ(Total(), std::lround((c.lastMinuteUtc - c.startUtc) * tw::SecondsPerDay));
        Play(1);
        EXPECT_EQ(Resets(), 1);
        EXPECT_EQ(LastRowDate(), c.firstRowAfter);
        EXPECT_EQ(Total(), 60);
    }
}

// A new zone is followed at once, yet it neither begins a day early nor folds two into one:
// a day is never shorter than 20 hours of program clock, and a row written while the local
// clock stands outside the day is dated inside it. Forward across the date line (26 hours,
// a one-minute way around the limit) and back.
TEST_F(DayTurnTest, ANewTimeZoneNeitherBeginsADayEarlyNorMergesTwo) {
    StartAt(Utc(2026, 12, 7, 17), "<-12>12"); // 05:00 of the 7th
    Play(60);
    folder_->Clock().UseZone("<+14>-14"); // 06:00 of the 7th becomes 08:00 of the 8th
    Play(1);
    EXPECT_EQ(Resets(), 0);
    EXPECT_EQ(Total(), 61 * 60);
    EXPECT_EQ(LastRowDate(), "2026-12-08 03:59:59");
    PlayUntil(Utc(2026, 12, 8, 11, 59)); // 20 hours after that day began at 16:00
    EXPECT_EQ(Resets(), 0);
    Play(1);
    EXPECT_EQ(Resets(), 1);
    EXPECT_EQ(LastRowDate(), "2026-12-09 02:00:30");
    EXPECT_EQ(Total(), 60);
    // 04:00 of the 9th comes two hours later; the next day waits for its 20 hours.
    PlayUntil(Utc(2026, 12, 9, 7, 59));
    EXPECT_EQ(Resets(), 1);
    Play(1);
    EXPECT_EQ(Resets(), 2);

    folder_->Clock().UseZone("<-12>12"); // 22:00 of the 9th becomes 20:00 of the 8th
    Play(1);
    EXPECT_EQ(Resets(), 2);
    EXPECT_EQ(LastRowDate(), "2026-12-09 04:00:00");
    EXPECT_EQ(Total(), 120);
}
#endif

// Setting the system clock by hand neither ends the day nor moves the rows: the time played
// goes on being counted in the program's own time.
TEST_F(DayTurnTest, AClockSetByHandIsNotFollowed) {
    StartAt(Utc(2026, 12, 7, 12), "UTC0");
    Play(5);
    for (double moved : {-2.0 * 3600, 3.0 * 86400}) {
        folder_->Clock().MoveWallClock(moved);
        engine_->TimeSynchronizationTimer();
        Play(5);
    }
    EXPECT_EQ(Resets(), 0);
    EXPECT_EQ(Total(), 15 * 60);
    EXPECT_EQ(LastRowDate(), "2026-12-07 12:15:30");
}

} // namespace

namespace {

// The program day's rules as plain values, where the cases above cannot reach: local times
// that jump, clocks that were ahead, stored days from before the start was kept.
TEST(ProgramDayTest, BeginsAndIsPulledBack) {
    const TDateTime d = EncodeDate(2026, 12, 7);
    const TDateTime h = tw::OneHour;
    struct TCase {
        const char* what;
        tw::TProgramDay day;
        TDateTime local, utc;
        bool due;
        TDateTime nextEnd, nextStartUtc; // the day that begins now (when due)
    };
    const TCase cases[] = {
        {"04:00 a day on",
         {d + 4 * h, d - 1 + 4 * h},
         d + 4 * h,
         d + 4 * h,
         true,
         d + 1 + 4 * h,
         d + 4 * h},
        {"a minute before",
         {d + 4 * h, d - 1 + 4 * h},
         d + 4 * h - h / 60,
         d + 4 * h - h / 60,
         false,
         0,
         0},
        {"02:00 after days off: the night's day",
         {d - 2 + 4 * h, d - 3 + 4 * h},
         d + 2 * h,
         d + 2 * h,
         true,
         d + 4 * h,
         d - 1 + 4 * h},
        {"a zone 26 h on, 2 h after the start",
         {d + 4 * h, d - 1 + 16 * h},
         d + 8 * h,
         d - 1 + 18 * h,
         false,
         0,
         0},
        {"that zone, 20 h after the start",
         {d + 4 * h, d - 1 + 16 * h},
         d + 1 + 2 * h,
         d + 12 * h,
         true,
         d + 1 + 4 * h,
         d + 12 * h},
        {"unknown start", {d + 4 * h, 0}, d + 5 * h, d + 5 * h, true, d + 1 + 4 * h, d + 4 * h},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.day.NextIsDue(c.local, c.utc), c.due);
        if (c.due) {
            const tw::TProgramDay next = c.day.Next(c.local, c.utc);
            EXPECT_NEAR(next.End, c.nextEnd, 1e-9);
            EXPECT_NEAR(next.StartUtc, c.nextStartUtc, 1e-9);
            EXPECT_GE(next.StartUtc - c.day.StartUtc, tw::MinimumDayLength - 1e-9);
        }
    }

    // Stored by a clock 200 days ahead, or by one that ran a day ahead: pulled back to the day
    // the clock is in. Across the date line alone, kept.
    struct TPull {
        tw::TProgramDay day;
        bool pulled;
    };
    for (const TPull& p :
         {TPull{{d + 201 + 4 * h, d + 200 + 4 * h}, true},
          TPull{{d + 2 + 4 * h, d + 1 + 4 * h}, true}, TPull{{d + 3 + 4 * h, 0}, true},
          TPull{{d + 1 + 4 * h, d - 1 + 16 * h}, false}}) {
        tw::TProgramDay day = p.day;
        EXPECT_EQ(day.PullBack(d + 2 * h, d + 2 * h - h), p.pulled) << tw::DateTimeToSQL(p.day.End);
        EXPECT_LE(day.End, d + 4 * h + (p.pulled ? 0 : 1));
        EXPECT_LE(day.StartUtc, d + 2 * h);
    }
}

} // namespace
