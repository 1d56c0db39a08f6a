// The day's total as a person trusts it, with the built program on a real X server: a program
// listed by its file name keeps its history through a restart, a stop nobody announced is not
// charged as time in front, a time zone moved a day and more forward begins no second day, and
// an activity database another program holds when the program starts still gets the time.
#ifdef __linux__

#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/day_start.h"
#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/installed_program.h"
#include "support/program_settings.h"
#include "support/temp_dir.h"
#include "support/x11_program_windows.h"
#include "support/x11_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Seconds = std::chrono::duration<double>;
using std::chrono::steady_clock;
using twtest::TClient;
using twtest::TScreen;
using twtest::TXWindow;
using twtest::WaitUntil;

enum class TTrust { ListedByFileName, UnannouncedStop, ZoneForward, LockedAtStart };

struct TTrustCase {
    TTrust trust;
    const char* name;
};

const TTrustCase Cases[] = {
    {TTrust::ListedByFileName, "ListedByFileNameKeepsItsRowsThroughARestart"},
    {TTrust::UnannouncedStop, "AStopNobodyAnnouncedIsNotChargedInFull"},
    {TTrust::ZoneForward, "AZone26HoursForwardBeginsNoSecondDay"},
    {TTrust::LockedAtStart, "ADatabaseLockedAtStartGetsTheTimeAfterwards"},
};

// What nobody may charge beyond the time in front: one scan credits at most two periods.
constexpr int StopPeriod = 3;
constexpr auto StopLength = std::chrono::seconds(15);
constexpr auto LockLength = std::chrono::seconds(10);

// Replaces a file's bytes in the file itself: a file bound over another keeps its inode, and a
// renamed replacement would not be seen through the binding.
void OverwriteInPlace(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0) << path;
    EXPECT_EQ(pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    EXPECT_EQ(ftruncate(fd, static_cast<off_t>(bytes.size())), 0);
    close(fd);
}

class X11DayTrust : public ::testing::TestWithParam<TTrustCase> {
  protected:
    void ListedByFileName();
    void UnannouncedStop();
    void ZoneForward();
    void LockedAtStart();

    fs::path DataFolder() const { return installed_.DataFolder(); }
    std::string Activity() const { return (DataFolder() / "actmondb.sqlite").string(); }
    std::string Settings() const { return (DataFolder() / "settings.sqlite").string(); }
    std::string Log() const { return installed_.Log(); }

