#include "storage/activity_logger.h"

#include "base/text.h"
#include "storage/clock.h"
#include "storage/daily_rollup.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using tw::TLoggedActivity;
using tw::TMonitoredItemType;
using tw::TOnlineTimeApplicationLogger;

const tw::TDateTime Day = tw::EncodeDate(2024, 5, 15);
const std::string Game = "C:\\Games\\game.exe";
const std::string Browser = "C:\\Browser\\browser.exe";

std::string At(int dayOffset, int hour, int minute = 0, int second = 0) {
    return tw::DateTimeToSQL(Day + dayOffset + tw::EncodeTime(hour, minute, second, 0));
}

class ActivityLoggerTest : public testing::Test {
  protected:
    ActivityLoggerTest() : folder_(Day + tw::EncodeTime(14, 30, 0, 0)) {}

    void Exec(const std::string& sql) { folder_.Exec("actmondb.sqlite", sql); }
    std::string Scalar(const std::string& sql) { return folder_.Scalar("actmondb.sqlite", sql); }
    int RowCount() { return std::stoi(Scalar("SELECT COUNT(*) FROM applications")); }

    void ListApp(const std::string& name, const std::string& caption, bool active = true) {
        List("applications_list", name, caption, active);
    }
    void ListSite(const std::string& name, const std::string& caption, bool active = true) {
        List("websites_list", name, caption, active);
    }
    void List(const std::string& table, const std::string& name, const std::string& caption,
              bool active) {
        Exec("INSERT INTO " + table + "(name, caption, active) VALUES(" + tw::QuotedStr(name) +
             ", " + tw::QuotedStr(caption) + ", " + (active ? "1" : "0") + ")");
    }
    void AddRow(const std::string& date, const std::string& app, const std::string& url,
                int seconds, int origin) {
        Exec("INSERT INTO applications(date_created, app_name, browser_url, app_type, duration, "
             "origin) VALUES(" +
             tw::QuotedStr(date) + ", " + tw::QuotedStr(app) + ", " + tw::QuotedStr(url) +
             ", 'Desktop Application', " + std::to_string(seconds) + ", " + std::to_string(origin) +
             ")");
    }

    static const tw::TMonitoredItem* Find(const tw::TMonitoredList& list, const std::string& name) {
        int index = list.IndexOfName(name);
        return index < 0 ? nullptr : &list.Items(index);
    }
    static int DurationOf(const tw::TMonitoredList& list, const std::string& name) {
        const tw::TMonitoredItem* item = Find(list, name);
        EXPECT_NE(item, nullptr) << name;
        return item ? item->Duration : -1;
    }

    twtest::TestDataFolder folder_;
    const std::vector<std::string>& errors_ = folder_.Log().Lines();
};

TEST(AccountingDayTest, DayStartsAtFourInTheMorning) {
    const tw::TDateTime fourAm = Day + tw::EncodeTime(4, 0, 0, 0);
    EXPECT_EQ(tw::AccountingDayStart(Day + tw::EncodeTime(2, 0, 0, 0)), fourAm - 1);
    EXPECT_EQ(tw::AccountingDayStart(Day), fourAm - 1);
    EXPECT_EQ(tw::AccountingDayStart(Day + tw::EncodeTime(3, 59, 59, 999)), fourAm - 1);
    EXPECT_EQ(tw::AccountingDayStart(fourAm), fourAm);
    EXPECT_EQ(tw::AccountingDayStart(Day + tw::EncodeTime(23, 59, 59, 0)), fourAm);
}

TEST(AccountingDayTest, UsagePeriodsCountBackFromNow) {
    const tw::TDateTime now = Day + tw::EncodeTime(2, 30, 0, 0);
    const tw::TDateTime today = Day - 1 + tw::EncodeTime(4, 0, 0, 0);
    EXPECT_EQ(tw::UsagePeriodStart(0, now), today);
    EXPECT_EQ(tw::UsagePeriodStart(1, now), now - 1);
    EXPECT_EQ(tw::UsagePeriodStart(2, now), now - 7);
    EXPECT_EQ(tw::UsagePeriodStart(3, now), now - 14);
    EXPECT_EQ(tw::UsagePeriodStart(4, now), now - 30);
    EXPECT_EQ(tw::UsagePeriodStart(5, now), now - 90);
    EXPECT_EQ(tw::UsagePeriodStart(6, now), today);
    EXPECT_EQ(tw::UsagePeriodStart(-1, now), today);
}

