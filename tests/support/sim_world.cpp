#include "support/sim_world.h"

#include "app/program.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_instance_lock.h"
#include "storage/change_policy.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/settings_changes.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/sim_model.h"
#include "support/sim_random.h"
#include "support/sim_timers.h"
#include "support/sqlite_faults.h"
#include "support/test_data_folder.h"

#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

namespace twtest {
namespace {

namespace fs = std::filesystem;

constexpr int Period = 60; // seconds between scans
constexpr std::int64_t Second = 1000;
constexpr std::int64_t Minute = 60 * Second;
constexpr std::int64_t Hour = 60 * Minute;
constexpr std::int64_t Day = 24 * Hour;
constexpr double HourDays = 1.0 / 24;

// The executables on the simulated machine: two of one file name, one never listed.
const std::vector<std::string> Executables = {"/opt/games/game", "/usr/local/bin/game",
                                              "/usr/bin/editor", "/usr/bin/chat",
                                              "/usr/bin/terminal"};
const std::vector<std::string> ListableNames = {"/opt/games/game", "game",   "/usr/local/bin/game",
                                                "/usr/bin/editor", "editor", "chat"};
// Zones from the furthest west to the furthest east, and two with summer time.
const std::vector<std::string> Zones = {
    "<-12>12",     "<+14>-14", "UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
    "<+0530>-5:30"};

struct TStop {};

// The main window's share in the simulation: records the reminder and the day starts, and
// answers as the person of the run does.
class TSimView : public tw::TScanHost {
  public:
    std::function<tw::TReminderChoice(bool isBlock, bool five)> answer;
    std::function<void()> shownHook;
    tw::TReminderChoice ShowReminder(const tw::TOnlineTimeApplication&, bool isBlock,
                                     bool five) override {
        shownHook();
        return answer(isBlock, five);
    }
    void SelectDayPart(tw::TDayPart) override {}
    void SetBlockDisplay(bool) override {}
    void RedisplayAfterReset() override {}
};

class TSimWorld {
  public:
    explicit TSimWorld(const TSimSettings& settings);
    ~TSimWorld();
    TSimOutcome Run();

  private:
    // --- time ---
    double TrueUtc() const { return startUtc_ + static_cast<double>(trueMs_) / Day; }
    double Local() const { return LocalOf(TrueUtc()); }
    double LocalHour() const { return (Local() - std::floor(Local())) * 24; }
    void SyncWallClock();
    // Time passes with nothing running for it (the machine off or asleep).
    void Pass(std::int64_t ms);
    // Time passes with the program's timers firing.
    void RunFor(std::int64_t ms);
    void Fire(const std::string& name, const std::function<void()>& handler);

    // --- the program ---
    void StartProgram(bool reboot);
    void StopProgram();
    tw::TProgram& P() { return *program_; }
    void Notice(tw::TDesktopNotice notice);

    // --- the person ---
    void Front(const std::string& exe);
    void FrontSomething(double listedShare);
    void Use(std::int64_t ms, double listedShare);
    void SyncList();

    // --- steps ---
    bool On(const char* name) const { return settings_.off.count(name) == 0; }
    void Step();
    void PowerOn();
    void PowerOffUntilLater();
    void EditList();
    void WallClockStep();
    void ZoneStep();
    void FileFaultStep(const std::string& kind);
    void Say(const std::string& text);
    // A name to list: a full path, or (unless left out) a file name alone.
    std::string ListableName();

    // --- checks ---
    void Fail(const char* check, const std::string& message);
    void BeforeScan();
    void AfterScan();
    void CheckHistory();
    // Seconds of each executable in the activity file; none when it cannot be read.
    std::optional<std::map<std::string, std::int64_t>> StoredSeconds() const;
    // Whether the program began a day at the scan just run, and whether it was its to begin;
    // also fails when it should have begun one and did not.
    bool JudgeDay(double utc, bool paused);
    // The newest rows of the activity file and the program's day, for a failure's replay.
    void DumpRows();

