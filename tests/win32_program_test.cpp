// The built Windows program and its diagnostic command under the system (or Wine), as a
// user runs them: separate processes started from a folder whose name is not ASCII, the
// data folder in the user's real roaming application-data folder (the tests run one at a
// time, in a throwaway Wine prefix), real windows in front.
#include "base/json_text.h"
#include "base/text.h"
#include "items/monitored_list.h"
#include "platform/native_path.h"
#include "platform/win32/win32_text.h"
#include "storage/data_folder.h"
#include "storage/options.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "win32_support/program_data.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

using twtest::TTestProcess;

namespace {

namespace fs = std::filesystem;

const std::string Folder = twtest::NonAsciiFolderName;
const std::string Title = "Τίτλος — Ζωή";
const std::string Address = "παράδειγμα.ελ/σελίδα?q=Ζωή";

std::string FileBytes(const std::string& path) {
    std::ifstream file(tw::NativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(tw::NativePath(path), ignored);
}

std::unique_ptr<tw::TMonitoredItem> Item(const std::string& name, const std::string& caption,
                                         tw::TMonitoredItemType type) {
    auto item = std::make_unique<tw::TMonitoredItem>();
    item->Name = name;
    item->Caption = caption;
    item->ItemType = type;
    return item;
}

class WindowsProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(twtest::RoamingFolder().empty());
        fs::remove_all(tw::NativePath(DataFolder()));
        root_ = twtest::ProcessTempFolder("tallywick-program");
        programFolder_ = root_ + "\\" + Folder + "\\";
        fs::create_directories(tw::NativePath(programFolder_));
        fs::copy_file(twtest::OwnFolder() + "bin\\" + TALLYWICK_PROGRAM_NAME,
                      tw::NativePath(programFolder_ + "tallywick.exe"));
        for (const char* name : {"tallywick-probe.exe", "settings.sqlite", "actmondb.sqlite"}) {
            fs::copy_file(twtest::OwnFolder() + "bin\\" + name,
                          tw::NativePath(programFolder_ + name));
        }
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(tw::NativePath(root_), ignored);
        fs::remove_all(tw::NativePath(DataFolder()), ignored);
    }

    // Where the program keeps its data: under the user's roaming application data.
    std::string DataFolder() const { return twtest::ProgramDataFolder(); }
    std::string LockFile() const { return DataFolder() + "Tallywick.lock"; }
    std::string ActivityDatabase() const { return DataFolder() + "actmondb.sqlite"; }

    void Configure(const std::function<void(tw::TOptions&)>& change) {
        ASSERT_TRUE(twtest::ConfigureProgramData(programFolder_, change));
    }

    // A copy of the test helper beside the program, under a name that is not ASCII.
    std::string HelperCopy() {
        const std::string helper = programFolder_ + "Ζωή helper.exe";
        fs::copy_file(twtest::OwnFolder() + TALLYWICK_HELPER_NAME, tw::NativePath(helper),
                      fs::copy_options::overwrite_existing);
        return helper;
    }
    // The helper's window, in front.
    std::unique_ptr<TTestProcess> ShowInFront(const std::string& helper,
                                              const std::string& arguments) {
        auto shown = std::make_unique<TTestProcess>("\"" + helper + "\" " + arguments);
        EXPECT_EQ(shown->ReadLine(), "window");
        EXPECT_TRUE(twtest::MakeForeground(twtest::WaitForProcessWindow(shown->Id())));
        return shown;
    }

    std::unique_ptr<TTestProcess> Start(const char* program = "tallywick.exe") {
        return std::make_unique<TTestProcess>("\"" + programFolder_ + program + "\"");
    }
    // The uninstaller's marker ends the program in order.
    void EndByUninstall(TTestProcess& program) {
        std::ofstream(tw::NativePath(programFolder_ + "uninstall.flag")) << "";
        EXPECT_EQ(program.ExitCodeWithin(10000), 0);
        fs::remove(tw::NativePath(programFolder_ + "uninstall.flag"));
    }
    // What the diagnostic command reports about the window in front.
    std::string ProbeReport() {
        TTestProcess probe("\"" + programFolder_ + "tallywick-probe.exe\"");
        std::string report = probe.ReadLine();
        EXPECT_EQ(probe.ExitCodeWithin(10000), 0);
        return report;
    }
    std::unique_ptr<tw::TSQLiteTable> Query(const std::string& database, const std::string& sql) {
        tw::TSQLiteDatabase db(database);
        return db.GetTable(sql);
    }
    // Activity rows so far; none while the program is writing.
    std::int64_t ActivityRows() {
        try {
            return Query(ActivityDatabase(), "SELECT COUNT(*) FROM applications")
                ->ValueAsInteger(0);
        } catch (const std::exception&) {
            return 0;
        }
    }

