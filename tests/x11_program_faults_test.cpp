// The built program against what a person's disk can do to its files: a damaged activity
// database, files and folders it may not write, a full disk, another program's lock, the
// data folder deleted under it. In every case it keeps running, says so once, names the
// failure in its log, counts again as soon as it can, and loses nothing that was stored.
#ifdef __linux__

#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/installed_program.h"
#include "support/program_settings.h"
#include "support/temp_dir.h"
#include "support/x11_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;
using twtest::TClient;
using twtest::WaitUntil;

enum class TFault {
    RandomBytes,    // before the start: 5 KB of random bytes in place of actmondb.sqlite
    CutMidPage,     // before the start: the database cut off in the middle of a page
    ReadOnlyFile,   // while running
    ReadOnlyFolder, // while running
    FullDisk,       // while running: a file-size limit on the program
    Locked,         // while running: another process holds an exclusive lock, then lets go
    FolderDeleted,  // while running
};

constexpr int StoredRows = 20000; // earlier use (5.5 hours of it): what must survive
constexpr int StoredSeconds = StoredRows * 3;
constexpr int Limit = 5 * 3600;
const char* const Memo = "written before the fault";
// Below the size of the stored database, above what the log and the settings file reach.
constexpr rlim_t FullDiskBytes = 1024 * 1024;

class X11ProgramFaults : public ::testing::TestWithParam<TFault> {
  protected:
    X11ProgramFaults() { installed_.Environment().obeyFilePermissions = true; }
    ~X11ProgramFaults() override {
        std::error_code ignored; // whatever a case left read-only goes with the rest
        fs::permissions(DataFolder(), fs::perms::owner_all, ignored);
    }