TEST_F(ActivityLoggerTest, UnlistedActivityWritesNothing) {
    ListApp(Game, "Game");
    ListSite("example.com", "Example");
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    logger.Log({"C:\\Other\\tool.exe", "http://other.org/", "Google Chrome"}, 3);
    logger.Log({"", "", "Desktop Application"}, 3);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(logger.Total, 0);
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 0);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(ActivityLoggerTest, ListedProgramWritesOneRowAndCounts) {
    ListApp(Game, "Game");
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    folder_.Clock().Advance(5);
    logger.Log({Game, "", "Desktop Application"}, 3);

    auto rows = tw::TSQLiteDatabase(folder_.File("actmondb.sqlite"))
                    .GetTable("SELECT date_created, app_name, browser_url, app_type, duration, "
                              "origin, typeof(duration), typeof(origin) FROM applications");
    ASSERT_EQ(rows->RowCount(), 1);
    rows->First();
    EXPECT_EQ(rows->ValueAsText(0), "2024-05-15 14:30:05");
    EXPECT_EQ(rows->ValueAsText(1), Game);
    EXPECT_EQ(rows->ValueAsText(2), "");
    EXPECT_EQ(rows->ValueAsText(3), "Desktop Application");
    EXPECT_EQ(rows->ValueAsText(4), "3");
    EXPECT_EQ(rows->ValueAsText(5), "1");
    // Stored as numbers, not texts, so that the totals add them up.
    EXPECT_EQ(rows->ValueAsText(6), "integer");
    EXPECT_EQ(rows->ValueAsText(7), "integer");

    EXPECT_EQ(logger.Total, 3);
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 3);
    logger.Log({Game, "", "Desktop Application"}, 4);
    EXPECT_EQ(logger.Total, 7);
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 7);

    // What was written is what a reload reads back.
    logger.MonitoredListLoad(false);
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 7);
    EXPECT_EQ(logger.Total, 7);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(ActivityLoggerTest, AddressMatchIsLoggedAsWebsite) {
    ListApp(Browser, "Browser");
    ListSite("example.com", "Example");
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    // The browser is listed too, but the address match decides.
    logger.Log({Browser, "http://www.example.com/page", "Google Chrome"}, 5);
    EXPECT_EQ(Scalar("SELECT origin || '/' || app_type || '/' || browser_url FROM applications"),
              "2/Google Chrome/http://www.example.com/page");
    EXPECT_EQ(logger.Total, 5);
    EXPECT_EQ(DurationOf(logger.TodayList(), "example.com"), 5);
    EXPECT_EQ(DurationOf(logger.TodayList(), Browser), 0);
}

TEST_F(ActivityLoggerTest, TodayBeginsAtFourInTheMorning) {
    ListApp(Game, "Game");
    AddRow(At(-1, 3, 59, 59), Game, "", 1, 1);
    AddRow(At(-1, 4), Game, "", 10, 1);
    AddRow(At(0, 1, 59, 59), Game, "", 100, 1);
    AddRow(At(0, 3, 59, 59), Game, "", 1000, 1);
    AddRow(At(0, 4), Game, "", 10000, 1);

    // At 02:00 the accounting day is still yesterday's, all of it: a row dated later in it
    // was written before a move to a zone further west, and is the day's time all the same.
    const auto total = [&](twtest::TManualClockSource& source) {
        tw::TClock clock(source);
        tw::TActivityDatabase activity(folder_.Places(), clock, folder_.Log());
        TOnlineTimeApplicationLogger logger(activity);
        EXPECT_EQ(logger.Total, DurationOf(logger.TodayList(), Game));
        return logger.Total;
    };
    twtest::TManualClockSource twoAm(Day + tw::EncodeTime(2, 0, 0, 0));
    EXPECT_EQ(total(twoAm), 1110);
    // At 04:00 exactly the new day has begun and holds only its own first row.
    twtest::TManualClockSource fourAm(Day + tw::EncodeTime(4, 0, 0, 0));
    EXPECT_EQ(total(fourAm), 10000);
    // Running across 04:00 gives the same answer as starting there.
    twtest::TManualClockSource running(Day + tw::EncodeTime(3, 59, 0, 0));
    tw::TClock runningClock(running);
    running.Advance(60);
    {
        tw::TActivityDatabase activity(folder_.Places(), runningClock, folder_.Log());
        TOnlineTimeApplicationLogger logger(activity);
        EXPECT_EQ(logger.Total, 10000);
    }
}

