// The built program and its diagnostic command on a real X server, as a user runs them:
// separate processes, a private data folder, a real client window to watch.
#ifdef __linux__

#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/installed_program.h"
#include "support/program_settings.h"
#include "support/temp_dir.h"
#include "support/x11_screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

namespace {

namespace fs = std::filesystem;
using twtest::TClient;
using twtest::TScreen;
using twtest::TScreenRect;
using twtest::TXWindow;
using twtest::WaitUntil;

// A copy of the program in a folder of its own (so that its uninstall marker concerns this
// test only), and a home for its data folder.
class X11Program : public ::testing::Test {
  protected:
    fs::path DataFolder() const { return installed_.DataFolder(); }

    void Configure(const std::function<void(tw::TOptions&)>& change) {
        ASSERT_TRUE(twtest::ConfigureDataFolder(DataFolder(), installed_.Folder(), change));
    }

    std::unique_ptr<TClient> Start(const std::string& errors = "errors.txt") {
        auto options = installed_.Environment();
        options.stderrFile = installed_.HomeFile(errors);
        return std::make_unique<TClient>(std::vector<std::string>{}, false, installed_.Executable(),
                                         options);
    }
    std::string Errors(const std::string& file = "errors.txt") {
        return twtest::ReadAll(installed_.HomeFile(file));
    }
    bool LockHeld() const { return fs::exists(DataFolder() / "Tallywick.lock"); }

    // A start that must tell the person something: the notice is closed as a person would, the
    // program goes on, and the uninstaller's marker ends it.
    void StartClosingItsNoticeAndEnd() {
        auto program = Start();
        TScreen screen;
        ASSERT_TRUE(screen.Open());
        std::vector<twtest::TXWindow> notices;
        ASSERT_TRUE(WaitUntil(
            [&] {
                notices = screen.WindowsOf(program->Pid(), "Please Note");
                return !notices.empty();
            },
            10000))
            << Errors();
        screen.Close(notices.front());
        EXPECT_TRUE(program->Running());
        twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
        EXPECT_TRUE(program->ExitsCleanlyWithin(3000)) << Errors();
        fs::remove(installed_.Folder() / "uninstall.flag");
    }

    // Our test client on the list, a limit of two seconds and scans every second.
    void ConfigureListedClient(tw::TExpirationAction action) {
        Configure([&](tw::TOptions& options) {
            options.Edit().ScanPeriodSeconds = 1;
            options.Edit().TimeLimitSeconds = 2;
            options.Edit().ExpirationAction = action;
            auto item = std::make_unique<tw::TMonitoredItem>();
            item->Name = fs::canonical(twtest::ClientPath()).string();
            item->Caption = "Test client";
            item->ItemType = tw::TMonitoredItemType::mitApp;
            options.Edit().MonitoredList.Add("Test client", std::move(item));
        });
    }
    // The program's time-up reminder, once it is on the screen.
    TXWindow WaitForReminder(TScreen& screen, const TClient& program) {
        std::vector<TXWindow> shown;
        EXPECT_TRUE(WaitUntil(
            [&] {
                shown = screen.WindowsOf(program.Pid(), "Reminder");
                return !shown.empty();
            },
            20000))
            << Errors();
        return shown.empty() ? 0 : shown.front();
    }
    // Clicks the reminder's OK. The button stands higher when the memos of the parts of the
    // day already over are left out (the window is then 413 or 295 pixels high, not 533).
    void PressReminderOk(TScreen& screen, TXWindow reminder) {
        const TScreenRect place = screen.Geometry(reminder);
        const int shift = place.height == 413 ? -119 : place.height == 295 ? -236 : 0;
        screen.Click(place.x + 421 + 35, place.y + 486 + 16 + shift);
    }
    // The activity rows written so far (read when the program is not writing).
    long long LoggedRows() {
        long long count = -1;
        WaitUntil([&] {
            try {
                tw::TSQLiteDatabase db((DataFolder() / "actmondb.sqlite").string());
                auto rows = db.GetTable("SELECT COUNT(*) FROM applications");
                count = rows->First() ? rows->ValueAsInteger(0) : -1;
                return true;
            } catch (const std::exception&) {
                return false; // busy: the program is writing
            }
        });
        return count;
    }