    fs::path DataFolder() const { return installed_.DataFolder(); }
    std::string Activity() const { return (DataFolder() / "actmondb.sqlite").string(); }
    std::string Log() const { return installed_.Log(); }
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }

    // The settings as the wizard saves them, the test's window listed, a scan every second,
    // and a day of earlier use in the activity database.
    void Prepare() {
        ASSERT_TRUE(
            twtest::ConfigureDataFolder(DataFolder(), installed_.Folder(), [&](tw::TOptions& o) {
                o.Edit().ScanPeriodSeconds = 1;
                o.Edit().TimeLimitSeconds = Limit;
                for (int i = 0; i < 3; ++i) {
                    o.SetReminder(i, Memo);
                }
                auto item = std::make_unique<tw::TMonitoredItem>();
                item->Name = client_;
                item->Caption = "Test client";
                item->ItemType = tw::TMonitoredItemType::mitApp;
                o.Edit().MonitoredList.Add("Test client", std::move(item));
            }));
        tw::TSQLiteDatabase db(Activity());
        db.ExecSQL("BEGIN");
        // From noon two days ago: the rows end on that date whatever the time of day now, and
        // lie before today's accounting day even in the small hours, before 04:00.
        const tw::TDateTime earlier = std::floor(tw::LocalWallClockNow()) - 2 + 0.5;
        for (int i = 0; i < StoredRows; ++i) {
            db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                       "duration, origin) VALUES('" +
                       tw::DateTimeToSQL(earlier + i * tw::OneSecond) + "', '" + client_ +
                       "', '', 'Desktop Application', 3, 1)");
        }
        db.ExecSQL("COMMIT");
        ASSERT_GT(fs::file_size(Activity()), 2 * FullDiskBytes);
    }

    // What the log says about each scan is how the test knows that scans went by.
    int Scans() const {
        const std::string log = Log();
        int count = 0;
        for (auto at = log.find("tmrScanTimer ended"); at != std::string::npos;
             at = log.find("tmrScanTimer ended", at + 1)) {
            ++count;
        }
        return count;
    }

    std::string Scalar(const std::string& file, const std::string& sql) const {
        tw::TSQLiteDatabase db(file);
        auto table = db.GetTable(sql);
        return table->First() ? table->ValueAsText(0) : std::string();
    }
    // Rows written for time at or after the moment (0 while the file cannot be read).
    int RowsSince(tw::TDateTime moment) const {
        try {
            return std::stoi(Scalar(Activity(), "SELECT COUNT(*) FROM applications WHERE "
                                                "date_created >= '" +
                                                    tw::DateTimeToSQL(moment) + "'"));
        } catch (const std::exception&) {
            return 0;
        }
    }

    // Before the start: what the damaged file holds. While running: nothing.
    std::string Inflict(TFault fault, pid_t program) {
        switch (fault) {
        case TFault::RandomBytes: {
            std::mt19937 random(13);
            std::string bytes(5 * 1024, '\0');
            for (char& c : bytes) {
                c = static_cast<char>(random());
            }
            twtest::WriteAll(Activity(), bytes);
            return bytes;
        }
        case TFault::CutMidPage:
            fs::resize_file(Activity(), fs::file_size(Activity()) / 2 / 4096 * 4096 + 1500);
            return twtest::ReadAll(Activity());
        case TFault::ReadOnlyFile:
            fs::permissions(Activity(),
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
            break;
        case TFault::ReadOnlyFolder:
            fs::permissions(DataFolder(), fs::perms::owner_read | fs::perms::owner_exec |
                                              fs::perms::group_read | fs::perms::group_exec);
            break;
        case TFault::FullDisk: {
            rlimit full{};
            prlimit(program, RLIMIT_FSIZE, nullptr, &savedFileLimit_);
            full = savedFileLimit_;
            full.rlim_cur = FullDiskBytes;
            EXPECT_EQ(prlimit(program, RLIMIT_FSIZE, &full, nullptr), 0);
            break;
        }
        case TFault::Locked:
            locker_ = std::make_unique<tw::TSQLiteDatabase>(Activity());
            locker_->ExecSQL("BEGIN EXCLUSIVE");
            break;
        case TFault::FolderDeleted:
            fs::remove_all(DataFolder());
            break;
        }
        return {};
    }

    void Heal(TFault fault, pid_t program) {
        switch (fault) {
        case TFault::ReadOnlyFile:
            fs::permissions(Activity(), fs::perms::owner_write, fs::perm_options::add);
            break;
        case TFault::ReadOnlyFolder:
            fs::permissions(DataFolder(), fs::perms::owner_write, fs::perm_options::add);
            break;
        case TFault::FullDisk:
            EXPECT_EQ(prlimit(program, RLIMIT_FSIZE, &savedFileLimit_, nullptr), 0);
            break;
        case TFault::Locked:
            locker_->ExecSQL("ROLLBACK");
            locker_.reset();
            break;
        default:
            break; // put right by the program itself
        }
    }

    void ExpectSettingsKept() {
        const std::string settings = (DataFolder() / "settings.sqlite").string();
        EXPECT_EQ(Scalar(settings, "SELECT value FROM settings WHERE name = 'TimeLimitSeconds'"),
                  std::to_string(Limit));
        EXPECT_EQ(Scalar(settings, "SELECT group_concat(name) FROM applications_list"), client_);
        EXPECT_EQ(Scalar(settings,
                         "SELECT COUNT(*) FROM reminders WHERE text = '" + std::string(Memo) + "'"),
                  "3");
    }

    twtest::TInstalledProgram installed_;
    const std::string client_ = fs::canonical(twtest::ClientPath()).string();
    rlimit savedFileLimit_{};
    std::unique_ptr<tw::TSQLiteDatabase> locker_;
};