TEST_F(ActivityLoggerTest, EveryListedItemIsPresentWithItsTotals) {
    ListApp(Game, "Game");
    ListApp("C:\\Unused\\idle.exe", "Idle", false);
    ListSite("example.com", "Example");
    ListSite("video", "Video");
    AddRow(At(0, 9), Game, "", 30, 1);
    // Same program logged under an address match: counts for the site only.
    AddRow(At(0, 9), Game, "http://WWW.EXAMPLE.COM/x", 7, 2);
    AddRow(At(0, 10), Browser, "HTTP://VIDEO.NET/", 5, 2);
    AddRow(At(0, 11), Browser, "http://Video.net/a", 6, 1);

    TOnlineTimeApplicationLogger logger(folder_.Activity());
    const tw::TMonitoredList& today = logger.TodayList();
    ASSERT_EQ(today.Count(), 4);
    EXPECT_EQ(DurationOf(today, Game), 30);
    EXPECT_EQ(DurationOf(today, "C:\\Unused\\idle.exe"), 0);
    EXPECT_EQ(DurationOf(today, "example.com"), 7);
    EXPECT_EQ(DurationOf(today, "video"), 11);
    EXPECT_EQ(logger.Total, 48);

    const tw::TMonitoredItem* idle = Find(today, "C:\\Unused\\idle.exe");
    ASSERT_NE(idle, nullptr);
    EXPECT_FALSE(idle->Active);
    EXPECT_EQ(idle->Caption, "Idle");
    EXPECT_EQ(idle->ItemType, TMonitoredItemType::mitApp);
    EXPECT_EQ(Find(today, "video")->ItemType, TMonitoredItemType::mitWeb);

    logger.PeriodListLoad(false, Day + 1, Day - 30);
    EXPECT_EQ(logger.PeriodList().Count(), 4);
    EXPECT_EQ(DurationOf(logger.PeriodList(), "C:\\Unused\\idle.exe"), 0);
}

TEST_F(ActivityLoggerTest, PeriodBoundsAreInclusive) {
    ListApp(Game, "Game");
    ListSite("example.com", "Example");
    const tw::TDateTime from = Day - 3 + tw::EncodeTime(8, 15, 30, 0);
    const tw::TDateTime to = Day + tw::EncodeTime(12, 0, 1, 0);
    for (tw::TDateTime bound : {from, to}) {
        AddRow(tw::DateTimeToSQL(bound), Game, "http://example.com", 1, 1);
    }
    AddRow(tw::DateTimeToSQL(from - tw::OneSecond), Game, "http://example.com", 100, 1);
    AddRow(tw::DateTimeToSQL(to + tw::OneSecond), Game, "http://example.com", 100, 1);

    TOnlineTimeApplicationLogger logger(folder_.Activity());
    logger.PeriodListLoad(false, to, from);
    EXPECT_EQ(DurationOf(logger.PeriodList(), Game), 2);
    EXPECT_EQ(DurationOf(logger.PeriodList(), "example.com"), 2);
}

TEST_F(ActivityLoggerTest, PeriodOfSevenDaysLeavesTotalAlone) {
    ListApp(Game, "Game");
    ListSite("example.com", "Example");
    AddRow(At(0, 9), Game, "", 1, 1);
    AddRow(At(-3, 9), Game, "", 10, 1);
    AddRow(At(-7, 14, 30), Game, "", 100, 1);      // exactly seven days back
    AddRow(At(-7, 14, 29, 59), Game, "", 1000, 1); // just before
    AddRow(At(-5, 20), Browser, "http://example.com/", 7, 2);

    TOnlineTimeApplicationLogger logger(folder_.Activity());
    EXPECT_EQ(logger.Total, 1);
    const tw::TDateTime now = folder_.ProgramClock().Now();
    logger.PeriodListLoad(false, now, tw::UsagePeriodStart(2, now));
    EXPECT_EQ(DurationOf(logger.PeriodList(), Game), 111);
    EXPECT_EQ(DurationOf(logger.PeriodList(), "example.com"), 7);
    EXPECT_EQ(logger.Total, 1);
    // Today's list is a list of its own.
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 1);
}