    twtest::TInstalledProgram installed_;
};

TEST_F(X11Program, ProbeReportsAndTheProgramLogsThenClosesTheListedWindowWhenTheReminderCloses) {
    const std::string client = fs::canonical(twtest::ClientPath()).string();
    ConfigureListedClient(tw::TExpirationAction::CloseListed); // "Close Browser/App."
    TClient window({"--pid", "--delete", "--focus"});

    // The diagnostic command names the executable in front and the list item covering it.
    auto probeOptions = installed_.Environment();
    probeOptions.stdoutFile = installed_.HomeFile("probe.json");
    TClient probe({}, false, std::string(TALLYWICK_BIN_DIR) + "/tallywick-probe", probeOptions);
    ASSERT_TRUE(probe.ExitsCleanlyWithin(10000));
    const std::string report = twtest::ReadAll(probeOptions.stdoutFile);
    EXPECT_NE(report.find("\"executable\":\"" + client + "\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"listed\":{\"caption\":\"Test client\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"window\":" + std::to_string(window.Window())), std::string::npos)
        << report;

    // The program counts the listed window's time. At the limit the reminder comes first;
    // closing it asks the listed window to close.
    auto program = Start();
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    const TXWindow reminder = WaitForReminder(screen, *program);
    ASSERT_NE(reminder, 0u);
    EXPECT_TRUE(window.Running());
    PressReminderOk(screen, reminder);
    EXPECT_TRUE(window.ExitsCleanlyWithin(5000)) << Errors();
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

TEST_F(X11Program, UnderReminderOnlyTheReminderComesAndTheListedWindowStays) {
    ConfigureListedClient(tw::TExpirationAction::ReminderOnly);
    TClient window({"--pid", "--delete", "--focus"});
    auto program = Start();
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    const TXWindow reminder = WaitForReminder(screen, *program);
    ASSERT_NE(reminder, 0u);
    // "Continue" is chosen: closing the reminder does nothing, and the scans go on counting
    // without asking the window to close.
    const long long rowsBefore = LoggedRows();
    PressReminderOk(screen, reminder);
    EXPECT_TRUE(WaitUntil([&] { return screen.WindowsOf(program->Pid(), "Reminder").empty(); }));
    screen.Focus(window.Window()); // back to the listed window, where the click took it from
    EXPECT_TRUE(WaitUntil([&] { return LoggedRows() >= rowsBefore + 2; }, 10000)) << Errors();
    EXPECT_TRUE(window.Running());
    twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
    EXPECT_TRUE(program->ExitsCleanlyWithin(3000)) << Errors();
}

TEST_F(X11Program, OnlyOneCopyRunsAndTheUninstallMarkerEndsIt) {
    Configure([](tw::TOptions&) {});
    twtest::WriteAll((DataFolder() / "Tallywick.flag").string(), "");
    // Two copies started together race for the lock: exactly one stays, and the other
    // says so in its notice window (and on standard error) until the notice is closed.
    auto first = Start("first.txt");
    auto second = Start("second.txt");
    const std::string notice = "Application is already running";
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Errors("first.txt").find(notice) != std::string::npos ||
                   Errors("second.txt").find(notice) != std::string::npos;
        },
        10000));
    const bool firstLost = Errors("first.txt").find(notice) != std::string::npos;
    TClient& loser = firstLost ? *first : *second;
    TClient& winner = firstLost ? *second : *first;
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    std::vector<twtest::TXWindow> notices;
    ASSERT_TRUE(WaitUntil(
        [&] {
            notices = screen.WindowsOf(loser.Pid(), "Please Note");
            return !notices.empty();
        },
        10000));
    EXPECT_TRUE(loser.Running());
    screen.Close(notices.front());
    EXPECT_EQ(loser.ExitCodeWithin(5000), 1);
    EXPECT_TRUE(winner.Running());
    EXPECT_TRUE(LockHeld());

    // The uninstaller's marker beside the executable ends the program within about a second.
    twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
    EXPECT_TRUE(winner.ExitsCleanlyWithin(3000));
    EXPECT_FALSE(LockHeld());
    EXPECT_FALSE(fs::exists(DataFolder() / "Tallywick.flag"));
}