    TSimSettings settings_;
    TSimRandom random_;
    TestDataFolder folder_;
    tw::TFakeDesktop desktop_;
    tw::TFakeInstanceLocks locks_;
    TSimTimers timers_;
    std::unique_ptr<tw::TProgram> program_;
    TSimView view_;
    bool withView_;
    TSimModel model_{Period};
    double startUtc_;
    std::int64_t trueMs_ = 0;
    std::int64_t wallErrorMs_ = 0;
    std::int64_t endMs_;
    std::map<std::string, tw::TWindowHandle> windows_;
    std::string front_;
    bool locked_ = false;
    bool suspended_ = false;
    double lastCountUtc_ = 0;
    double blockEndUtc_ = -1;
    double snoozedUntilUtc_ = -1;
    double shownUtc_ = -1;
    double lastShutdownUtc_ = -1;
    tw::TProgramDay day_{}; // the program's day as last seen
    bool shutdownAsked_ = false;
    bool faultActive_ = false;
    double faultEndedUtc_ = -1e9;
    bool untrusted_ = false;
    // The program has read today's total since it started (a file held from its start
    // leaves it counting from nothing until the file answers).
    bool todayRead_ = false;
    int untrustedUntilDay_ = -1;
    int limit_;
    tw::TExpirationAction action_;
    bool preferFive_;
    int step_ = 0;
    long scans_ = 0;
    std::deque<std::string> recent_;
    std::string pendingFailureCheck_;
    TSimOutcome outcome_;
    // Looked at before each scan.
    struct TBefore {
        bool paused;
        std::string front;
        tw::TWindowHandle window;
        bool hadLogger;
        int total;
        std::size_t closes;
        std::size_t shutdowns;
        double gap;
    } before_{};
};

std::string ShortMs(std::int64_t ms) {
    std::ostringstream text;
    if (ms >= Hour) {
        text << static_cast<double>(ms) / Hour << " h";
    } else {
        text << static_cast<double>(ms) / Minute << " min";
    }
    return text.str();
}

TSimWorld::TSimWorld(const TSimSettings& settings)
    : settings_(settings), random_(settings.seed),
      folder_(tw::EncodeDate(2026, 1, 5) + 9 * HourDays,
              fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()),
      withView_(false), startUtc_(tw::EncodeDate(2026, 1, 5) + 9 * HourDays) {
    SetWriteFault(folder_.File("actmondb.sqlite"), TWriteFault::None); // the fault layer in place
    endMs_ = static_cast<std::int64_t>(settings_.days) * Day;
    folder_.Clock().UseZone(random_.Pick(Zones));
    limit_ = static_cast<int>(random_.Pick(std::vector<int>{1200, 3600, 7200, 14400}));
    action_ = static_cast<tw::TExpirationAction>(random_.Between(0, 2));
    withView_ = random_.Chance(0.5);
    preferFive_ = random_.Chance(0.3);
    for (const auto& exe : Executables) {
        model_.Know(exe);
    }
    {
        tw::TOptions options(folder_.Data());
        options.Edit().TimeLimitSeconds = limit_;
        options.Edit().ExpirationAction = action_;
        options.Edit().ScanPeriodSeconds = Period;
        const int count = static_cast<int>(random_.Between(1, 3));
        for (int i = 0; i < count; ++i) {
            const std::string name = ListableName();
            if (options.Edit().MonitoredList.IndexOfName(name) >= 0) {
                continue;
            }
            auto item = std::make_unique<tw::TMonitoredItem>();
            item->Name = name;
            item->Caption = "item " + name;
            item->ItemType = tw::TMonitoredItemType::mitApp;
            const std::string key = item->Caption;
            options.Edit().MonitoredList.Add(key, std::move(item));
        }
        options.Save();
    }
    folder_.Restart();
    view_.answer = [this](bool isBlock, bool five) {
        tw::TReminderChoice choice;
        if (five && preferFive_ && !isBlock) {
            choice.fiveMoreMinutes = true;
            snoozedUntilUtc_ = TrueUtc() + (5 * Minute + 2 * Period * Second) / double(Day);
        } else {
            choice.action = P().Engine().TimeUpAction(isBlock);
        }
        return choice;
    };
    view_.shownHook = [this] { shownUtc_ = TrueUtc(); };
}

TSimWorld::~TSimWorld() {
    try {
        if (program_) {
            StopProgram();
        }
    } catch (...) {
    }
    ClearWriteFaults();
}

std::string TSimWorld::ListableName() {
    std::string name;
    do {
        name = random_.Pick(ListableNames);
    } while (!On("byname") && name.find('/') == std::string::npos);
    return name;
}

void TSimWorld::Say(const std::string& text) {
    std::ostringstream line;
    line << "step " << step_ << " day " << static_cast<double>(trueMs_) / Day << " local "
         << tw::DateTimeToSQL(Local()).substr(0, 16) << ": " << text;
    recent_.push_back(line.str());
    if (recent_.size() > 12) {
        recent_.pop_front();
    }
    if (settings_.verbose) {
        std::printf("%s\n", line.str().c_str());
    }
}

void TSimWorld::Fail(const char* check, const std::string& message) {
    if (!On(check)) {
        return;
    }
    outcome_.passed = false;
    outcome_.check = check;
    outcome_.message = message;
    if (settings_.verbose) {
        DumpRows();
    }
    throw TStop{};
}

// --- time ---

void TSimWorld::SyncWallClock() {
    folder_.Clock().SetWallClock(startUtc_ + static_cast<double>(trueMs_ + wallErrorMs_) / Day);
}

void TSimWorld::Pass(std::int64_t ms) {
    if (ms <= 0) {
        return;
    }
    folder_.Clock().Advance(static_cast<double>(ms) / 1000);
    trueMs_ += ms;
    timers_.SetNow(trueMs_);
    SyncWallClock();
}

void TSimWorld::RunFor(std::int64_t ms) {
    const std::int64_t target = trueMs_ + ms;
    while (program_ && !shutdownAsked_) {
        const std::int64_t due = timers_.NextDue();
        if (due > target) {
            break;
        }
        Pass(due - trueMs_);
        timers_.FireDue([this](const std::string& name, const std::function<void()>& handler) {
            Fire(name, handler);
        });
    }
    Pass(target - trueMs_);
}

void TSimWorld::Fire(const std::string& name, const std::function<void()>& handler) {
    const bool scan = name == "tmrScan";
    if (scan) {
        BeforeScan();
    }
    try {
        handler();
    } catch (const TStop&) {
        throw;
    } catch (const std::exception& e) {
        Say(std::string("timer ") + name + " threw: " + e.what());
    }
    if (scan) {
        AfterScan();
    }
}

// --- the program ---

void TSimWorld::StartProgram(bool reboot) {
    if (reboot) {
        folder_.Clock().Reboot();
    }
    // A new process: its clock starts from the system's.
    folder_.RestartClock();
    timers_.Clear();
    program_ = std::make_unique<tw::TProgram>(desktop_, locks_, timers_, folder_.ProgramClock(),
                                              folder_.Places(), folder_.Log());
    if (!program_->TakeInstanceLock()) {
        Fail("instance", "the only copy of the program could not take its lock");
    }
    program_->LoadOptions();
    // The clean-up's slices on the timers' thread: the same order at every run of a seed.
    program_->SetSliceRunner(std::make_unique<tw::TInlineSliceRunner>());
    program_->Start();
    if (withView_) {
        program_->AttachView(&view_);
    }
    locked_ = suspended_ = false;
    blockEndUtc_ = -1;
    shutdownAsked_ = false;
    lastCountUtc_ = TrueUtc();
    todayRead_ = false;
    SyncList();
    // The day a program stored is the day it finds again (a clock far ahead aside).
    const tw::TProgramDay day = P().Options().Values().Day();
    if (day_.End != 0 && !untrusted_ &&
        (std::fabs(day.End - day_.End) > 1.0 / 86400 ||
         (day_.StartUtc != 0 && std::fabs(day.StartUtc - day_.StartUtc) > 1.0 / 86400))) {
        Fail("daystart", "the day that ends " + tw::DateTimeToSQL(day_.End) +
                             " came back from a restart as the one ending " +
                             tw::DateTimeToSQL(day.End));
    }
    day_ = day;
}

void TSimWorld::StopProgram() {
    program_->Finish();
    program_.reset();
    timers_.Clear();
    if (!StoredSeconds()) {
        // Lost or damaged before the program noticed: today's time in its memory went with it.
        model_.HistoryLost(TrueUtc(), false, !untrusted_);
    }
}

void TSimWorld::Notice(tw::TDesktopNotice notice) {
    P().HandleNotice(notice);
}

// --- the person ---

void TSimWorld::Front(const std::string& exe) {
    front_ = exe;
    if (exe.empty()) {
        desktop_.SetForeground(0);
        return;
    }
    auto it = windows_.find(exe);
    if (it == windows_.end() || !desktop_.Exists(it->second)) {
        it = windows_.insert_or_assign(exe, desktop_.AddWindow(tw::TFakeProcess::Path(exe))).first;
    }
    desktop_.SetForeground(it->second);
}

void TSimWorld::FrontSomething(double listedShare) {
    std::vector<std::string> listed;
    for (const auto& exe : Executables) {
        if (model_.Listed(exe)) {
            listed.push_back(exe);
        }
    }
    const double roll = random_.Unit();
    if (!listed.empty() && roll < listedShare) {
        Front(random_.Pick(listed));
    } else if (roll < listedShare + (1 - listedShare) * 0.7) {
        Front("/usr/bin/terminal");
    } else {
        Front("");
    }
}

void TSimWorld::Use(std::int64_t ms, double listedShare) {
    const std::int64_t end = trueMs_ + ms;
    while (trueMs_ < end && program_ && !shutdownAsked_) {
        FrontSomething(listedShare);
        RunFor(std::min(end - trueMs_, random_.Between(1, 20) * Minute));
    }
}

void TSimWorld::SyncList() {
    std::set<std::string> names;
    const tw::TMonitoredList& list = P().Options().Edit().MonitoredList;
    for (int i = 0; i < list.Count(); ++i) {
        names.insert(list.Items(i).Name);
    }
    model_.SetList(names, TrueUtc());
}

// --- steps ---

void TSimWorld::PowerOn() {
    const double hour = LocalHour();
    if (On("bootclock") && hour > 10 && hour < 19 && random_.Chance(0.08)) {
        // A clock hours off at boot that the network corrects: soon after boot, or once the
        // network comes, when the system says its clock is synchronised.
        wallErrorMs_ = random_.Between(-5 * Hour, 5 * Hour);
        SyncWallClock();
        Say("boot with the clock " + ShortMs(wallErrorMs_) + " off");
        StartProgram(true);
        const bool late = random_.Chance(0.5);
        Use((late ? random_.Between(15, 60) : random_.Between(1, 5)) * Minute, 0);
        wallErrorMs_ = 0;
        SyncWallClock();
        folder_.Clock().SetSynchronised(true);
        Say(late ? "the clock is synchronised" : "the clock is corrected");
        return;
    }
    if (On("clockahead") && model_.EverCredited() > 0 && random_.Chance(0.03)) {
        // Started twice with a clock months ahead, then put right.
        untrusted_ = true;
        wallErrorMs_ = random_.Between(100, 300) * Day;
        SyncWallClock();
        Say("boot with the clock " + ShortMs(wallErrorMs_) + " ahead");
        StartProgram(true);
        Use(10 * Minute, 0.8);
        StopProgram();
        Say("restart with the clock still ahead");
        StartProgram(false);
        Use(10 * Minute, 0.8);
        StopProgram();
        wallErrorMs_ = 0;
        SyncWallClock();
        Say("the clock is put right; restart");
        StartProgram(false);
        untrustedUntilDay_ = model_.DayIndex() + 3;
        return;
    }
    if (On("dbstartlock") && random_.Chance(0.08)) {
        Say("start while another program holds the activity file");
        THeldDatabase held(folder_.File("actmondb.sqlite"));
        faultActive_ = true;
        StartProgram(true);
        Use(random_.Between(3, 20) * Minute, 0.7);
        faultActive_ = false;
        faultEndedUtc_ = TrueUtc();
        return;
    }
    Say("power on");
    StartProgram(true);
}

void TSimWorld::PowerOffUntilLater() {
    StopProgram();
    // Until a morning, now and then one some days on, or a start in the small hours after
    // a day off (the night before 04:00 belongs to the day before).
    std::int64_t days = 1;
    double hour = static_cast<double>(random_.Between(7 * 60, 10 * 60)) / 60;
    if (random_.Chance(0.1)) {
        days = random_.Between(2, 4);
    } else if (On("latestart") && random_.Chance(0.12)) {
        days = 2;
        hour = static_cast<double>(random_.Between(60, 210)) / 60;
    }
    const double local = Local();
    const double target = std::floor(local) + days - (LocalHour() < 4 ? 1 : 0) + hour * HourDays;
    const auto ms = static_cast<std::int64_t>(std::llround((target - local) * Day));
    Say("power off for " + ShortMs(ms));
    Pass(std::max<std::int64_t>(ms, Minute));
}

void TSimWorld::EditList() {
    tw::TOptions& options = P().Options();
    const tw::TAdminSession session(options.Policy());
    const int roll = static_cast<int>(random_.Between(0, 2));
    if (roll == 0 && options.Values().MonitoredList.Count() > 0) {
        tw::TMonitoredList& today = P().Engine().Logger().TodayList();
        const int index =
            static_cast<int>(random_.Between(0, options.Values().MonitoredList.Count() - 1));
        const std::string name = options.Values().MonitoredList.Items(index).Name;
        const int at = today.IndexOfName(name);
        if (at >= 0) {
            Say("remove " + name);
            P().Engine().DeleteListedItem(&today.Items(at));
        }
    } else {
        const std::string name = ListableName();
        tw::TMonitoredList changes;
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->Caption = (roll == 2 ? "edited " : "item ") + name;
        item->ItemType = tw::TMonitoredItemType::mitApp;
        item->Checked = true;
        const std::string key = item->Caption;
        changes.Add(key, std::move(item));
        Say((roll == 2 ? "add or rename " : "add ") + name);
        tw::ApplyListChanges(options, changes, &P().Engine().Logger().TodayList());
    }
    SyncList();
}

void TSimWorld::WallClockStep() {
    // Small corrections the program follows at its re-alignment; the error stays within
    // four minutes.
    const std::int64_t next = random_.Between(-240, 240) * Second;
    model_.ClockMoved(TrueUtc(), static_cast<double>(next - wallErrorMs_) / Second);
    Say("system clock moves by " + std::to_string((next - wallErrorMs_) / Second) + " s");
    wallErrorMs_ = next;
    SyncWallClock();
}

void TSimWorld::ZoneStep() {
    // Mostly the day-and-two-hours jump across the date line, either way.
    std::string zone = random_.Pick(Zones);
    if (random_.Chance(0.5)) {
        const char* tz = std::getenv("TZ");
        zone = tz && std::string(tz) == "<-12>12" ? "<+14>-14" : "<-12>12";
    }
    Say("time zone " + zone);
    folder_.Clock().UseZone(zone);
}

void TSimWorld::FileFaultStep(const std::string& kind) {
    const std::string file =
        folder_.File(kind.rfind("settings", 0) == 0 ? "settings.sqlite" : "actmondb.sqlite");
    Say(kind);
    faultActive_ = true;
    const std::int64_t span = random_.Between(2, 30) * Minute;
    if (kind == "dblock" || kind == "settingslock") {
        THeldDatabase held(file);
        Use(span, 0.7);
    } else if (kind == "dbreadonly" || kind == "dbfull") {
        SetWriteFault(file, kind == "dbfull" ? TWriteFault::Full : TWriteFault::ReadOnly);
        Use(span, 0.7);
        SetWriteFault(file, TWriteFault::None);
    } else {
        // Deleted, or overwritten with garbage: the history in it is gone for good.
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            fs::remove(file + suffix);
        }
        if (kind.find("damage") != std::string::npos) {
            std::ofstream out(file, std::ios::binary);
            for (int i = 0; i < 4096; ++i) {
                out.put(static_cast<char>(random_.Between(0, 255)));
            }
        }
        if (file.find("actmondb") != std::string::npos) {
            // The program keeps the day it had read, unless that day is over.
            model_.HistoryLost(TrueUtc(),
                               P().Engine().HasLogger() && !day_.NextIsDue(Local(), TrueUtc()),
                               !untrusted_);
        }
        Use(span, 0.7);
    }
    faultActive_ = false;
    faultEndedUtc_ = TrueUtc();
    // The file answers again: the scans after write what waited.
    RunFor(2 * Period * Second);
}

void TSimWorld::Step() {
    ++step_;
    if (!program_) {
        PowerOn();
        return;
    }
    const double hour = LocalHour();
    struct TChoice {
        const char* name;
        int weight;
    };
    const bool night = hour >= 22 || hour < 4;
    const std::vector<TChoice> choices = {
        {"use", 35},         {"idle", 8},           {"nap", 5},
        {"sleep", 5},        {"lock", 5},           {"off", night ? 60 : 8},
        {"restart", 4},      {"zone", 2},           {"wallclock", 2},
        {"list", 4},         {"dblock", 2},         {"dbreadonly", 1},
        {"dbfull", 1},       {"dbdelete", 1},       {"dbdamage", 1},
        {"settingslock", 1}, {"settingsdelete", 1}, {"second", 2},
        {"block", 1}};
    int total = 0;
    for (const auto& c : choices) {
        total += On(c.name) ? c.weight : 0;
    }
    int roll = static_cast<int>(random_.Between(0, total - 1));
    std::string kind = "use";
    for (const auto& c : choices) {
        if (!On(c.name)) {
            continue;
        }
        if (roll < c.weight) {
            kind = c.name;
            break;
        }
        roll -= c.weight;
    }
    if (kind == "use") {
        const std::int64_t ms = random_.Between(5, 120) * Minute;
        Say("use for " + ShortMs(ms));
        Use(ms, 0.6);
    } else if (kind == "idle") {
        const std::int64_t ms = random_.Between(10, 180) * Minute;
        Say("away for " + ShortMs(ms));
        Use(ms, 0);
    } else if (kind == "nap") {
        // A sleep nobody announced: the program simply does not run meanwhile.
        const std::int64_t ms = random_.Between(2, 600) * Minute;
        FrontSomething(0.8);
        Say("unannounced sleep of " + ShortMs(ms) + " with " + front_ + " in front");
        Pass(ms);
        RunFor(Period * Second);
    } else if (kind == "sleep") {
        const std::int64_t ms = random_.Between(20, 720) * Minute;
        Say("sleep of " + ShortMs(ms));
        suspended_ = true;
        Notice(tw::TDesktopNotice::Suspend);
        Pass(ms);
        suspended_ = false;
        Notice(tw::TDesktopNotice::Resume);
        lastCountUtc_ = TrueUtc();
    } else if (kind == "lock") {
        const std::int64_t ms = random_.Between(5, 120) * Minute;
        Say("session locked for " + ShortMs(ms));
        FrontSomething(0.8);
        locked_ = true;
        Notice(tw::TDesktopNotice::SessionLock);
        RunFor(ms);
        locked_ = false;
        Notice(tw::TDesktopNotice::SessionUnlock);
        lastCountUtc_ = TrueUtc();
    } else if (kind == "off") {
        PowerOffUntilLater();
    } else if (kind == "restart") {
        Say("restart");
        StopProgram();
        Pass(random_.Between(0, 120) * Second);
        StartProgram(false);
    } else if (kind == "zone") {
        ZoneStep();
    } else if (kind == "wallclock") {
        WallClockStep();
    } else if (kind == "list") {
        EditList();
    } else if (kind == "second") {
        Say("a second copy starts");
        tw::TProgram second(desktop_, locks_, timers_, folder_.ProgramClock(), folder_.Places(),
                            folder_.Log());
        if (second.TakeInstanceLock()) {
            Fail("instance", "a second copy took the lock while the first runs");
        }
    } else if (kind == "block") {
        if (blockEndUtc_ < TrueUtc()) {
            const std::int64_t ms = random_.Between(1, 4) * Hour;
            Say("block for " + ShortMs(ms));
            P().Engine().StartBlock(static_cast<double>(ms) / Day);
            blockEndUtc_ = TrueUtc() + static_cast<double>(ms) / Day;
        }
    } else {
        FileFaultStep(kind);
    }
    if (shutdownAsked_ && program_) {
        Say("the computer shuts down at the limit");
        PowerOffUntilLater();
    }
}

// --- checks ---

void TSimWorld::BeforeScan() {
    before_.paused = locked_ || suspended_;
    before_.front = front_;
    before_.window = windows_.count(front_) ? windows_[front_] : 0;
    before_.hadLogger = P().Engine().HasLogger();
    before_.total = before_.hadLogger ? P().Engine().Logger().Total : 0;
    before_.closes = desktop_.CloseRequests().size();
    before_.shutdowns = desktop_.ShutdownCalls().size();
    before_.gap = (TrueUtc() - lastCountUtc_) * 86400;
}

bool TSimWorld::JudgeDay(double utc, bool paused) {
    // The program day ends at a local 04:00 and a new one begins no sooner than 20 h of
    // program clock after the last; judged by the true time, a program clock a few minutes
    // off (it follows small moves only at its re-alignment) may begin it that much early.
    constexpr double Slack = 6.0 / 1440;
    constexpr double Least = 20 * HourDays;
    const tw::TProgramDay day = P().Options().Values().Day();
    const tw::TProgramDay last = std::exchange(day_, day);
    const double local = Local();
    std::ostringstream text;
    text << "at " << tw::DateTimeToSQL(local).substr(0, 16) << " the day that ended "
         << tw::DateTimeToSQL(last.End).substr(0, 16) << " and began "
         << tw::DateTimeToSQL(last.StartUtc).substr(0, 16) << " UTC ";
    if (day.End == last.End && day.StartUtc == last.StartUtc) {
        // A move west across the date line may leave the local clock a day behind the day.
        if (!paused && !untrusted_ &&
            ((local >= last.End + Slack && utc >= last.StartUtc + Least + Slack) ||
             last.End > local + 1 + 26 * HourDays + Slack)) {
            Fail("daystart", text.str() + "is still in force");
        }
        return false;
    }
    text << "gave way to the one ending " << tw::DateTimeToSQL(day.End).substr(0, 16) << ", begun "
         << tw::DateTimeToSQL(day.StartUtc).substr(0, 16) << " UTC: ";
    if (untrusted_) {
        // A clock far ahead: pulled back as it may. A day it begins is still a day, or the
        // model's today would run on and trust would never come back.
        if (day.End <= last.End) {
            return false;
        }
        model_.BeginDay(utc);
        return true;
    }
    if (day.End <= last.End) {
        Fail("daystart", text.str() + "a day went back");
    }
    if (day.End - 1 < last.End - 1.0 / 86400) {
        Fail("daystart", text.str() + "the two overlap");
    }
    if (day.StartUtc < last.StartUtc + Least - 1.0 / 86400) {
        Fail("daystart", text.str() + "less than 20 h apart");
    }
    if (local < last.End - Slack || utc < last.StartUtc + Least - Slack) {
        Fail("daystart", text.str() + "too early");
    }
    if (local < day.End - 1 - Slack || local >= day.End + Slack || day.StartUtc > utc + Slack) {
        Fail("daystart", text.str() + "not the day the moment is in");
    }
    model_.BeginDay(utc);
    return true;
}

void TSimWorld::AfterScan() {
    ++scans_;
    if (!program_) {
        return;
    }
    const double utc = TrueUtc();
    const std::string dayText = tw::DateTimeToSQL(Local()).substr(0, 16);
    if (untrusted_ && untrustedUntilDay_ >= 0 && model_.DayIndex() >= untrustedUntilDay_) {
        untrusted_ = false;
        untrustedUntilDay_ = -1;
    }
    const bool engineDayStart = JudgeDay(utc, before_.paused);
    // Removals wait for the day's end: the list the scan ended with is the one in force.
    SyncList();
    int credit = 0;
    const bool listed = !before_.paused && model_.Listed(before_.front);
    if (!before_.paused) {
        if (listed) {
            credit = model_.CreditFor(before_.gap);
            model_.Credit(before_.front, utc, credit);
        }
        lastCountUtc_ = utc;
    }
    const bool faultNear = faultActive_ || utc - faultEndedUtc_ < 3.0 * Period / 86400;
    if (before_.hadLogger && P().Engine().HasLogger() && !engineDayStart && !faultNear) {
        const int delta = P().Engine().Logger().Total - before_.total;
        if (before_.paused && delta != 0) {
            Fail("credit", "a scan while " + std::string(locked_ ? "locked" : "asleep") +
                               " counted " + std::to_string(delta) + " s");
        }
        if (delta > 2 * Period + 1 + model_.ClockSlack(utc)) {
            Fail("credit", "one scan at " + dayText + " counted " + std::to_string(delta) +
                               " s (gap " + std::to_string(std::lround(before_.gap)) + " s)");
        }
    }
    if (settings_.scans) {
        std::printf("  scan %s %s%s: credit %d, total %d, model %d\n", dayText.c_str(),
                    before_.front.c_str(), before_.paused ? " paused" : "", credit,
                    P().Engine().HasLogger() ? P().Engine().Logger().Total : -1, model_.Today());
    }
    // The limit is judged before the scan logs: a total read back at its end acts at the next.
    const bool readBefore = todayRead_;
    todayRead_ = todayRead_ || (!faultActive_ && P().Engine().HasLogger());
    // A paused program turns no day: its total waits for the next scan that runs.
    if (!untrusted_ && !before_.paused && todayRead_) {
        const int total = P().Engine().Logger().Total;
        const int expected = model_.Today();
        if (std::abs(total - expected) > model_.TodaySlack(utc)) {
            Fail("total", "today's total at " + dayText + " is " + std::to_string(total) +
                              " s, the person spent " + std::to_string(expected) + " s");
        }
    }
    const std::size_t shutdowns = desktop_.ShutdownCalls().size();
    if (shutdowns > before_.shutdowns) {
        lastShutdownUtc_ = utc;
    }
    const bool inBlock = blockEndUtc_ > utc + 1.0 / 86400 && blockEndUtc_ > 0;
    const bool over = model_.Today() - credit >= limit_ + model_.TodaySlack(utc);
    if (listed && !untrusted_ && readBefore && (over || inBlock)) {
        const auto action = inBlock ? tw::TExpirationAction::CloseListed : action_;
        const bool snoozed = snoozedUntilUtc_ > utc && !inBlock;
        bool done = snoozed;
        const auto& closes = desktop_.CloseRequests();
        for (std::size_t i = before_.closes; i < closes.size(); ++i) {
            done = done || closes[i] == before_.window;
        }
        if (action == tw::TExpirationAction::ReminderOnly) {
            done = done || shownUtc_ >= model_.DayBegunAt() ||
                   !P().Engine().Reminders().LimitReminderDue();
        } else if (action == tw::TExpirationAction::ShutdownComputer) {
            done = done || lastShutdownUtc_ >= model_.DayBegunAt();
        }
        if (!done) {
            Fail("limit", before_.front + " in front at " + dayText + (inBlock ? " in Block" : "") +
                              " after the limit was neither " +
                              (action == tw::TExpirationAction::ReminderOnly  ? "reminded"
                               : action == tw::TExpirationAction::CloseListed ? "closed"
                                                                              : "shut down"));
        }
    }
    // The person's side: closed windows go, a shutdown ends the session.
    const auto& closes = desktop_.CloseRequests();
    for (std::size_t i = before_.closes; i < closes.size(); ++i) {
        if (desktop_.Exists(closes[i])) {
            desktop_.RemoveWindow(closes[i]);
        }
        if (closes[i] == before_.window && front_ == before_.front) {
            Front("");
        }
    }
    if (shutdowns > before_.shutdowns) {
        shutdownAsked_ = true;
    }
}

void TSimWorld::DumpRows() {
    for (const auto& name : model_.List()) {
        std::printf("  listed: %s\n", name.c_str());
    }
    std::printf("model: day %d began %s UTC, today %d s (slack %d s)\n", model_.DayIndex(),
                tw::DateTimeToSQL(model_.DayBegunAt()).c_str(), model_.Today(),
                model_.TodaySlack(TrueUtc()));
    if (program_) {
        std::printf("program day ends %s, began %s UTC; total %d s\n",
                    tw::DateTimeToSQL(P().Options().Edit().ResetDateTime).c_str(),
                    tw::DateTimeToSQL(P().Options().Edit().DayStartUtc).c_str(),
                    P().Engine().HasLogger() ? P().Engine().Logger().Total : -1);
    }
    try {
        tw::TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
        auto table = db.GetTable("SELECT date_created, app_name, duration, origin FROM "
                                 "applications ORDER BY rowid DESC LIMIT 40");
        for (bool row = table->First(); row && !table->Eof(); table->Next()) {
            std::printf("  row %s %s %lld s origin %lld\n", table->ValueAsText(0).c_str(),
                        table->ValueAsText(1).c_str(),
                        static_cast<long long>(table->ValueAsInteger(2)),
                        static_cast<long long>(table->ValueAsInteger(3)));
        }
        auto list = db.GetTable("SELECT name, active FROM applications_list");
        for (bool row = list->First(); row && !list->Eof(); list->Next()) {
            std::printf("  listed in the activity file: %s%s\n", list->ValueAsText(0).c_str(),
                        list->ValueAsInteger(1) ? "" : " (inactive)");
        }
    } catch (const std::exception& e) {
        std::printf("  the activity file cannot be read: %s\n", e.what());
    }
}

std::optional<std::map<std::string, std::int64_t>> TSimWorld::StoredSeconds() const {
    std::map<std::string, std::int64_t> stored;
    try {
        tw::TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
        auto table = db.GetTable(
            "SELECT app_name, SUM(duration) FROM applications WHERE origin = 1 GROUP BY app_name");
        for (bool row = table->First(); row && !table->Eof(); table->Next()) {
            stored[table->ValueAsText(0)] = table->ValueAsInteger(1);
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return stored;
}

void TSimWorld::CheckHistory() {
    if (faultActive_ || (program_ && P().Data().Activity().PendingRowCount() > 0)) {
        return;
    }
    const auto stored = StoredSeconds();
    if (!stored) {
        return; // a damaged file not yet replaced: nothing to compare
    }
    std::int64_t all = 0;
    for (const auto& [exe, seconds] : *stored) {
        all += seconds;
    }
    const double utc = TrueUtc();
    for (const auto& exe : Executables) {
        if (!model_.Listed(exe)) {
            continue;
        }
        const int keep = model_.MustKeep(exe, utc);
        // A file put back in place of a lost one holds the day's time per listed item: an item
        // listed by file name keeps it under that name, which stands for its executables.
        std::int64_t held = 0;
        for (const auto& [name, seconds] : *stored) {
            if (name == exe ||
                (name.find('/') == std::string::npos && TSimModel::Covers(name, exe))) {
                held += seconds;
            }
        }
        if (held + 2 * Period < keep) {
            Fail("history", "the activity file holds " + std::to_string(held) + " s of " + exe +
                                ", " + std::to_string(keep) + " s of it lie in the last 89 days");
        }
    }
    if (all > model_.EverCredited() + 2 * Period) {
        Fail("history", "the activity file holds " + std::to_string(all) +
                            " s of listed time, more than the " +
                            std::to_string(model_.EverCredited()) + " s ever spent");
    }
}

TSimOutcome TSimWorld::Run() {
    try {
        while (trueMs_ < endMs_) {
            Step();
            CheckHistory();
        }
    } catch (const TStop&) {
    } catch (const std::exception& e) {
        outcome_.passed = false;
        outcome_.check = "exception";
        outcome_.message = e.what();
    }
    outcome_.step = step_;
    outcome_.steps = step_;
    outcome_.scans = scans_;
    outcome_.days = static_cast<double>(trueMs_) / Day;
    for (const auto& line : recent_) {
        outcome_.recent += "  " + line + "\n";
    }
    return outcome_;
}

} // namespace

TSimOutcome RunSimulation(const TSimSettings& settings) {
    TSimWorld world(settings);
    return world.Run();
}

const char* SimCheckNames() {
    return "total history daystart limit credit instance";
}

const char* SimStepNames() {
    return "idle nap sleep lock off restart zone wallclock list dblock dbreadonly dbfull dbdelete "
           "dbdamage settingslock settingsdelete second block bootclock clockahead dbstartlock "
           "byname latestart";
}

} // namespace twtest
