// What a start finds in the data folder and puts right before anything is counted.
#include "app/program.h"
#include "app/timer_loop.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_instance_lock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "support/build_folder.h"
#include "support/collecting_log.h"
#include "support/file_text.h"
#include "support/manual_clock.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

using tw::TMonitoredItemType;

const tw::TDateTime Today = tw::EncodeDate(2026, 12, 7);
const char* const Game = "/usr/games/game";

const char* const Digest = "the stored password, whatever its form";

// A data folder a person has used: a program on the list, a limit, an action and a password.
void UseFolder(twtest::TestDataFolder& folder) {
    tw::TOptions options(folder.Data());
    auto item = std::make_unique<tw::TMonitoredItem>();
    item->Name = Game;
    item->Caption = "Game";
    item->ItemType = TMonitoredItemType::mitApp;
    options.Edit().MonitoredList.Add("Game", std::move(item));
    options.Edit().TimeLimitSeconds = 1800;
    options.Edit().ExpirationAction = tw::TExpirationAction::ShutdownComputer;
    options.Edit().Password = Digest;
    options.Edit().IsNotFirstRun = true;
    EXPECT_TRUE(options.Save());
    folder.Exec("actmondb.sqlite",
                "INSERT INTO applications(date_created, app_name, duration, origin) "
                "VALUES('2026-12-07 09:00:00', '/usr/games/game', 600, 1)");
}

class DataFolderStartTest : public testing::Test {
  protected:
    DataFolderStartTest() : folder_(Today + 10 * tw::OneHour) { UseFolder(folder_); }

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
    EXPECT_TRUE(tw::SeedDataFolder(folder_.Places(), folder_.Log()).seededAfresh);
    EXPECT_FALSE(tw::SeedDataFolder(folder_.Places(), folder_.Log()).seededAfresh) << "once";
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite", "SELECT SUM(duration) FROM applications"), "605");
    tw::TOptions options(folder_.Data());
    ASSERT_FALSE(options.LoadFailed());
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 1800); // from their copy
    ASSERT_EQ(options.Edit().MonitoredList.Count(), 1);
    EXPECT_EQ(options.Edit().MonitoredList.Items(0).Name, Game);
    // A list taken over at this start removes no history yet, not even an unlisted one's.
    options.RepairListCopy({true, {}});
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
        options.RepairListCopy({true, {}});
        ASSERT_EQ(options.Edit().MonitoredList.Count(), 1);
        EXPECT_EQ(options.Edit().MonitoredList.Items(0).Name, Game);
    }
    EXPECT_EQ(CopyNames(), Game);
    EXPECT_EQ(folder_.Scalar("settings.sqlite", "SELECT name FROM applications_list"), Game);
}

// The history, the memos and the password's digest are the person's alone: a data folder the
// program makes, and one an earlier version left open to every account, both end private
// with everything the program writes there while it runs.
TEST(DataFolderPrivacyTest, AFolderMadeOrFoundOpenEndsPrivateToTheAccount) {
    namespace fs = std::filesystem;
    const mode_t umaskBefore = ::umask(022);
    for (const bool foundOpen : {false, true}) {
        SCOPED_TRACE(foundOpen ? "found open" : "made by the program");
        twtest::TempDir root;
        const fs::path data = root.Path() / "Tallywick.V3";
        if (foundOpen) {
            fs::create_directory(data);
            for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
                fs::copy_file(twtest::BuildProgramFolder() / name, data / name);
            }
            twtest::WriteAll((data / "tallywick.log").string(), "earlier\n");
            fs::permissions(data, fs::perms(0755));
            for (const auto& entry : fs::directory_iterator(data)) {
                fs::permissions(entry.path(), fs::perms(0644));
            }
        }
        twtest::TManualClockSource source(Today + 10 * tw::OneHour);
        tw::TClock clock(source);
        const tw::TPlaces places =
            tw::PlacesOf(data.string(), (twtest::BuildProgramFolder() / "tallywick").string());
        twtest::TCollectingLog log(places.LogFilePath());
        const std::vector<std::string>& errors = log.Lines();
        {
            tw::TFakeDesktop desktop;
            tw::TFakeInstanceLocks locks(std::make_shared<tw::TFakeLockRegistry>());
            tw::TTimerLoop timers;
            tw::TProgram program(desktop, locks, timers, clock, places, log);
            program.LoadOptions();
            program.Options().Edit().TimeLimitSeconds = 1800;
            ASSERT_TRUE(program.Options().Save());
            program.Data().Settings().WriteBool("Common", "Show5MinButton", false);
            log.Report("a line of the log");

            EXPECT_EQ(fs::status(data).permissions() & fs::perms::all, fs::perms(0700));
            std::vector<std::string> names;
            for (const auto& entry : fs::directory_iterator(data)) {
                names.push_back(entry.path().filename().string());
                EXPECT_EQ(fs::status(entry.path()).permissions() & fs::perms::all, fs::perms(0600))
                    << names.back();
            }
            EXPECT_GE(names.size(), 4u); // the databases, the settings file, the log
        }
        const auto said = std::count_if(errors.begin(), errors.end(), [](const std::string& e) {
            return e.find("open to other accounts") != std::string::npos;
        });
        EXPECT_EQ(said, foundOpen ? 1 : 0);
    }
    ::umask(umaskBefore);
}

