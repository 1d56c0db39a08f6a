// The clean-up of old activity on a thread of its own while the scans go on writing and
// reading the same file, as in the program.
#include "base/slice_runner.h"
#include "storage/activity_logger.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const tw::TDateTime Now = tw::EncodeDate(2024, 5, 15) + tw::EncodeTime(14, 30, 0, 0);
const std::string Game = "/opt/game/bin/game";

class LogPurgeWorkerTest : public testing::Test {
  protected:
    LogPurgeWorkerTest() : folder_(Now) {}

    std::string Scalar(const std::string& sql) { return folder_.Scalar("actmondb.sqlite", sql); }

    // Old rows of the listed program and this week's of an unlisted one: enough for hundreds
    // of slices.
    void Fill() {
        for (const char* db : {"actmondb.sqlite", "settings.sqlite"}) {
            folder_.Exec(db, "INSERT INTO applications_list(name, caption, active) VALUES('" +
                                 Game + "', 'Game', 1)");
        }
        tw::TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
        db.ExecSQL("BEGIN");
        for (int i = 0; i < 30000; ++i) {
            const bool old = i % 2 == 0;
            db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                       "duration, origin) VALUES(?1, ?2, '', 'Desktop Application', 1, 1)",
                       {tw::DateTimeToSQL(old ? Now - 120 + i * tw::OneSecond
                                              : Now - 5 + i * tw::OneSecond),
                        old ? Game : std::string("/opt/tool/bin/tool")});
        }
        db.ExecSQL("COMMIT");
    }

    twtest::TestDataFolder folder_;
    // Read once the clean-up's thread is done.
    const std::vector<std::string>& errors_ = folder_.Log().Lines();
};

TEST_F(LogPurgeWorkerTest, ScansLoseNothingWhileTheCleanUpRunsOnItsThread) {
    Fill();
    tw::TOptions options(folder_.Data());
    tw::TActivityDatabase& activity = folder_.Activity();
    tw::TOnlineTimeApplicationLogger logger(activity);
    tw::TSliceTurns& turns = folder_.Data().SliceTurns();
    tw::TLogPurge purge(folder_.Log(), folder_.File("actmondb.sqlite"),
                        folder_.ProgramClock().Now(), true, true, {}, &turns);
    tw::TThreadSliceRunner runner(turns);
    bool more = true;
    int scans = 0;
    int overlapping = 0; // scans that met a slice in flight
    const tw::TLoggedActivity game{Game, "", "Desktop Application"};
    while (!runner.Idle() || more) {
        if (runner.Idle()) {
            runner.Run([&] { more = purge.Step(); });
        }
        overlapping += turns.Running() ? 1 : 0;
        logger.Log(game, 1);
        ++scans;
        EXPECT_TRUE(activity.Check(options).empty());
        logger.MonitoredListLoad(false); // a read while slices commit
        ASSERT_FALSE(activity.Failing()) << "at scan " << scans;
        folder_.Clock().Advance(1);
    }
    runner.Stop();
    activity.Check(options);
    EXPECT_GT(overlapping, 0) << "no scan met the clean-up";
    EXPECT_EQ(activity.PendingRowCount(), 0u);
    EXPECT_EQ(logger.Total, scans);
    EXPECT_EQ(Scalar("SELECT SUM(duration) FROM applications WHERE app_name = '" + Game + "'"),
              std::to_string(scans))
        << "every scan's second written, the old rows gone";
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM applications WHERE app_name <> '" + Game + "'"), "0");
    EXPECT_TRUE(errors_.empty()) << errors_.front();
}

// Only the program's connections, which carry the turns, wait for a slice's lock; one opened
// without them (a tool's, a test's) fails at once, as SQLite does by default.
TEST_F(LogPurgeWorkerTest, OnlyAConnectionWithTheTurnsWaitsForASlicesLock) {
    tw::TSliceTurns& turns = folder_.Data().SliceTurns();
    const std::string file = folder_.File("actmondb.sqlite");
    const std::string insert = "INSERT INTO applications(date_created, app_name, browser_url, "
                               "app_type, duration, origin) VALUES('2024-05-15 14:00:00', '" +
                               Game + "', '', 'Desktop Application', 1, 1)";
    std::promise<void> locked;
    std::promise<void> go;
    tw::TThreadSliceRunner runner(turns);
    runner.Run([&] {
        tw::TSQLiteDatabase db(file, &turns);
        db.ExecSQL("BEGIN IMMEDIATE");
        db.ExecSQL(insert);
        locked.set_value();
        go.get_future().wait();
        // Held a little longer, so that the program's write below meets the lock.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        db.ExecSQL("COMMIT");
    });
    locked.get_future().wait();
    const auto start = std::chrono::steady_clock::now();
    try {
        tw::TSQLiteDatabase(file).ExecSQL(insert);
        ADD_FAILURE() << "a connection without turns waited for the slice";
    } catch (const tw::ESQLiteException& e) {
        EXPECT_EQ(e.Code(), 5) << e.what(); // busy
    }
    // A wait would have lasted until the limit of two seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    go.set_value();
    EXPECT_NO_THROW(tw::TSQLiteDatabase(file, &turns).ExecSQL(insert));
    runner.Stop();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM applications"), "2");
}

} // namespace