TEST_F(ActivityLoggerTest, PeriodIsReadFromTheRowsWhileAnotherProgramWritesTheFile) {
    ListApp(Game, "Game");
    ListSite("example.com", "Example");
    AddRow(At(0, 9), Game, "", 1, 1);
    AddRow(At(-3, 9), Game, "", 10, 1);
    AddRow(At(-5, 20), Browser, "http://example.com/", 7, 2);
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    const tw::TDateTime now = folder_.ProgramClock().Now();
    // The roll-up cannot be added to a file another program holds for writing.
    tw::TSQLiteDatabase writer(folder_.File("actmondb.sqlite"));
    writer.ExecSQL("BEGIN IMMEDIATE");

    logger.PeriodListLoad(false, now, tw::UsagePeriodStart(2, now));
    EXPECT_EQ(DurationOf(logger.PeriodList(), Game), 11);
    EXPECT_EQ(DurationOf(logger.PeriodList(), "example.com"), 7);
    std::int64_t days = 0;
    for (const tw::TDailyItemUsage& day : logger.PeriodDays()) {
        days += day.seconds;
    }
    EXPECT_EQ(days, 18);
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    writer.ExecSQL("ROLLBACK");
}

TEST_F(ActivityLoggerTest, CreationAddsTheDaysStoredTotals) {
    ListApp(Game, "Game");
    ListSite("example.com", "Example");
    AddRow(At(0, 5), Game, "", 100, 1);
    AddRow(At(0, 6), Browser, "http://example.com/", 20, 2);
    AddRow(At(-1, 23), Game, "", 3, 1); // yesterday's accounting day

    TOnlineTimeApplicationLogger logger(folder_.Activity());
    EXPECT_EQ(logger.Total, 120);

    // A reload that does not add keeps Total but refreshes the items.
    AddRow(At(0, 7), Game, "", 50, 1);
    logger.MonitoredListLoad(false);
    EXPECT_EQ(logger.Total, 120);
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 150);
}

// The limit must not wait for the disk: time that cannot be written yet is counted at once
// and written, to the second, with the next row that can be.
TEST_F(ActivityLoggerTest, TimeThatCannotBeWrittenIsCountedAndWrittenLater) {
    ListApp(Game, "Game");
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    {
        tw::TSQLiteDatabase other(folder_.File("actmondb.sqlite"));
        other.ExecSQL("BEGIN EXCLUSIVE");
        logger.Log({Game, "", "Desktop Application"}, 3);
        folder_.Clock().Advance(3);
        logger.Log({Game, "", "Desktop Application"}, 3);
        logger.Log({Browser, "", "Desktop Application"}, 2); // not listed: nothing kept
        other.ExecSQL("ROLLBACK");
    }
    EXPECT_EQ(DurationOf(logger.TodayList(), Game), 6);
    EXPECT_EQ(logger.Total, 6);
    EXPECT_EQ(RowCount(), 0);
    ASSERT_EQ(errors_.size(), 1u); // one report for the whole spell
    EXPECT_EQ(
        errors_[0].rfind("ErrorClassName: ESQLiteException; TOnlineTimeApplicationLogger.Log: ", 0),
        0u)
        << errors_[0];

    // A new logger (the daily reset makes one) still counts what waits to be written.
    EXPECT_EQ(TOnlineTimeApplicationLogger(folder_.Activity()).Total, 6);

    folder_.Clock().Advance(3);
    logger.Log({Game, "", "Desktop Application"}, 3);
    EXPECT_EQ(logger.Total, 9);
    EXPECT_EQ(Scalar("SELECT group_concat(date_created || '=' || duration, ',') FROM "
                     "applications"),
              At(0, 14, 30, 6) + "=9"); // one spell on one program, one row
    EXPECT_EQ(TOnlineTimeApplicationLogger(folder_.Activity()).Total, 9);
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_NE(errors_[1].find("works again (it failed 2 times in all)"), std::string::npos)
        << errors_[1];
}