// Settings lost with settings.sqlite (deleted, or no database any more) while the program was
// stopped come back from their copy in actmondb.sqlite, and the person is told once; a
// settings.sqlite that can be read wins, and without a copy (an older actmondb.sqlite) a start
// is as it was: defaults and the first start's wizard, or the damage reported and left alone.
TEST(DataFolderStart, LostSettingsComeBackFromTheirCopyUnlessTheFileIsFine) {
    enum class TFile { Deleted, Damaged, Changed };
    const struct {
        const char* what;
        TFile file;
        bool copyHeld;
        const char* limit; // what the start loads; empty when the load fails
        bool restored;
    } cases[] = {
        {"deleted", TFile::Deleted, true, "1800", true},
        {"damaged", TFile::Damaged, true, "1800", true},
        {"fine, and changed after the copy", TFile::Changed, true, "600", false},
        {"deleted, no copy", TFile::Deleted, false, "28800", false},
        {"damaged, no copy", TFile::Damaged, false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        twtest::TestDataFolder folder(Today + 10 * tw::OneHour);
        UseFolder(folder);
        const std::string settings = folder.File("settings.sqlite");
        if (!c.copyHeld) {
            folder.Exec("actmondb.sqlite", "DROP TABLE settings");
        }
        if (c.file == TFile::Deleted) {
            std::filesystem::remove(settings);
        } else if (c.file == TFile::Damaged) {
            twtest::WriteAll(settings, "x\n");
        } else {
            folder.Exec("settings.sqlite",
                        "UPDATE settings SET value = '600' WHERE name = 'TimeLimitSeconds'");
        }
        const tw::TSeedOutcome seeded = tw::SeedDataFolder(folder.Places(), folder.Log());
        EXPECT_EQ(seeded.notice.empty(), !c.restored);
        {
            tw::TOptions options(folder.Data());
            options.RepairListCopy(seeded);
            EXPECT_EQ(options.LoadFailed(), std::string(c.limit).empty());
            if (!options.LoadFailed()) {
                EXPECT_EQ(std::to_string(options.Values().TimeLimitSeconds), c.limit);
                EXPECT_EQ(options.Values().IsNotFirstRun, c.restored || c.file == TFile::Changed);
                EXPECT_EQ(options.Values().Password == Digest,
                          c.restored || c.file == TFile::Changed);
            }
            EXPECT_EQ(options.RepairSettingsDatabase(), seeded.notice);
            EXPECT_EQ(options.RepairSettingsDatabase(), "") << "once";
            if (c.restored) {
                EXPECT_EQ(options.Values().ExpirationAction,
                          tw::TExpirationAction::ShutdownComputer);
                EXPECT_EQ(options.Values().MonitoredList.Count(), 1);
            }
        }
        if (c.file == TFile::Damaged) {
            // The damaged file is never lost: kept aside, or left where it was.
            int kept = 0;
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
                kept += twtest::ReadAll(entry.path().string()) == "x\n" ? 1 : 0;
            }
            EXPECT_EQ(kept, 1);
            EXPECT_EQ(twtest::ReadAll(settings) == "x\n", !c.restored);
        }
    }
}

} // namespace