    // The test client listed under the name, the time-up action of the case and its limit.
    void Configure(const std::string& listed, int scanPeriod, int limit,
                   tw::TExpirationAction action,
                   const std::function<void(tw::TOptions&)>& more = {}) {
        ASSERT_TRUE(
            twtest::ConfigureDataFolder(DataFolder(), installed_.Folder(), [&](tw::TOptions& o) {
                o.Edit().ScanPeriodSeconds = scanPeriod;
                o.Edit().TimeLimitSeconds = limit;
                o.Edit().ExpirationAction = action;
                auto item = std::make_unique<tw::TMonitoredItem>();
                item->Name = listed;
                item->Caption = "Test client";
                item->ItemType = tw::TMonitoredItemType::mitApp;
                o.Edit().MonitoredList.Add("Test client", std::move(item));
                if (more) {
                    more(o);
                }
            }));
    }
    // Rows of the test client as the program writes them.
    void Seed(tw::TDateTime from, int rows, int seconds) {
        tw::TSQLiteDatabase db(Activity());
        for (int i = 0; i < rows; ++i) {
            db.ExecSQL(
                "INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                "duration, origin) VALUES(?1, ?2, '', 'Desktop Application', ?3, 1)",
                {tw::DateTimeToSQL(from + i * tw::OneSecond), client_, std::int64_t{seconds}});
        }
    }

    std::unique_ptr<TClient> Start() { return installed_.Start(); }
    // The program with the zone file standing for the system's own (/etc/localtime) in a
    // mount namespace of its own: the machine's zone stays as it is. A TZ naming the file
    // would not do: the C library reads the file again only when TZ is unset.
    std::unique_ptr<TClient> StartInZone(const std::string& zone) {
        std::vector<std::string> arguments;
        if (geteuid() != 0) {
            arguments = {"--user", "--map-root-user"};
        }
        for (const std::string& argument :
             {std::string("--mount"), std::string("--"), std::string("/bin/sh"), std::string("-c"),
              std::string("mount --bind \"$1\" /etc/localtime && unset TZ && exec \"$2\" "
                          "--diagnostic-log"),
              std::string("sh"), zone, installed_.Executable()}) {
            arguments.push_back(argument);
        }
        return std::make_unique<TClient>(arguments, false, "/usr/bin/unshare",
                                         installed_.Environment());
    }
    // Ends the program as the uninstaller does, and waits for it.
    void Quit(TClient& program) {
        twtest::WriteAll((installed_.Folder() / "uninstall.flag").string(), "");
        EXPECT_TRUE(program.ExitsCleanlyWithin(5000)) << Log();
        fs::remove(installed_.Folder() / "uninstall.flag");
    }

    // The first column of the first row; "" when the file stays busy or unreadable.
    std::string Scalar(const std::string& file, const std::string& sql) const {
        std::string value;
        WaitUntil([&] {
            try {
                tw::TSQLiteDatabase db(file);
                auto table = db.GetTable(sql);
                value = table->First() ? table->ValueAsText(0) : std::string();
                return true;
            } catch (const std::exception&) {
                return false; // the program is writing, or the test itself holds the lock
            }
        });
        return value;
    }
    int Number(const std::string& sql) const {
        const std::string value = Scalar(Activity(), sql);
        return value.empty() ? 0 : std::stoi(value);
    }
    // The test client's rows written for time at or after the moment, and their seconds.
    int RowsSince(tw::TDateTime moment) const {
        return Number("SELECT COUNT(*) FROM applications WHERE app_name = '" + client_ +
                      "' AND date_created >= '" + tw::DateTimeToSQL(moment) + "'");
    }
    int SecondsSince(tw::TDateTime moment) const {
        return Number("SELECT TOTAL(duration) FROM applications WHERE app_name = '" + client_ +
                      "' AND date_created >= '" + tw::DateTimeToSQL(moment) + "'");
    }

    // Scans as the diagnostic log tells them, and the time (local, as the program reads its
    // clock) the last one ended at.
    int Scans() const { return static_cast<int>(ScanEnds().size()); }
    std::string LastScanTime() const {
        const auto ends = ScanEnds();
        return ends.empty() ? std::string() : ends.back();
    }
    std::vector<std::string> ScanEnds() const {
        std::vector<std::string> times;
        const std::string log = twtest::ReadAll((DataFolder() / "tallywick.log").string());
        for (auto at = log.find("tmrScanTimer ended"); at != std::string::npos;
             at = log.find("tmrScanTimer ended", at + 1)) {
            const auto line = log.rfind('\n', at);
            times.push_back(log.substr(line == std::string::npos ? 0 : line + 1, 19));
        }
        return times;
    }

    // Waits until the local time, as the clock gives it, stands a while away from a day's
    // 04:00 on both sides, so that no real day turn falls into the case.
    static void AwayFromDayTurn(const std::function<tw::TDateTime()>& localNow) {
        const tw::TDateTime now = localNow();
        const tw::TDateTime next = tw::NextDayStart(now);
        if (next - now < 90 * tw::OneSecond) {
            std::this_thread::sleep_for(Seconds((next - now) / tw::OneSecond + 95));
        } else if (now - (next - 1) < 95 * tw::OneSecond) {
            std::this_thread::sleep_for(Seconds(95 - (now - (next - 1)) / tw::OneSecond));
        }
    }

    twtest::TInstalledProgram installed_;
    const std::string client_ = fs::canonical(twtest::ClientPath()).string();
};

