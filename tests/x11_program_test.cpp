// The built program and its diagnostic command on a real X server, as a user runs them:
// separate processes, a private data folder, a real client window to watch.
#ifdef __linux__

#include "storage/data_folder.h"
#include "storage/options.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using twtest::TClient;
using twtest::WaitUntil;

// A copy of the program in a folder of its own (so that its uninstall marker concerns this
// test only), and a home for its data folder.
class X11Program : public ::testing::Test {
  protected:
    X11Program() {
        fs::create_directories(programFolder_);
        for (const char* name : {"tallywick", "settings.sqlite", "actmondb.sqlite"}) {
            fs::copy_file(fs::path(TALLYWICK_BIN_DIR) / name, programFolder_ / name);
        }
        environment_.environment = {{"XDG_DATA_HOME", home_.Path().string()}};
    }

    fs::path DataFolder() const { return home_.Path() / "Tallywick.V3"; }

    // The first start seeds the data folder; then the settings are written the way the
    // settings wizard would.
    void Configure(const std::function<void(tw::TOptions&)>& change) {
        fs::create_directories(DataFolder());
        for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
            fs::copy_file(programFolder_ / name, DataFolder() / name);
        }
        tw::SetDataFolderForTest(DataFolder().string());
        {
            tw::TOptions options;
            change(options);
            ASSERT_TRUE(options.Save());
        }
        tw::ReleaseSettingsFile();
        tw::SetDataFolderForTest("");
    }

    std::unique_ptr<TClient> Start(const std::string& errors = "errors.txt") {
        auto options = environment_;
        options.stderrFile = (home_.Path() / errors).string();
        return std::make_unique<TClient>(std::vector<std::string>{}, false,
                                         (programFolder_ / "tallywick").string(), options);
    }
    std::string Errors(const std::string& file = "errors.txt") {
        return twtest::ReadAll((home_.Path() / file).string());
    }
    bool LockHeld() const { return fs::exists(DataFolder() / "Tallywick.lock"); }

    twtest::TempDir home_;
    twtest::TempDir programs_;
    fs::path programFolder_ = programs_.Path() / "bin";
    twtest::TChildOptions environment_;
};

TEST_F(X11Program, ProbeReportsAndTheProgramLogsThenClosesTheListedWindow) {
    const std::string client = fs::canonical(twtest::ClientPath()).string();
    Configure([&](tw::TOptions& options) {
        options.ScanPeriodSeconds = 1;
        options.TimeLimitSeconds = 2;
        options.ExpirationAction = 1; // "Close Browser/App."
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = client;
        item->Caption = "Test client";
        item->ItemType = tw::TMonitoredItemType::mitApp;
        options.MonitoredList.Add("Test client", std::move(item));
    });
    TClient window({"--pid", "--delete", "--focus"});

    // The diagnostic command names the executable in front and the list item covering it.
    auto probeOptions = environment_;
    probeOptions.stdoutFile = (home_.Path() / "probe.json").string();
    TClient probe({}, false, std::string(TALLYWICK_BIN_DIR) + "/tallywick-probe", probeOptions);
    ASSERT_TRUE(probe.ExitsCleanlyWithin(10000));
    const std::string report = twtest::ReadAll(probeOptions.stdoutFile);
    EXPECT_NE(report.find("\"executable\":\"" + client + "\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"listed\":{\"caption\":\"Test client\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"window\":" + std::to_string(window.Window())), std::string::npos)
        << report;

    // The program counts the listed window's time, and at the limit asks it to close.
    auto program = Start();
    EXPECT_TRUE(window.ExitsCleanlyWithin(20000)) << Errors();
    kill(program->Pid(), SIGTERM);
    EXPECT_TRUE(program->ExitsCleanlyWithin(5000)) << Errors();
    EXPECT_FALSE(LockHeld());

    tw::TSQLiteDatabase db((DataFolder() / "actmondb.sqlite").string());
    auto rows = db.GetTable("SELECT COUNT(*), SUM(duration), MIN(origin), MAX(app_type) FROM "
                            "applications WHERE app_name = '" +
                            client + "'");
    ASSERT_TRUE(rows->First());
    EXPECT_GE(rows->ValueAsInteger(0), 2);
    EXPECT_GE(rows->ValueAsInteger(1), 2);
    EXPECT_EQ(rows->ValueAsInteger(2), 1);
    EXPECT_EQ(rows->ValueAsText(3), "Desktop Application");
}

TEST_F(X11Program, OnlyOneCopyRunsAndTheUninstallMarkerEndsIt) {
    Configure([](tw::TOptions&) {});
    twtest::WriteAll((DataFolder() / "Tallywick.flag").string(), "");
    // Two copies started together race for the lock: exactly one stays.
    auto first = Start("first.txt");
    auto second = Start("second.txt");
    ASSERT_TRUE(WaitUntil([&] { return !first->Running() || !second->Running(); }, 10000));
    TClient& loser = first->Running() ? *second : *first;
    TClient& winner = first->Running() ? *first : *second;
    const std::string loserErrors = Errors(&loser == first.get() ? "first.txt" : "second.txt");
    EXPECT_EQ(loser.ExitCodeWithin(1000), 1);
    EXPECT_NE(loserErrors.find("Application is already running"), std::string::npos) << loserErrors;
    EXPECT_TRUE(winner.Running());
    EXPECT_TRUE(LockHeld());

    // The uninstaller's marker beside the executable ends the program within about a second.
    twtest::WriteAll((programFolder_ / "uninstall.flag").string(), "");
    EXPECT_TRUE(winner.ExitsCleanlyWithin(3000));
    EXPECT_FALSE(LockHeld());
    EXPECT_FALSE(fs::exists(DataFolder() / "Tallywick.flag"));
}

TEST_F(X11Program, StartAfterACrashTakesTheStaleLock) {
    Configure([](tw::TOptions&) {});
    auto crashed = Start();
    ASSERT_TRUE(WaitUntil([&] { return LockHeld(); }));
    crashed->Kill();
    EXPECT_TRUE(LockHeld()); // left behind, but no longer held
    auto next = Start();
    EXPECT_FALSE(next->ExitCodeWithin(1500).has_value()) << Errors();
    twtest::WriteAll((programFolder_ / "uninstall.flag").string(), "");
    EXPECT_TRUE(next->ExitsCleanlyWithin(3000));
}

} // namespace

#endif