// Settings that cannot be read and have no copy to come back from (an activity database
// from before the copy) are said so, and stay exactly as they were on disk: a file that is no
// database at all, random bytes, a database cut off in the middle of a page.
TEST_F(X11Program, UnreadableSettingsAreReportedAndLeftUntouched) {
    Configure([](tw::TOptions&) {});
    tw::TSQLiteDatabase((DataFolder() / "actmondb.sqlite").string()).ExecSQL("DROP TABLE settings");
    const std::string settings = (DataFolder() / "settings.sqlite").string();
    const std::string intact = twtest::ReadAll(settings);
    ASSERT_GT(intact.size(), 3 * 4096u);
    std::mt19937 random(7);
    std::string noise(5 * 1024, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    for (const std::string& damaged :
         {std::string("not a database, but the user's file all the same"), noise,
          intact.substr(0, 2 * 4096 + 1000)}) {
        twtest::WriteAll(settings, damaged);
        StartClosingItsNoticeAndEnd();
        EXPECT_EQ(twtest::ReadAll(settings), damaged); // nothing saved over it
        EXPECT_NE(twtest::ReadAll((DataFolder() / "tallywick.log").string())
                      .find("TOptions.Save: the stored settings could not be read"),
                  std::string::npos);
    }
}

// Settings deleted or damaged while the program was stopped come back from their copy at the
// next start, password and all, rather than as defaults with a wizard offering a new password;
// the person is told.
TEST_F(X11Program, LostSettingsComeBackFromTheirCopyAtTheStart) {
    Configure([](tw::TOptions& options) {
        options.Edit().ScanPeriodSeconds = 1;
        options.Edit().TimeLimitSeconds = 1234;
        options.Edit().Password = "the stored digest";
    });
    const std::string settings = (DataFolder() / "settings.sqlite").string();
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged" : "deleted");
        if (damaged) {
            twtest::WriteAll(settings, "x\n");
        } else {
            fs::remove(settings);
        }
        StartClosingItsNoticeAndEnd();
        tw::TSQLiteDatabase db(settings);
        auto rows = db.GetTable("SELECT group_concat(value, '|') FROM (SELECT value FROM settings "
                                "WHERE name IN ('TimeLimitSeconds', 'Password', 'IsNotFirstRun') "
                                "ORDER BY name)");
        ASSERT_TRUE(rows->First());
        EXPECT_EQ(rows->ValueAsText(0), "1|the stored digest|1234");
        EXPECT_NE(twtest::ReadAll((DataFolder() / "tallywick.log").string())
                      .find("restored from their copy"),
                  std::string::npos);
    }
}

TEST_F(X11Program, StartAfterACrashTakesTheStaleLock) {
    Configure([](tw::TOptions&) {});
    auto crashed = Start();
    ASSERT_TRUE(WaitUntil([&] { return LockHeld(); }));
    crashed->Kill();
    EXPECT_TRUE(LockHeld()); // left behind, but no longer held
    auto next = Start();
    EXPECT_FALSE(next->ExitCodeWithin(1500).has_value()) << Errors();
    twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
    EXPECT_TRUE(next->ExitsCleanlyWithin(3000));
}

// The window as the user sees it: docked at the right edge in the compact view, drawn.
TEST_F(X11Program, TheMainWindowStandsDockedAtTheRightEdgeAndIsDrawn) {
    Configure([](tw::TOptions&) {});
    auto program = Start();
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    std::vector<twtest::TXWindow> windows;
    // No tray on this server: the window starts shown rather than hidden.
    ASSERT_TRUE(WaitUntil(
        [&] {
            windows = screen.WindowsOf(program->Pid(), "Tallywick");
            return !windows.empty();
        },
        10000))
        << Errors();
    const TScreenRect whole = screen.ScreenSize();
    TScreenRect place{};
    ASSERT_TRUE(WaitUntil(
        [&] {
            place = screen.Geometry(windows.front());
            return place.x + place.width == whole.width && place.y == 0;
        },
        5000))
        << place.x << "," << place.y << " " << place.width << "x" << place.height;
    EXPECT_EQ(place.width, 327);
    EXPECT_GT(place.height, 200); // the compact view ends below the memo
    EXPECT_LT(place.height, 400);
    // Like the tray, the window is no task of its own.
    if (std::string(std::getenv("TALLYWICK_X11_WM")) != "none") {
        EXPECT_EQ(screen.States(windows.front()).count("_NET_WM_STATE_SKIP_TASKBAR"), 1u);
    }

    // Drawn: the header, the panels and the text give many colours, not one flat fill.
    std::set<unsigned long> colours;
    ASSERT_TRUE(WaitUntil(
        [&] {
            colours = screen.Colours(place);
            return colours.size() > 50;
        },
        5000))
        << colours.size() << " colours";

    twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
    EXPECT_TRUE(program->ExitsCleanlyWithin(3000)) << Errors();
}

} // namespace

#endif