// Listed as a typed name would be, by file name only. Today's earlier time and older days are
// in the file; after a restart they are all still there, and today's total goes on from them:
// the limit, a few seconds beyond them, comes within seconds.
void X11DayTrust::ListedByFileName() {
    constexpr int Rows = 10;
    constexpr int Each = 30;
    AwayFromDayTurn(tw::LocalWallClockNow);
    const tw::TDateTime now = tw::LocalWallClockNow();
    Configure(fs::path(client_).filename().string(), 1, Rows * Each + 10,
              tw::TExpirationAction::ReminderOnly);
    Seed(now - 60 * tw::OneSecond, Rows, Each);
    Seed(tw::NextDayStart(now) - 3 + 0.5, Rows, Each);

    TClient window({"--pid", "--delete", "--focus"});
    const tw::TDateTime firstStart = tw::LocalWallClockNow();
    auto program = Start();
    ASSERT_TRUE(WaitUntil([&] { return SecondsSince(firstStart) >= 3; }, 15000)) << Log();
    Quit(*program);

    program = Start();
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    const TXWindow reminder = twtest::WaitForWindowOf(screen, program->Pid(), "Reminder", 20000);
    EXPECT_NE(reminder, 0u) << "today's stored time was not counted\n" << Log();
    if (reminder != 0) {
        twtest::PressReminderOk(screen, reminder);
    }
    Quit(*program);
    EXPECT_EQ(Scalar(Activity(), "SELECT COUNT(*) || ' ' || TOTAL(duration) FROM applications "
                                 "WHERE date_created < '" +
                                     tw::DateTimeToSQL(firstStart) + "'"),
              std::to_string(2 * Rows) + " " + std::to_string(2 * Rows * Each) + ".0")
        << Log();
    EXPECT_GE(SecondsSince(firstStart), 10) << Log();
}

// The program stopped with the listed window in front, as a sleep nobody announced or a frozen
// session leaves it: the stop is charged two scan periods at most.
void X11DayTrust::UnannouncedStop() {
    Configure(client_, StopPeriod, 24 * 3600, tw::TExpirationAction::ReminderOnly);
    TClient window({"--pid", "--delete", "--focus"});
    const auto began = steady_clock::now();
    const tw::TDateTime started = tw::LocalWallClockNow();
    auto program = Start();
    ASSERT_TRUE(WaitUntil([&] { return RowsSince(started) > 0; }, 15000)) << Log();
    ASSERT_EQ(kill(program->Pid(), SIGSTOP), 0);
    std::this_thread::sleep_for(StopLength);
    ASSERT_EQ(kill(program->Pid(), SIGCONT), 0);
    const tw::TDateTime resumed = tw::LocalWallClockNow();
    // The first scan after the stop is the one that would charge it.
    ASSERT_TRUE(WaitUntil([&] { return RowsSince(resumed) >= 2; }, 15000)) << Log();
    Quit(*program);
    const double ran = Seconds(steady_clock::now() - began - StopLength).count();
    const int written = SecondsSince(started);
    RecordProperty("seconds_ran", std::to_string(ran));
    RecordProperty("seconds_written", written);
    EXPECT_LE(written, ran + 2 * StopPeriod + 1) << "ran " << ran << " s\n" << Log();
    // Not bought by counting nothing: the time in front before and after the stop is there.
    EXPECT_GE(written, ran - 2 * StopPeriod - 2) << "ran " << ran << " s\n" << Log();
}