TEST_P(X11ProgramFaults, KeepsRunningSaysSoOnceCountsAgainAndLosesNothing) {
    const TFault fault = GetParam();
    const bool beforeStart = fault == TFault::RandomBytes || fault == TFault::CutMidPage;
    Prepare();
    if (HasFatalFailure()) {
        return;
    }
    const std::string damaged = beforeStart ? Inflict(fault, 0) : std::string();
    TClient window({"--pid", "--delete", "--focus"});
    const auto program = installed_.Start();
    twtest::TScreen screen;
    ASSERT_TRUE(screen.Open());
    if (!beforeStart) {
        const tw::TDateTime started = tw::LocalWallClockNow();
        ASSERT_TRUE(WaitUntil([&] { return RowsSince(started) > 0; }, 15000)) << Log();
        Inflict(fault, program->Pid());
    }
    const tw::TDateTime faultFrom = tw::LocalWallClockNow();

    // One notice, which stays one while the failure lasts through further scans.
    std::vector<twtest::TXWindow> notices;
    ASSERT_TRUE(WaitUntil(
        [&] {
            notices = screen.WindowsOf(program->Pid(), "Please Note");
            return !notices.empty();
        },
        15000))
        << Log();
    screen.Activate(window.Window()); // back to the listed window, as the person would go
    // Counted from when it is in front: on a busy machine the window manager takes a while.
    ASSERT_TRUE(WaitUntil([&] { return screen.Active() == window.Window(); }, 15000));
    const int scans = Scans();
    ASSERT_TRUE(WaitUntil([&] { return Scans() >= scans + 3; }, 15000)) << Log();
    EXPECT_EQ(screen.WindowsOf(program->Pid(), "Please Note").size(), 1u);
    EXPECT_TRUE(program->Running());
    screen.Close(notices.front());

    // Counting resumes once the cause is gone, and the time counted meanwhile is written.
    Heal(fault, program->Pid());
    const tw::TDateTime healed = tw::LocalWallClockNow();
    ASSERT_TRUE(WaitUntil([&] { return RowsSince(healed + 2 * tw::OneSecond) > 0; }, 15000))
        << Log();
    if (!beforeStart && fault != TFault::FolderDeleted) {
        // The scans in front of the listed window while the file failed were kept, and
        // written as one row with the first scan that could write: several seconds long
        // where every other row holds about one.
        EXPECT_GE(std::stoi(Scalar(Activity(), "SELECT MAX(duration) FROM applications WHERE "
                                               "date_created >= '" +
                                                   tw::DateTimeToSQL(faultFrom) + "'")),
                  3)
            << Log();
    }
    twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
    EXPECT_TRUE(program->ExitsCleanlyWithin(5000)) << installed_.Log();
    EXPECT_TRUE(screen.WindowsOf(program->Pid(), "Please Note").empty());

    // What was stored is all there: in the database, or, damaged, kept byte for byte.
    const std::string log = Log();
    const std::string today = tw::DateTimeToSQL(faultFrom).substr(0, 10);
    if (beforeStart) {
        std::vector<fs::path> kept;
        for (const auto& entry : fs::directory_iterator(DataFolder())) {
            if (entry.path().filename().string().rfind("actmondb.damaged-" + today, 0) == 0) {
                kept.push_back(entry.path());
            }
        }
        ASSERT_EQ(kept.size(), 1u) << log;
        EXPECT_EQ(twtest::ReadAll(kept[0].string()), damaged);
        EXPECT_NE(log.find(kept[0].string() + "\n"), std::string::npos) << log;
        EXPECT_NE(log.find(Activity() + "\n"), std::string::npos) << log;
    } else if (fault != TFault::FolderDeleted) {
        EXPECT_EQ(Scalar(Activity(), "SELECT COUNT(*) || ' ' || SUM(duration) FROM applications "
                                     "WHERE date_created < '" +
                                         today + "'"),
                  std::to_string(StoredRows) + " " + std::to_string(StoredSeconds));
    }
    ExpectSettingsKept();
    static const std::map<TFault, std::vector<std::string>> named = {
        {TFault::RandomBytes, {"File opened that is not a database file"}},
        {TFault::CutMidPage, {"The database disk image is malformed"}},
        {TFault::ReadOnlyFile, {"Attempt to write a readonly database"}},
        {TFault::ReadOnlyFolder, {"Attempt to write a readonly database"}},
        {TFault::FullDisk, {"Some kind of disk I/O error occurred"}},
        {TFault::Locked, {"The database file is locked"}},
        {TFault::FolderDeleted, {"was missing, and so were its settings"}},
    };
    for (const std::string& text : named.at(fault)) {
        EXPECT_NE(log.find(text), std::string::npos) << text << "\n" << log;
    }
    EXPECT_NE(log.find("works again"), std::string::npos) << log;
}

std::string FaultName(const testing::TestParamInfo<TFault>& info) {
    static const char* const names[] = {"RandomBytes",    "CutMidPage", "ReadOnlyFile",
                                        "ReadOnlyFolder", "FullDisk",   "Locked",
                                        "FolderDeleted"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(X11, X11ProgramFaults,
                         testing::Values(TFault::RandomBytes, TFault::CutMidPage,
                                         TFault::ReadOnlyFile, TFault::ReadOnlyFolder,
                                         TFault::FullDisk, TFault::Locked, TFault::FolderDeleted),
                         FaultName);

} // namespace

#endif
