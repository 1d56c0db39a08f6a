// What a start finds in the data folder and puts right before anything is counted.
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using tw::TMonitoredItemType;

const tw::TDateTime Today = tw::EncodeDate(2026, 12, 7);
const char* const Game = "/usr/games/game";

class DataFolderStartTest : public testing::Test {
  protected:
    DataFolderStartTest() : folder_(Today + 10 * tw::OneHour) {
        tw::TOptions options(folder_.Data());
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = Game;
        item->Caption = "Game";
        item->ItemType = TMonitoredItemType::mitApp;
        options.Edit().MonitoredList.Add("Game", std::move(item));
        options.Edit().TimeLimitSeconds = 1800;
        EXPECT_TRUE(options.Save());
        folder_.Exec("actmondb.sqlite",
                     "INSERT INTO applications(date_created, app_name, duration, origin) "
                     "VALUES('2026-12-07 09:00:00', '/usr/games/game', 600, 1)");
    }

    std::string CopyNames() {
        return folder_.Scalar("actmondb.sqlite",
                              "SELECT group_concat(name, ',') FROM applications_list");
    }

    twtest::TestDataFolder folder_;
    const std::vector<std::string>& errors_ = folder_.Log().Lines();
};

// A settings database lost beside the activity database: the history stays, and the list
// comes back from its copy, so that the clean-up does not take the listed programs' history.
TEST_F(DataFolderStartTest, AMissingSettingsDatabaseLeavesTheHistoryAndKeepsTheList) {
    folder_.Exec("actmondb.sqlite", "INSERT INTO applications(date_created, app_name, duration, "
                                    "origin) VALUES('2026-12-07 09:30:00', '/usr/bin/gone', 5, 1)");
    std::filesystem::remove(folder_.File("settings.sqlite"));
    EXPECT_TRUE(tw::SeedDataFolder(folder_.Places(), folder_.Log()));
    EXPECT_FALSE(tw::SeedDataFolder(folder_.Places(), folder_.Log())) << "once";
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite", "SELECT SUM(duration) FROM applications"), "605");
    tw::TOptions options(folder_.Data());
    ASSERT_FALSE(options.LoadFailed());
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 28800); // the settings themselves were lost
    ASSERT_EQ(options.Edit().MonitoredList.Count(), 1);
    EXPECT_EQ(options.Edit().MonitoredList.Items(0).Name, Game);
    // A list taken over at this start removes no history yet, not even an unlisted one's.
    options.RepairListCopy(true);
    EXPECT_FALSE(options.ListTrusted());
    options.LogDBPurge();
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite", "SELECT SUM(duration) FROM applications"), "605");
}

// The copy the counting joins differs (a hand edit, a failed write, an older settings.sqlite
// put back): the start writes it again from settings.sqlite, and the clean-up does not trust
// the list in that run, so the history of a program only the copy listed is kept.
TEST_F(DataFolderStartTest, ADifferentListCopyIsRepairedFromTheSettings) {
    folder_.Exec("actmondb.sqlite", "UPDATE applications_list SET name = '/usr/bin/other'");
    folder_.Exec("actmondb.sqlite",
                 "INSERT INTO applications(date_created, app_name, duration, "
                 "origin) VALUES('2026-12-07 09:30:00', '/usr/bin/other', 5, 1)");
    tw::TOptions options(folder_.Data());
    EXPECT_FALSE(options.ListTrusted());
    options.RepairListCopy();
    EXPECT_EQ(CopyNames(), Game);
    EXPECT_FALSE(options.ListTrusted());
    options.LogDBPurge();
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite", "SELECT SUM(duration) FROM applications"), "605");
    options.MakeReadOnly();
    // Nor at any later start, now that the copy agrees: the repair noted what it took off.
    tw::TOptions again(folder_.Data());
    EXPECT_TRUE(again.ListTrusted());
    again.LogDBPurge();
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite", "SELECT SUM(duration) FROM applications"), "605");
    again.MakeReadOnly();
}

// A settings.sqlite whose list never arrived (its seeding could not read the copy) beside a
// full copy: the copy is taken, never the empty list written over it.
TEST_F(DataFolderStartTest, AnEmptyListBesideAFullCopyTakesTheCopy) {
    folder_.Exec("settings.sqlite", "DELETE FROM applications_list");
    {
        tw::TOptions options(folder_.Data());
        options.RepairListCopy(true);
        ASSERT_EQ(options.Edit().MonitoredList.Count(), 1);
        EXPECT_EQ(options.Edit().MonitoredList.Items(0).Name, Game);
    }
    EXPECT_EQ(CopyNames(), Game);
    EXPECT_EQ(folder_.Scalar("settings.sqlite", "SELECT name FROM applications_list"), Game);
}

} // namespace