// From 12 hours behind UTC to 14 ahead after the limit was reached under "Close Browser/App.":
// the local clock leaves the day by far, but no new day begins, so a listed window opened
// now is closed at once, and every row stays dated inside the day.
void X11DayTrust::ZoneForward() {
    const auto behind = [] { return tw::SystemUtcNow() - 12 * tw::OneHour; };
    AwayFromDayTurn(behind);
    const tw::TDateTime dayEnd = tw::NextDayStart(behind());
    const std::string zone = installed_.HomeFile("localtime");
    twtest::WriteAll(zone, twtest::ReadAll("/usr/share/zoneinfo/Etc/GMT+12"));
    ASSERT_FALSE(twtest::ReadAll(zone).empty());
    // The day as the program started in that zone keeps it: it began at 04:00 there, 16:00 UTC;
    // or, where that was 20 hours ago by now (a run between 12:00 and 16:00 UTC), it began
    // later, as a day that came 20 hours after the one before does: within 20 hours either way,
    // so the zone's move must hand out no new day.
    const tw::TDateTime begun =
        std::max(dayEnd - 1 + 12 * tw::OneHour, tw::SystemUtcNow() - 19 * tw::OneHour);
    Configure(client_, 1, 2, tw::TExpirationAction::CloseListed, [&](tw::TOptions& o) {
        o.Edit().SetDay({dayEnd, begun});
    });

    TClient first({"--pid", "--delete", "--focus"});
    auto program = StartInZone(zone);
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    const TXWindow reminder = twtest::WaitForWindowOf(screen, program->Pid(), "Reminder", 20000);
    ASSERT_NE(reminder, 0u) << Log();
    twtest::PressReminderOk(screen, reminder);
    ASSERT_TRUE(first.ExitsCleanlyWithin(5000)) << Log();

    OverwriteInPlace(zone, twtest::ReadAll("/usr/share/zoneinfo/Etc/GMT-14"));
    // The program's clock reads the new zone: its log's times leave the day.
    ASSERT_TRUE(WaitUntil([&] { return LastScanTime() >= tw::DateTimeToSQL(dayEnd); }, 10000))
        << Log();
    const int scans = Scans();
    ASSERT_TRUE(WaitUntil([&] { return Scans() >= scans + 2; }, 10000)) << Log();

    TClient second({"--pid", "--delete", "--focus"});
    EXPECT_TRUE(second.ExitsCleanlyWithin(6000)) << "a new day began\n" << Log();
    EXPECT_TRUE(screen.WindowsOf(program->Pid(), "Reminder").empty());
    Quit(*program);
    EXPECT_EQ(Scalar(Settings(), "SELECT value FROM settings WHERE name = 'ResetDateTime'"),
              tw::DateToText(dayEnd));
    EXPECT_GE(RowsSince(0), 2);
    EXPECT_EQ(Number("SELECT COUNT(*) FROM applications WHERE date_created < '" +
                     tw::DateTimeToSQL(dayEnd - 1) + "' OR date_created >= '" +
                     tw::DateTimeToSQL(dayEnd) + "'"),
              0)
        << Log();
}

// Another program holds the activity database when the program starts, and lets go seconds
// later: the time in front while it held the file is written too.
void X11DayTrust::LockedAtStart() {
    Configure(client_, 1, 24 * 3600, tw::TExpirationAction::ReminderOnly);
    TClient window({"--pid", "--delete", "--focus"});
    auto locker = std::make_unique<tw::TSQLiteDatabase>(Activity());
    locker->ExecSQL("BEGIN EXCLUSIVE");
    const auto began = steady_clock::now();
    auto program = Start();
    TScreen screen;
    ASSERT_TRUE(screen.Open());
    // The person closes the notice that the file cannot be written, back to the listed window.
    while (steady_clock::now() < began + LockLength) {
        for (const TXWindow notice : screen.WindowsOf(program->Pid(), "Please Note")) {
            screen.Activate(window.Window());
            screen.Close(notice);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    locker->ExecSQL("ROLLBACK");
    locker.reset();
    const tw::TDateTime released = tw::LocalWallClockNow();
    ASSERT_TRUE(WaitUntil([&] { return RowsSince(released) >= 3; }, 15000)) << Log();
    Quit(*program);
    const double inFront = Seconds(steady_clock::now() - began).count();
    const int written = SecondsSince(0);
    RecordProperty("seconds_in_front", std::to_string(inFront));
    RecordProperty("seconds_written", written);
    EXPECT_GE(written, inFront - 5) << "in front " << inFront << " s\n" << Log();
    EXPECT_LE(written, inFront + 1) << "in front " << inFront << " s\n" << Log();
}

TEST_P(X11DayTrust, TheDaysTotalIsTheTimeSpent) {
    switch (GetParam().trust) {
    case TTrust::ListedByFileName:
        ListedByFileName();
        break;
    case TTrust::UnannouncedStop:
        UnannouncedStop();
        break;
    case TTrust::ZoneForward:
        ZoneForward();
        break;
    case TTrust::LockedAtStart:
        LockedAtStart();
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(X11, X11DayTrust, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<TTrustCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

#endif