    std::string root_;
    std::string programFolder_;
};

TEST_F(WindowsProgram, FirstStartSeedsTheRoamingFolderASecondIsRefusedTheUninstallerEndsIt) {
    auto first = Start();
    auto seeded = [&] {
        for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
            if (FileBytes(DataFolder() + name) != FileBytes(programFolder_ + name)) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(twtest::WaitUntil([&] { return Exists(LockFile()) && seeded(); }, 20000))
        << "no lock, or the data folder holds no copies of the templates";

    auto second = Start();
    EXPECT_EQ(second->ReadLine(), "Please Note: Application is already running");
    EXPECT_EQ(second->ExitCodeWithin(10000), 1);
    EXPECT_TRUE(first->Running());

    std::ofstream(tw::NativePath(DataFolder() + "Tallywick.flag")) << "";
    EndByUninstall(*first);
    EXPECT_FALSE(Exists(LockFile()));
    EXPECT_FALSE(Exists(DataFolder() + "Tallywick.flag"));
}

TEST_F(WindowsProgram, NotepadInFrontIsLoggedWithItsFullPathAndClosedAtTheLimit) {
    const std::string notepad = twtest::SystemFile("notepad.exe");
    Configure([&](tw::TOptions& options) {
        options.Edit().ScanPeriodSeconds = 1;
        options.Edit().TimeLimitSeconds = 2;
        options.Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
        options.Edit().MonitoredList.Add("Notepad",
                                         Item(notepad, "Notepad", tw::TMonitoredItemType::mitApp));
    });
    TTestProcess editor("notepad.exe");
    HWND window = twtest::WaitForProcessWindow(editor.Id());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(twtest::MakeForeground(window));

    auto program = Start();
    EXPECT_EQ(editor.ExitCodeWithin(30000), 0) << "notepad was not closed at the limit";
    EndByUninstall(*program);

    auto rows = Query(ActivityDatabase(),
                      "SELECT app_name, COUNT(*), SUM(duration), MIN(origin), MAX(app_type) FROM "
                      "applications GROUP BY app_name");
    ASSERT_TRUE(rows->First());
    EXPECT_TRUE(tw::SameText(rows->ValueAsText(0), notepad)) << rows->ValueAsText(0);
    EXPECT_EQ(rows->ValueAsText(0).substr(1, 2), ":\\");
    EXPECT_GE(rows->ValueAsInteger(1), 2);
    EXPECT_GE(rows->ValueAsInteger(2), 2);
    EXPECT_EQ(rows->ValueAsInteger(3), 1);
    EXPECT_EQ(rows->ValueAsText(4), "Desktop Application");
    EXPECT_EQ(rows->RowCount(), 1) << "only notepad was in front";
}

// A program in a folder of non-ASCII letters showing a browser-like window whose address
// is Greek: the path and the text reach the probe, the activity log and the list exactly.
TEST_F(WindowsProgram, NonAsciiPathAndTextReachTheProbeTheLogAndTheList) {
    const std::string helper = HelperCopy();
    const std::string site = "παράδειγμα.ελ/σελίδα";
    Configure([&](tw::TOptions& options) {
        options.Edit().ScanPeriodSeconds = 1;
        options.Edit().MonitoredList.Add("Ζωή",
                                         Item(helper, "Ζωή", tw::TMonitoredItemType::mitApp));
        options.Edit().MonitoredList.Add("Σελίδα",
                                         Item(site, "Σελίδα", tw::TMonitoredItemType::mitWeb));
    });

    auto plain = ShowInFront(helper, "window \"" + Title + "\"");
    const std::string quotedHelper = tw::JsonQuote(helper);
    std::string report = ProbeReport();
    EXPECT_NE(report.find("\"executable\":" + quotedHelper), std::string::npos) << report;
    EXPECT_NE(report.find("\"listed\":{\"caption\":\"Ζωή\""), std::string::npos) << report;

    auto browser = ShowInFront(helper, "browser \"" + Title + "\" \"" + Address + "\"");
    report = ProbeReport();
    EXPECT_NE(report.find("\"executable\":" + quotedHelper), std::string::npos) << report;
    EXPECT_NE(report.find("\"address\":\"" + Address + "\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"listed\":{\"caption\":\"Σελίδα\""), std::string::npos) << report;

    auto program = Start();
    ASSERT_TRUE(twtest::WaitUntil([&] { return ActivityRows() >= 2; }, 20000));
    EndByUninstall(*program);
    auto rows = Query(ActivityDatabase(),
                      "SELECT DISTINCT app_name, browser_url, origin FROM applications");
    ASSERT_TRUE(rows->First());
    EXPECT_EQ(rows->ValueAsText(0), helper);
    EXPECT_EQ(rows->ValueAsText(1), site);
    EXPECT_EQ(rows->ValueAsInteger(2), 2);
    EXPECT_EQ(rows->RowCount(), 1);
}

// Today's browsers, as stand-ins under their program names: a listed site in front is counted
// under each browser's name and its window closed at the limit; an unlisted site, and the
// listed one only typed into the address bar, are neither.
TEST_F(WindowsProgram, ListedSitesInEachOfTodaysBrowsersAreCountedAndClosedAtTheLimit) {
    Configure([&](tw::TOptions& options) {
        options.Edit().ScanPeriodSeconds = 1;
        options.Edit().TimeLimitSeconds = 2;
        options.Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
        options.Edit().MonitoredList.Add(
            "News", Item("news.example", "News", tw::TMonitoredItemType::mitWeb));
    });
    twtest::TBrowserStandIns standIns;
    auto program = Start();
    const struct {
        const char* program;
        const char* arguments;
        const char* logged;
    } browsers[] = {
        {"chrome.exe", "chromium news.example/today", "Google Chrome"},
        {"msedge.exe", "chromium news.example/today \"name=Barre d'adresse\"", "Edge"},
        {"brave.exe", "chromium news.example/today", "Brave"},
        {"opera.exe", "own news.example/today", "Opera"},
        {"vivaldi.exe", "own news.example/today", "Vivaldi"},
        {"firefox.exe", "firefox https://news.example/today", "Mozila FireFox"},
    };
    std::set<std::pair<std::string, std::string>> listed;
    for (const auto& each : browsers) {
        SCOPED_TRACE(each.program);
        auto browser = standIns.Start(each.program, each.arguments);
        listed.insert({standIns.LastCopy(), each.logged});
        ASSERT_TRUE(twtest::MakeForeground(twtest::WaitForProcessWindow(browser->Id())));
        // 3 would say that the page's document was reached into.
        EXPECT_EQ(browser->ExitCodeWithin(30000), 0) << "not closed at the limit";
    }
    for (const char* arguments : {"chromium other.example/news", "chromium news.example focused"}) {
        SCOPED_TRACE(arguments);
        auto browser = standIns.Start("chrome.exe", arguments);
        ASSERT_TRUE(twtest::MakeForeground(twtest::WaitForProcessWindow(browser->Id())));
        EXPECT_EQ(browser->ExitCodeWithin(4000), -1) << "closed, though not on a listed site";
    }
    EndByUninstall(*program);

    auto rows = Query(ActivityDatabase(),
                      "SELECT DISTINCT app_name, app_type, browser_url FROM applications");
    std::set<std::pair<std::string, std::string>> logged;
    for (rows->First(); !rows->Eof(); rows->Next()) {
        logged.insert({rows->ValueAsText(0), rows->ValueAsText(1)});
        EXPECT_EQ(rows->ValueAsText(2), "news.example");
    }
    EXPECT_EQ(logged, listed);
}

// What the program loaded it writes back unchanged, non-ASCII texts and quotes included.
TEST_F(WindowsProgram, SettingsSurviveTheProgramsLoadAndSaveExactly) {
    const std::array<std::string, 3> memos = {"Ζωή's «morning» — café ☕", "Ж: \"quoted\"\r\nline",
                                              "O'Brien; DROP TABLE settings;--"};
    Configure([&](tw::TOptions& options) {
        options.Edit().TimeLimitSeconds = 5400;
        options.Edit().ScanPeriodSeconds = 4;
        options.Edit().ExpirationAction = tw::TExpirationAction::ShutdownComputer;
        options.Edit().Reminders = memos;
        options.Edit().MonitoredList.Add(
            "Ж", Item(programFolder_ + "Ж.exe", "Ж", tw::TMonitoredItemType::mitApp));
        options.Edit().MonitoredList.Add(
            "ελ", Item("ουρανός.ελ", "Ουρανός 'ελ'", tw::TMonitoredItemType::mitWeb));
    });
    auto program = Start();
    ASSERT_TRUE(twtest::WaitUntil([&] { return Exists(LockFile()); }, 20000));
    EndByUninstall(*program);

    {
        tw::TSystemClockSource source;
        tw::TClock clock(source);
        tw::TErrorLog log;
        tw::TDataFolder data(tw::PlacesOf(DataFolder(), programFolder_ + "Tallywick.exe"), clock,
                             log);
        tw::TOptions options(data);
        options.MakeReadOnly();
        EXPECT_FALSE(options.LoadFailed());
        EXPECT_EQ(options.Edit().TimeLimitSeconds, 5400);
        EXPECT_EQ(options.Edit().ScanPeriodSeconds, 4);
        EXPECT_EQ(options.Edit().ExpirationAction, tw::TExpirationAction::ShutdownComputer);
        EXPECT_EQ(options.Edit().Reminders, memos);
        ASSERT_EQ(options.Edit().MonitoredList.Count(), 2);
        tw::TMonitoredItemType type{};
        int index = options.Edit().MonitoredList.FindMatch(programFolder_ + "Ж.exe", "", type);
        ASSERT_NE(index, -1);
        EXPECT_EQ(options.Edit().MonitoredList.Items(index).Caption, "Ж");
        index = options.Edit().MonitoredList.FindMatch("", "http://ουρανός.ελ/", type);
        ASSERT_NE(index, -1);
        EXPECT_EQ(options.Edit().MonitoredList.Items(index).Caption, "Ουρανός 'ελ'");
    }
}

// The system ends the session the way Windows (and Wine's own end of session) does: the
// query, then the end, then the process is ended at once. What the program holds in
// memory must be on disk by then, and the lock released.
TEST_F(WindowsProgram, TheSessionsEndLeavesTheSettingsSavedAndTheLockReleased) {
    const std::string helper = HelperCopy();
    Configure([&](tw::TOptions& options) {
        options.Edit().TimeLimitSeconds = 7200;
        options.Edit().ScanPeriodSeconds = 1;
        options.Edit().MonitoredList.Add("Ζωή",
                                         Item(helper, "Ζωή", tw::TMonitoredItemType::mitApp));
    });
    auto listed = ShowInFront(helper, "window Listed");
    auto program = Start();
    // Counting, so its settings are loaded.
    ASSERT_TRUE(twtest::WaitUntil([&] { return ActivityRows() >= 1; }, 20000));
    std::ofstream(tw::NativePath(DataFolder() + "Tallywick.flag")) << "";
    // A change behind the program's back, which only its own save undoes.
    tw::TSQLiteDatabase(DataFolder() + "settings.sqlite")
        .ExecSQL("UPDATE settings SET value = '60' WHERE name = 'TimeLimitSeconds'");

    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program->Id());
    ASSERT_NE(process, nullptr);
    const std::vector<HWND> windows = twtest::WindowsOf(program->Id());
    ASSERT_FALSE(windows.empty());
    for (HWND window : windows) {
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(
            SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &agreed));
        EXPECT_TRUE(agreed) << "the session's end was refused";
    }
    for (HWND window : windows) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);

    EXPECT_FALSE(Exists(LockFile()));
    EXPECT_FALSE(Exists(DataFolder() + "Tallywick.flag"));
    auto value = Query(DataFolder() + "settings.sqlite",
                       "SELECT value FROM settings WHERE name = 'TimeLimitSeconds'");
    ASSERT_TRUE(value->First());
    EXPECT_EQ(value->ValueAsText(0), "7200");
}

} // namespace