TEST_F(ActivityLoggerTest, UnreadableListIsReportedAndTheOtherStillLoads) {
    ListApp(Game, "Game");
    AddRow(At(0, 9), Game, "", 30, 1);
    Exec("DROP TABLE websites_list");
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    EXPECT_EQ(logger.Total, 30);
    EXPECT_EQ(logger.TodayList().Count(), 1);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0].rfind("ErrorClassName: ESQLiteException; "
                               "TOnlineTimeApplicationLogger.MonitoredItemsLoad: ",
                               0),
              0u)
        << errors_[0];
}

TEST_F(ActivityLoggerTest, LoggedTextsAreStoredExactly) {
    const std::string exe = "C:\\Prog's \"x\"\\50%_off\\\xC3\xBC\xE6\x97\xA5.exe\r\nline2\\";
    const std::string url = "http://a.org/?q='1'&r=\"2\"\\%_\xC3\xA9\nnext";
    const std::string browser = "Opera 'beta' \"\\\"";
    ListApp(exe, "Odd");
    TOnlineTimeApplicationLogger logger(folder_.Activity());
    logger.Log({exe, url, browser}, 9);
    ASSERT_TRUE(errors_.empty()) << errors_[0];

    auto rows = tw::TSQLiteDatabase(folder_.File("actmondb.sqlite"))
                    .GetTable("SELECT app_name, browser_url, app_type FROM applications");
    ASSERT_EQ(rows->RowCount(), 1);
    rows->First();
    EXPECT_EQ(rows->ValueAsText(0), exe);
    EXPECT_EQ(rows->ValueAsText(1), url);
    EXPECT_EQ(rows->ValueAsText(2), browser);

    // The stored name joins the listed one again.
    logger.MonitoredListLoad(false);
    EXPECT_EQ(DurationOf(logger.TodayList(), exe), 9);
}

class LogPurgeTest : public ActivityLoggerTest {
  protected:
    // The options rewrite both copies of the list when they save, so list it in both.
    void ListEverywhere(const std::string& name) {
        ListApp(name, name);
        folder_.Exec("settings.sqlite",
                     "INSERT INTO applications_list(name, caption, active) VALUES(" +
                         tw::QuotedStr(name) + ", " + tw::QuotedStr(name) + ", 1)");
    }
    std::string Remaining() {
        return Scalar("SELECT group_concat(duration, ',') FROM (SELECT duration FROM "
                      "applications ORDER BY duration)");
    }
    void Purge() {
        tw::TOptions options(folder_.Data());
        options.LogDBPurge();
    }
};

TEST_F(LogPurgeTest, OldRowsAndUnlistedProgramsGo) {
    ListEverywhere(Game);
    ListEverywhere("xmessage");
    const tw::TDateTime now = folder_.ProgramClock().Now();
    AddRow(tw::DateTimeToSQL(now - 90 - tw::OneSecond), Game, "", 1, 1);
    AddRow(tw::DateTimeToSQL(now - 90 - tw::OneSecond), Browser, "http://a.org", 2, 2);
    AddRow(tw::DateTimeToSQL(now - 90), Game, "", 3, 1);         // the oldest kept
    AddRow(At(0, 9), "C:\\Gone\\old.exe", "", 4, 1);             // no longer listed
    AddRow(At(0, 9), "c:\\games\\GAME.EXE", "", 5, 1);           // the scan's path, any case
    AddRow(At(0, 9), "/usr/bin/xmessage", "", 8, 1);             // listed by its file name
    AddRow(At(-9, 9), "/opt/x11/bin/xmessage", "", 10, 1);       // wherever it lies
    AddRow(At(0, 9), "/usr/bin/xmessage-old", "", 11, 1);        // another file
    AddRow(At(0, 9), "C:\\Gone\\old.exe", "http://a.org", 6, 2); // address rows stay
    AddRow(At(0, 9), Game, "", 7, 1);
    // The purge runs day by day; what lies outside those days goes as well.
    Exec("INSERT INTO applications(app_name, duration, origin) VALUES('C:\\Gone\\old.exe', 9, 1)");
    Purge();
    EXPECT_EQ(Remaining(), "3,5,6,7,8,10");
    EXPECT_TRUE(errors_.empty()) << errors_[0];
}

TEST_F(LogPurgeTest, EmptyProgramListRemovesEveryProgramRow) {
    AddRow(At(0, 9), Game, "", 1, 1);
    AddRow(At(0, 9), Browser, "http://a.org", 2, 2);
    AddRow(At(-1, 9), Browser, "", 3, 1);
    Purge();
    EXPECT_EQ(Remaining(), "2");
}

// In a folder that keeps no trusted time yet, a clock at start far ahead of the stored rows,
// or behind them, cannot tell old rows from recent ones: they stay, and the log says why once. The
// unlisted programs' rows, which go whatever their age, still go, also those dated ahead of the
// clock.
TEST_F(LogPurgeTest, OldRowsStayWhenTheClockCannotJudgeTheirAge) {
    ListEverywhere(Game);
    for (const std::string& newest : {At(-2, 9), std::string("2999-01-01 00:00:00")}) {
        SCOPED_TRACE(newest);
        Exec("DELETE FROM applications");
        AddRow(At(-100, 9), Game, "", 1, 1);
        AddRow(newest, Game, "", 2, 1);
        AddRow(newest, "C:\\Gone\\old.exe", "", 3, 1);
        folder_.Log().Clear();
        Purge();
        EXPECT_EQ(Remaining(), "1,2");
        ASSERT_EQ(errors_.size(), 1u);
        EXPECT_NE(errors_[0].find("leaves the old activity for a later start"), std::string::npos)
            << errors_[0];
    }
    // Once the clock agrees with the newest row, the old rows go.
    AddRow(At(0, 9), Game, "", 4, 1);
    Exec("DELETE FROM applications WHERE date_created > '2100'");
    Purge();
    EXPECT_EQ(Remaining(), "4");
}

// A clock is judged against the last time a clock judged right kept, never against rows
// that the clock itself may have written. Each line is a start, in order.
TEST_F(LogPurgeTest, TheClockIsJudgedAgainstTheLastTrustedTime) {
    struct TStart {
        double hours; // after the first start, by the system's clock
        bool synchronised;
        bool right;
        const char* why;
    };
    const TStart starts[] = {
        {0, false, true, "no trusted time kept yet: nothing stored objects"},
        {20, false, true, "less than a day after the last trusted time"},
        {20 + 365 * 24, false, false, "a year ahead"},
        {21 + 365 * 24, false, false, "the same wrong clock again, agreeing with its own rows"},
        {50, false, false, "more than a day after the last trusted time"},
        {50, true, true, "the system says its clock is synchronised"},
        {49, false, false, "behind the last trusted time"},
        {60, false, true, "less than a day after the synchronised start"},
    };
    double at = 0;
    for (const TStart& start : starts) {
        SCOPED_TRACE(start.why);
        folder_.Clock().MoveWallClock((start.hours - at) * 3600);
        at = start.hours;
        folder_.RestartClock(); // a start: the program clock as the system's
        folder_.SetClockSynchronised(start.synchronised);
        EXPECT_EQ(tw::TLogPurge::ClockRight(folder_.Log(), folder_.File("actmondb.sqlite"),
                                            folder_.Settings(), folder_.ProgramClock()),
                  start.right);
        AddRow(tw::DateTimeToSQL(folder_.ProgramClock().Now()), Game, "", 1, 1);
    }
}

// Two starts with the clock a year ahead: the history of the last 90 days stays. A run that
// starts before the system has set its clock cleans up once the system says it has.
// The programs to go are found once a day, but a program listed while its day is being
// cleaned keeps the rows the slices have not reached yet.
TEST_F(LogPurgeTest, AProgramListedDuringTheCleanUpKeepsItsRows) {
    ListEverywhere(Game);
    const std::string gone = "C:\\Gone\\old.exe";
    const std::string late = "C:\\Late\\late.exe";
    tw::TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
    db.ExecSQL("BEGIN");
    for (int i = 0; i < 250; ++i) { // more than a first slice takes
        for (const std::string& name : {gone, late}) {
            db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                       "duration, origin) VALUES(?1, ?2, '', 'Desktop Application', 1, 1)",
                       {At(0, 9, 0, i % 60), name});
        }
    }
    db.ExecSQL("COMMIT");
    const auto count = [&](const std::string& name) {
        return std::stoi(
            Scalar("SELECT COUNT(*) FROM applications WHERE app_name = " + tw::QuotedStr(name)));
    };
    tw::TLogPurge purge(folder_.Log(), folder_.File("actmondb.sqlite"),
                        folder_.ProgramClock().Now(), true, true);
    while (count(gone) == 250 && purge.Step()) {
    }
    ASSERT_EQ(count(late), 250) << "the slice took the other program's rows first";
    ListEverywhere(late);
    while (purge.Step()) {
    }
    EXPECT_EQ(count(gone), 0);
    EXPECT_EQ(count(late), 250);
    EXPECT_TRUE(errors_.empty()) << errors_[0];
}

TEST_F(LogPurgeTest, OldRowsStayUntilTheClockIsKnownRight) {
    ListEverywhere(Game);
    AddRow(At(-60, 9), Game, "", 2, 1);
    AddRow(At(0, 9), Game, "", 3, 1);
    Purge();
    for (int start = 0; start < 2; ++start) {
        folder_.Clock().MoveWallClock(start == 0 ? 365 * tw::SecondsPerDay : 3600);
        folder_.RestartClock();
        Purge();
        AddRow(tw::DateTimeToSQL(folder_.ProgramClock().Now()), Game, "", 4 + start, 1);
    }
    EXPECT_EQ(Remaining(), "2,3,4,5");

    const std::string path = folder_.File("actmondb.sqlite");
    tw::TLogPurge purge(
        folder_.Log(), path, folder_.ProgramClock().Now(), true,
        tw::TLogPurge::ClockRight(folder_.Log(), path, folder_.Settings(), folder_.ProgramClock()));
    while (purge.Step()) {
    }
    EXPECT_FALSE(purge.JudgeAgain(folder_.Settings(), folder_.ProgramClock()));
    folder_.SetClockSynchronised(true);
    ASSERT_TRUE(purge.JudgeAgain(folder_.Settings(), folder_.ProgramClock()));
    while (purge.Step()) {
    }
    EXPECT_EQ(Remaining(), "4,5");
    EXPECT_FALSE(purge.JudgeAgain(folder_.Settings(), folder_.ProgramClock())) << "done once";
}

// The roll-up keeps no day the rows have left, and no row that adds up to nothing.
TEST_F(LogPurgeTest, TheRollupLosesTheOldDaysAndTheEmptyRows) {
    ListEverywhere(Game);
    {
        tw::TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
        tw::EnsureDailyRollup(db);
    }
    AddRow(At(-100, 9), Game, "", 1, 1);
    AddRow(At(-5, 9), Game, "", 2, 1);
    AddRow(At(-5, 10), "C:\\Gone\\old.exe", "", 4, 1);
    AddRow(At(0, 9), Game, "", 8, 1);
    {
        tw::TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
        tw::BuildRollupDays(db, tw::EncodeDate(2024, 2, 1) + 4 * tw::OneHour,
                            Day + 4 * tw::OneHour);
    }
    Purge();
    EXPECT_EQ(Scalar("SELECT group_concat(day || '=' || duration) FROM daily_usage"),
              tw::DateToText(Day - 5) + "=2," + tw::DateToText(Day) + "=8");
    EXPECT_EQ(Scalar("SELECT MIN(day) FROM daily_usage_days"), tw::DateToText(Day - 90));
}

// The clean-up trusts only a list that loaded and whose copy matches it: a program listed in
// settings.sqlite but missing from the copy keeps its history.
TEST_F(LogPurgeTest, UnlistedHistoryStaysWhenTheListIsNotTrusted) {
    folder_.Exec("settings.sqlite",
                 "INSERT INTO applications_list(name, caption, active) VALUES('" + Game +
                     "', 'Game', 1)");
    AddRow(At(0, 9), Game, "", 1, 1);
    Purge();
    EXPECT_EQ(Remaining(), "1");
    // Nor a list that failed to load, though both copies are equal (empty).
    folder_.Exec("settings.sqlite", "DELETE FROM applications_list");
    folder_.Exec("settings.sqlite",
                 "INSERT INTO settings(name, value) VALUES('ResetDateTime', '?')");
    Purge();
    EXPECT_EQ(Remaining(), "1");
}

} // namespace
