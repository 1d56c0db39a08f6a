#include "base/exception.h"
#include "monitor/scan_engine.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"
#include "support/file_text.h"
#include "support/test_data_folder.h"
#include "support/test_scan_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using tw::TMonitoredItemType;

const tw::TDateTime Today = tw::EncodeDate(2026, 12, 7);
const char* const Game = "C:\\Games\\game.exe";
const char* const Browser = "C:\\Browser\\chrome.exe";

class ScanEngineTest : public testing::Test {
  protected:
    // The engine starts with the clock, as the main window does when it is created.
    explicit ScanEngineTest(tw::TDateTime start = Today + 10 * tw::OneHour)
        : folder_(start),
          engine_(std::make_unique<tw::TScanEngine>(desktop_, *options_, host_, host_, true)) {}

    tw::TScanEngine& Engine() { return *engine_; }
    // Puts an item on the list in both databases, as the add wizard would.
    void List(const std::string& name, TMonitoredItemType type) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->Caption = "caption of " + name;
        item->ItemType = type;
        const std::string key = item->Caption;
        options_->Edit().MonitoredList.Add(key, std::move(item));
        ASSERT_TRUE(options_->MonitoredItemsSave());
    }
    tw::TWindowHandle Front(tw::TWindowHandle window) {
        desktop_.SetForeground(window);
        return window;
    }
    void Scan(double seconds) {
        folder_.Clock().Advance(seconds);
        Engine().ScanTimer();
    }
    std::string Logged(const std::string& sql) { return folder_.Scalar("actmondb.sqlite", sql); }
    int Rows() { return std::stoi(Logged("SELECT COUNT(*) FROM applications")); }
    std::string LastDuration() {
        return Logged("SELECT duration FROM applications ORDER BY rowid DESC LIMIT 1");
    }
    int CloseRequestsTo(tw::TWindowHandle window) {
        return static_cast<int>(
            std::count(desktop_.CloseRequests().begin(), desktop_.CloseRequests().end(), window));
    }

    twtest::TestDataFolder folder_;
    tw::TFakeDesktop desktop_;
    std::unique_ptr<tw::TOptions> options_ = std::make_unique<tw::TOptions>(folder_.Data());
    twtest::TTestScanHost host_;
    std::unique_ptr<tw::TScanEngine> engine_;
};

// A stop nobody announced (a sleep without notice, a frozen session, the process halted)
// costs at most two scan periods; a timer merely late is counted as it came.
TEST_F(ScanEngineTest, AGapNobodyAnnouncedCostsAtMostTwoScanPeriods) {
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, Game));
    for (const auto& [gap, credited] : {std::pair{45.0, 6}, {5.0, 5}, {6.0, 6}, {3.0, 3}}) {
        Scan(gap);
        EXPECT_EQ(LastDuration(), std::to_string(credited)) << gap;
    }
    EXPECT_EQ(Engine().Logger().Total, 20);
}

TEST_F(ScanEngineTest, UnlistedTimeIsDroppedNotCountedLater) {
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, "C:\\Tools\\editor.exe"));
    Scan(3);
    EXPECT_EQ(Rows(), 0);
    EXPECT_DOUBLE_EQ(Engine().LastScanTime(), folder_.ProgramClock().UtcNow());
    EXPECT_TRUE(host_.scanEnabled);

    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(LastDuration(), "3");
    EXPECT_EQ(Logged("SELECT app_name || '|' || browser_url || '|' || app_type || '|' || origin "
                     "FROM applications"),
              std::string(Game) + "||Desktop Application|1");
    EXPECT_EQ(Engine().Logger().Total, 3);
}

TEST_F(ScanEngineTest, LimitIsReachedAtExactlyTheLimit) {
    List(Game, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 6;
    options_->Edit().ExpirationAction = tw::TExpirationAction::CloseListed; // close
    auto game = Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    Scan(3);
    EXPECT_TRUE(host_.shown.empty());
    EXPECT_TRUE(desktop_.CloseRequests().empty());
    Scan(3); // Total 6 before this cycle: at the limit
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_FALSE(host_.shown[0].isBlock);
    EXPECT_EQ(CloseRequestsTo(game), 1);
    EXPECT_TRUE(host_.reArmEnabled);
    EXPECT_FALSE(Engine().Reminders().LimitReminderDue());
    Scan(3); // not due again, but still closed on every listed cycle
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(CloseRequestsTo(game), 2);
    EXPECT_EQ(Rows(), 4); // the time in front of the limit is still logged
}

TEST_F(ScanEngineTest, TimeTheReminderWasOpenIsCounted) {
    List(Game, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 3;
    Front(tw::AddEditorWindow(desktop_, Game));
    host_.answer = [this](bool, bool) {
        folder_.Clock().Advance(40);
        return tw::TReminderChoice{};
    };
    Scan(3);
    EXPECT_EQ(LastDuration(), "3");
    Scan(3);
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(LastDuration(), "43");
    Scan(3);
    EXPECT_EQ(LastDuration(), "3");
    EXPECT_TRUE(desktop_.CloseRequests().empty()); // "Reminder Only" closes nothing itself
}

TEST_F(ScanEngineTest, LockedTimeIsNeverCounted) {
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    EXPECT_TRUE(Engine().HandleNotice(tw::TDesktopNotice::SessionLock));
    Scan(3600);
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(host_.scanEnabled); // a paused cycle leaves its timer alone
    folder_.Clock().Advance(600);
    EXPECT_TRUE(Engine().HandleNotice(tw::TDesktopNotice::SessionUnlock));
    Scan(3);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(LastDuration(), "3");
    EXPECT_EQ(Engine().Logger().Total, 6);
}

TEST_F(ScanEngineTest, SleepIsNeverCountedAndCountingRestartsWhenBothPausesEnd) {
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    Engine().HandleNotice(tw::TDesktopNotice::Suspend);
    Engine().HandleNotice(tw::TDesktopNotice::SessionLock);
    Scan(8 * 3600);
    Engine().HandleNotice(tw::TDesktopNotice::SessionUnlock); // still asleep
    EXPECT_TRUE(Engine().IsPaused());
    Scan(30);
    EXPECT_EQ(Rows(), 1);
    Engine().ReminderOnlyTimer(); // paused: does nothing
    Engine().HandleNotice(tw::TDesktopNotice::Resume);
    EXPECT_FALSE(Engine().IsPaused());
    Scan(3);
    EXPECT_EQ(LastDuration(), "3"); // a night asleep with a listed program in front
    EXPECT_EQ(Engine().Logger().Total, 6);
    EXPECT_FALSE(Engine().HandleNotice(tw::TDesktopNotice::HotKey));
}

TEST_F(ScanEngineTest, FiveMoreMinutesOnceThenClosedOnEveryCycle) {
    List(Game, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 3;
    options_->Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
    auto game = Front(tw::AddEditorWindow(desktop_, Game));
    // Takes the grace whenever offered.
    host_.answer = [](bool, bool five) { return tw::TReminderChoice{five, {}}; };
    Scan(3);
    Scan(3);
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_TRUE(host_.shown[0].fiveMinutesAllowed);
    EXPECT_TRUE(Engine().Reminders().ReminderSnoozed());
    EXPECT_FALSE(Engine().Reminders().FiveMinutesAllowed());
    Scan(3);
    Scan(3);
    EXPECT_EQ(CloseRequestsTo(game), 0);

    folder_.Clock().Advance(300);
    Engine().ReminderOnlyTimer();
    EXPECT_FALSE(host_.reArmEnabled);
    Scan(3);
    ASSERT_EQ(host_.shown.size(), 2u);
    EXPECT_FALSE(host_.shown[1].fiveMinutesAllowed);
    EXPECT_EQ(CloseRequestsTo(game), 1);
    Scan(3);
    Scan(3);
    EXPECT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(CloseRequestsTo(game), 3);
}

TEST_F(ScanEngineTest, BlockModeClosesBelowTheLimitWithOneReminderADay) {
    List("example.com", TMonitoredItemType::mitWeb);
    auto site = Front(tw::AddChromeWindow(desktop_, Browser, "news.example.com/today"));
    auto editor = tw::AddEditorWindow(desktop_, "C:\\Tools\\editor.exe");
    Engine().StartBlock(30 * 60 / tw::SecondsPerDay);
    EXPECT_EQ(host_.blockDisplay, std::vector<bool>{true});
    Scan(3);
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_TRUE(host_.shown[0].isBlock);
    EXPECT_EQ(CloseRequestsTo(site), 1);
    Scan(3);
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(CloseRequestsTo(site), 2);
    EXPECT_EQ(Logged("SELECT browser_url || '|' || origin FROM applications LIMIT 1"),
              "example.com|2"); // the list entry is logged, not the raw address
    Front(editor);
    Scan(3);
    EXPECT_EQ(CloseRequestsTo(editor), 0);

    Front(site);
    Scan(30 * 60); // the period is over
    EXPECT_FALSE(Engine().Block().IsActive());
    EXPECT_EQ(host_.blockDisplay.back(), false);
    EXPECT_EQ(CloseRequestsTo(site), 2);

    Engine().StartBlock(10 * 60 / tw::SecondsPerDay); // a second period the same day
    Scan(3);
    EXPECT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(CloseRequestsTo(site), 3);
}

TEST_F(ScanEngineTest, ReminderClosingEverythingKeepsTheCyclesProbe) {
    List("example.com", TMonitoredItemType::mitWeb);
    List(Game, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 0;
    options_->Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
    auto game = tw::AddEditorWindow(desktop_, Game);
    auto site = Front(tw::AddChromeWindow(desktop_, Browser, "example.com/x"));
    auto editor = tw::AddEditorWindow(desktop_, "C:\\Tools\\editor.exe");
    host_.answer = [this](bool isBlock, bool) {
        return tw::TReminderChoice{false, Engine().TimeUpAction(isBlock)};
    };
    Scan(3);
    EXPECT_EQ(CloseRequestsTo(game), 1);
    EXPECT_EQ(CloseRequestsTo(site), 2); // by the pass, then by the scan itself
    EXPECT_EQ(CloseRequestsTo(editor), 0);
    EXPECT_EQ(Engine().Probe().Window, site);
    EXPECT_EQ(Logged("SELECT app_name || '|' || browser_url FROM applications"),
              std::string(Browser) + "|example.com");
}

// Text typed into a browser's address bar hides no page: while a window keeps its title, the
// page read before stays counted and is closed at the limit, by the pass over every window
// too. A window whose title changed, or a new window, is judged by what it shows.
TEST_F(ScanEngineTest, TypingIntoTheAddressBarHidesNoPageWhileTheTitleStays) {
    List("example.com", TMonitoredItemType::mitWeb);
    options_->Edit().TimeLimitSeconds = 9;
    options_->Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
    host_.answer = [this](bool isBlock, bool) {
        return tw::TReminderChoice{false, Engine().TimeUpAction(isBlock)};
    };
    auto browse = [this](const char* title, const char* address) {
        const tw::TWindowHandle window = tw::AddChromeWindow(desktop_, Browser, address);
        desktop_.SetTitle(window, title);
        return window;
    };
    const auto other = browse("Other", "example.com/other");
    const auto video = browse("Video", "example.com/video");
    const auto news = browse("News", "example.com/news");
    for (const auto window : {other, video, news}) {
        Front(window);
        Scan(3);
    }
    desktop_.SetAddress(other, "y");
    desktop_.SetTitle(other, "y - Search");
    desktop_.SetAddress(video, "");
    desktop_.SetAddress(news, "x");
    for (const auto window : {other, browse("News", "x")}) {
        Front(window);
        Scan(3);
    }
    EXPECT_EQ(Logged("SELECT SUM(duration) FROM applications"), "9");
    EXPECT_EQ(CloseRequestsTo(other), 0);
    Front(news);
    Scan(3); // at the limit
    EXPECT_EQ(Logged("SELECT SUM(duration) FROM applications"), "12");
    EXPECT_GE(CloseRequestsTo(news), 1);
    EXPECT_EQ(CloseRequestsTo(video), 1);
    EXPECT_EQ(desktop_.CloseRequests().size(), static_cast<std::size_t>(CloseRequestsTo(news) + 1));
}

// A browser on the list as a program, showing an unlisted page: the time is the
// program's, stays so after the totals are read again, and the page is not recorded.
TEST_F(ScanEngineTest, BrowserListedAsApplicationCountsForTheApplication) {
    List(Browser, TMonitoredItemType::mitApp);
    List("chrome", TMonitoredItemType::mitWeb); // a site name that the path contains
    Front(tw::AddChromeWindow(desktop_, Browser, "unlisted.example.org/page"));
    Scan(3);
    EXPECT_EQ(Logged("SELECT app_name || '|' || browser_url || '|' || app_type || '|' || origin "
                     "FROM applications"),
              std::string(Browser) + "||Google Chrome|1");
    tw::TOnlineTimeApplicationLogger reloaded(folder_.Activity());
    EXPECT_EQ(reloaded.Total, 3);
    int index = reloaded.TodayList().IndexOfName(Browser);
    ASSERT_NE(index, -1);
    EXPECT_EQ(reloaded.TodayList().Items(index).Duration, 3);
}

// A program listed by its file name is charged and closed wherever it lies; an item naming
// the very path keeps that program's time, in the scan and in the totals read back.
TEST_F(ScanEngineTest, AProgramListedByFileNameIsCountedAndClosedWhereverItLies) {
#ifdef _WIN32
    const std::string bare = "game.exe", moved = "D:\\Portable\\GAME.EXE", pinned = Game;
#else
    const std::string bare = "game", moved = "/snap/game/12/bin/game", pinned = "/usr/games/game";
#endif
    List(bare, TMonitoredItemType::mitApp);
    List(pinned, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 9;
    options_->Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
    const auto movedWindow = Front(tw::AddEditorWindow(desktop_, moved));
    Scan(3);
    Front(tw::AddEditorWindow(desktop_, pinned));
    Scan(3);
    Front(movedWindow);
    Scan(3);
    Scan(3); // at the limit
    EXPECT_GE(CloseRequestsTo(movedWindow), 1);
    tw::TOnlineTimeApplicationLogger reloaded(folder_.Activity());
    const tw::TMonitoredList& today = reloaded.TodayList();
    EXPECT_EQ(reloaded.Total, 12);
    EXPECT_EQ(today.Items(today.IndexOfName(bare)).Duration, 9);
    EXPECT_EQ(today.Items(today.IndexOfName(pinned)).Duration, 3);
}

// A browser whose address cannot be read for a reason the person can fix is said once, and
// only to someone with websites on the list; a browser that merely did not answer is not.
TEST_F(ScanEngineTest, AnUnreadableBrowserIsNoticedOnceWhenWebsitesAreListed) {
    using tw::TAddressProblem;
    const tw::TWindowHandle omnibox = Front(tw::AddChromeWindow(desktop_, Browser, ""));
    desktop_.SetAddressProblem(omnibox, TAddressProblem::StartedBeforeAccessibility);
    List(Game, TMonitoredItemType::mitApp);
    Scan(3);
    EXPECT_TRUE(host_.addressNotices.empty());

    List("example.com", TMonitoredItemType::mitWeb);
    desktop_.SetAddressProblem(omnibox, TAddressProblem::NotAnswering);
    Scan(3);
    EXPECT_TRUE(host_.addressNotices.empty());
    desktop_.SetAddressProblem(omnibox, TAddressProblem::StartedBeforeAccessibility);
    Scan(3);
    Scan(3);
    EXPECT_EQ(host_.addressNotices,
              std::vector<TAddressProblem>{TAddressProblem::StartedBeforeAccessibility});
    EXPECT_EQ(Engine().Probe().AddressProblem, TAddressProblem::StartedBeforeAccessibility);
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ScanEngineTest, AFailingReminderEndsTheCycleCleanly) {
    List(Game, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 0;
    options_->Edit().ExpirationAction = tw::TExpirationAction::ShutdownComputer;
    Front(tw::AddEditorWindow(desktop_, Game));
    desktop_.RefuseShutdown("A required privilege is not held by the client.");
    host_.answer = [this](bool isBlock, bool) {
        return tw::TReminderChoice{false, Engine().TimeUpAction(isBlock)};
    };
    folder_.Clock().Advance(3);
    try {
        Engine().ScanTimer();
        FAIL() << "the refusal must reach the application-wide handler";
    } catch (const tw::Exception& e) {
        EXPECT_STREQ(e.what(), "A required privilege is not held by the client.");
    }
    EXPECT_TRUE(host_.scanEnabled);
    EXPECT_DOUBLE_EQ(Engine().LastScanTime(), folder_.ProgramClock().UtcNow());
    EXPECT_EQ(Rows(), 0);
    ASSERT_EQ(desktop_.ShutdownCalls().size(), 1u);
    EXPECT_EQ(desktop_.ShutdownCalls()[0].kind, tw::TShutdownKind::PowerOff);
    EXPECT_EQ(desktop_.ShutdownCalls()[0].timeoutSeconds, 60);
    {
        // Saved before the request, which may end the program without a word.
        tw::TOptions stored(folder_.Data());
        stored.MakeReadOnly();
        EXPECT_EQ(stored.Values().TimeLimitSeconds, 0);
    }
    // The reminder was not answered, so it is still due: the next cycle asks again.
    host_.answer = [](bool, bool) { return tw::TReminderChoice{}; };
    Scan(3);
    EXPECT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(ScanEngineTest, DayPartFollowsTheClock) {
    Scan(1);
    Scan(1);
    folder_.Clock().Advance(2 * 3600);
    Scan(1);
    EXPECT_EQ(host_.dayParts,
              (std::vector<tw::TDayPart>{tw::TDayPart::Morning, tw::TDayPart::Afternoon}));
}

// The user's first removal of the day takes the item off at once, everywhere; the second
// only dims it until the next reset, and a restart keeps it so.
TEST_F(ScanEngineTest, DeletingAListedItemActsOnBothListsAndBothDatabases) {
    List(Game, TMonitoredItemType::mitApp);
    List("example.com", TMonitoredItemType::mitWeb);
    tw::TMonitoredList& today = Engine().Logger().TodayList();
    auto itemNamed = [&](const std::string& name) { return &today.Items(today.IndexOfName(name)); };
    auto listedIn = [&](const char* file, const char* table) {
        return folder_.Scalar(
            file, std::string("SELECT group_concat(name || ':' || active) FROM ") + table);
    };

    EXPECT_EQ(Engine().DeleteListedItem(itemNamed(Game)), tw::TItemDeletion::Removed);
    EXPECT_EQ(options_->Edit().MonitoredList.IndexOfName(Game), -1);
    EXPECT_EQ(today.IndexOfName(Game), -1);
    EXPECT_EQ(listedIn("settings.sqlite", "applications_list"), "");
    EXPECT_EQ(listedIn("actmondb.sqlite", "applications_list"), "");

    EXPECT_EQ(Engine().DeleteListedItem(itemNamed("example.com")), tw::TItemDeletion::Deactivated);
    EXPECT_FALSE(itemNamed("example.com")->Active);
    EXPECT_EQ(listedIn("settings.sqlite", "websites_list"), "example.com:0");
    EXPECT_EQ(listedIn("actmondb.sqlite", "websites_list"), "example.com:0");
    EXPECT_EQ(folder_.Settings().ReadString("WebSites", "example.com", ""), "example.com");
    tw::TOptions reloaded(folder_.Data());
    EXPECT_FALSE(reloaded.Values().MonitoredList.Items(0).Active);
}

class ScanEngineResetTest : public ScanEngineTest {
  protected:
    ScanEngineResetTest() : ScanEngineTest(Today + 3 * tw::OneHour + 59 * 60 / tw::SecondsPerDay) {}
};

TEST_F(ScanEngineResetTest, FourOClockStartsANewDayAndAppliesDeferredRemovals) {
    ASSERT_DOUBLE_EQ(options_->Edit().ResetDateTime, Today + 4 * tw::OneHour);
    options_->Edit().ScanPeriodSeconds = 60; // the scan across 04:00 below comes a minute late
    List(Game, TMonitoredItemType::mitApp);
    List("C:\\Games\\other.exe", TMonitoredItemType::mitApp);
    List("C:\\Games\\third.exe", TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 3;
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    Scan(3); // at the limit: reminder shown
    ASSERT_EQ(host_.shown.size(), 1u);

    // Two removals by the user today: the second one waits for the reset.
    tw::TMonitoredItem other;
    other.Name = "C:\\Games\\other.exe";
    EXPECT_EQ(options_->Policy().MonitoredItemDelete(&other), tw::TItemDeletion::Removed);
    tw::TMonitoredItem third;
    third.Name = "C:\\Games\\third.exe";
    EXPECT_EQ(options_->Policy().MonitoredItemDelete(&third), tw::TItemDeletion::Deactivated);
    ASSERT_TRUE(options_->MonitoredItemsSave());
    EXPECT_EQ(Engine().Logger().TodayList().Count(), 3);

    Scan(60); // 04:00 has passed
    EXPECT_EQ(host_.redisplays, 1);
    EXPECT_DOUBLE_EQ(options_->Edit().ResetDateTime, Today + 1 + 4 * tw::OneHour);
    EXPECT_EQ(options_->Edit().MonitoredList.IndexOfName("C:\\Games\\third.exe"), -1);
    EXPECT_FALSE(folder_.Settings().SectionExists("Applications"));
    EXPECT_TRUE(Engine().Reminders().LimitReminderDue() || host_.shown.size() == 2u);
    // The new day's total holds only what was logged since 04:00: this cycle.
    EXPECT_EQ(Engine().Logger().Total, 60);
    EXPECT_EQ(Engine().Logger().TodayList().Count(), 1);
    EXPECT_EQ(Engine().Logger().TodayList().Items(0).Duration, 60);
}

TEST_F(ScanEngineResetTest, DeferredRemovalsWaitWhenTheUserMayNotChangeSettings) {
    List(Game, TMonitoredItemType::mitApp);
    folder_.Settings().WriteString("Applications", Game, Game);
    folder_.Settings().WriteString("WebSites", "example.com", "example.com");
    options_->Edit().AllowUserToChangeSettings = false;
    Scan(120);
    EXPECT_EQ(host_.redisplays, 1);
    EXPECT_NE(options_->Edit().MonitoredList.IndexOfName(Game), -1);
    EXPECT_FALSE(folder_.Settings().SectionExists("Applications"));
    EXPECT_FALSE(folder_.Settings().SectionExists("WebSites"));
}

class ScanEngineLateStartTest : public ScanEngineTest {
  protected:
    ScanEngineLateStartTest() : ScanEngineTest(Today + 2 * tw::OneHour) {}
};

// The night's time belongs to the day that began at 04:00 yesterday: a reset at 02:00 after
// the program was off across 04:00 leaves that day, and the next comes at 04:00 today.
TEST_F(ScanEngineLateStartTest, AResetBeforeFourKeepsTheNightInItsDay) {
    options_->Edit().ResetDateTime =
        Today - 1 + 4 * tw::OneHour; // missed while the program was off
    options_->Edit().DayStartUtc = Today - 2 + 4 * tw::OneHour;
    options_->Edit().ScanPeriodSeconds = 3600;
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    EXPECT_EQ(host_.redisplays, 1);
    EXPECT_DOUBLE_EQ(options_->Edit().ResetDateTime, Today + 4 * tw::OneHour);
    Scan(3600);
    EXPECT_EQ(Engine().Logger().Total, 3603);
    Scan(3600); // 04:00 has passed
    EXPECT_EQ(host_.redisplays, 2);
    EXPECT_DOUBLE_EQ(options_->Edit().ResetDateTime, Today + 1 + 4 * tw::OneHour);
    EXPECT_EQ(Engine().Logger().Total, 3600);
}

// What the person chose in the reminder lasts until the day ends: through a restart, and
// not past the next 04:00.
class ScanEngineDayRulesTest : public ScanEngineTest {
  protected:
    ScanEngineDayRulesTest() : ScanEngineTest(Today + 23 * tw::OneHour) {}

    // The program ends and starts again on the same files.
    void Restart(bool fiveMinutesSetting) {
        engine_.reset();
        options_.reset();
        folder_.Restart();
        options_ = std::make_unique<tw::TOptions>(folder_.Data());
        engine_ = std::make_unique<tw::TScanEngine>(desktop_, *options_, host_, host_,
                                                    fiveMinutesSetting);
    }
    // Listed, over the limit, under the given setting; the person answers as told.
    void OverTheLimit(tw::TExpirationAction action, std::optional<tw::TExpirationAction> picked) {
        List(Game, TMonitoredItemType::mitApp);
        options_->Edit().TimeLimitSeconds = 3;
        options_->Edit().ExpirationAction = action;
        host_.answer = [picked](bool, bool) { return tw::TReminderChoice{false, picked}; };
    }
};

struct TDayCloseCase {
    const char* name;
    bool inBlock;
    std::optional<tw::TExpirationAction> picked;
    bool closesTheDay;
};

class ScanEngineDayCloseTest : public ScanEngineDayRulesTest,
                               public testing::WithParamInterface<TDayCloseCase> {};

TEST_P(ScanEngineDayCloseTest, ClosingChosenInTheReminderHoldsUntilTheDayEnds) {
    const TDayCloseCase& c = GetParam();
    OverTheLimit(tw::TExpirationAction::ReminderOnly, c.picked);
    Front(tw::AddEditorWindow(desktop_, Game));
    if (c.inBlock) {
        Engine().StartBlock(60.0 / tw::SecondsPerDay);
    }
    Scan(3);
    Scan(3);
    ASSERT_EQ(host_.shown.size(), 1u); // answered as picked
    host_.answer = [](bool, bool) { return tw::TReminderChoice{}; };
    auto again = Front(tw::AddEditorWindow(desktop_, Game)); // opened again at once
    Scan(3);
    EXPECT_EQ(CloseRequestsTo(again), c.closesTheDay || c.inBlock ? 1 : 0);

    Restart(true);
    auto later = Front(tw::AddEditorWindow(desktop_, Game)); // and after a restart
    Scan(120);
    EXPECT_EQ(CloseRequestsTo(later), c.closesTheDay ? 1 : 0);
    EXPECT_EQ(host_.shown.size(), c.closesTheDay ? 1u : 2u); // asked and answered

    Scan(5 * 3600); // past 04:00: the list is open again, also after a restart
    EXPECT_EQ(host_.redisplays, 1);
    Restart(true);
    Scan(3);
    EXPECT_EQ(CloseRequestsTo(later), c.closesTheDay ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ScanEngineDayCloseTest,
    testing::Values(TDayCloseCase{"Block", false, tw::TExpirationAction::CloseListed, true},
                    TDayCloseCase{"Continue", false, tw::TExpirationAction::ReminderOnly, false},
                    TDayCloseCase{"EndedByTheProgram", false, std::nullopt, false},
                    TDayCloseCase{"BlockPeriodsOwn", true, tw::TExpirationAction::CloseListed,
                                  false}),
    [](const testing::TestParamInfo<TDayCloseCase>& info) { return info.param.name; });

TEST_F(ScanEngineDayRulesTest, FiveMinutesComeOnceADayAndNeverAgainstTheSetting) {
    OverTheLimit(tw::TExpirationAction::CloseListed, std::nullopt);
    host_.answer = [](bool, bool five) { return tw::TReminderChoice{five, {}}; };
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    Scan(3);       // taken
    Restart(true); // and not offered again that day
    Scan(3);
    ASSERT_EQ(host_.shown.size(), 2u);
    EXPECT_FALSE(host_.shown[1].fiveMinutesAllowed);

    Scan(5 * 3600); // a new day offers it again, also after a restart
    Restart(true);
    EXPECT_TRUE(Engine().Reminders().FiveMinutesAllowed());
    Restart(false); // where the setting withholds it, a new day does not bring it
    Scan(24 * 3600);
    EXPECT_EQ(host_.redisplays, 2);
    EXPECT_FALSE(Engine().Reminders().FiveMinutesAllowed());
}

} // namespace

#ifndef _WIN32
namespace {

// Another program's exclusive lock on a database file, held in a child process until
// Release.
class TLockedByAnother {
  public:
    explicit TLockedByAnother(const std::string& path) {
        EXPECT_EQ(pipe(locked_), 0);
        EXPECT_EQ(pipe(release_), 0);
        child_ = fork();
        if (child_ == 0) {
            char byte = 0;
            tw::TSQLiteDatabase db(path);
            db.ExecSQL("BEGIN EXCLUSIVE");
            if (write(locked_[1], &byte, 1) != 1 || read(release_[0], &byte, 1) != 1) {
                _exit(2);
            }
            db.ExecSQL("ROLLBACK");
            _exit(0);
        }
        char byte = 0;
        EXPECT_EQ(read(locked_[0], &byte, 1), 1);
    }
    ~TLockedByAnother() { Release(); }
    void Release() {
        if (child_ <= 0) {
            return;
        }
        char byte = 0;
        EXPECT_EQ(write(release_[1], &byte, 1), 1);
        int status = 0;
        waitpid(child_, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        for (int fd : {locked_[0], locked_[1], release_[0], release_[1]}) {
            close(fd);
        }
        child_ = 0;
    }

  private:
    int locked_[2] = {};
    int release_[2] = {};
    pid_t child_ = 0;
};

} // namespace

// Another program holds the activity database locked for ten seconds, then lets go: the
// person hears of it once the lock outlasts a scan period, and not one second is lost.
TEST_F(ScanEngineTest, ADatabaseLockedByAnotherProgramIsNoticedOnceAndLosesNoTime) {
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    ASSERT_EQ(Rows(), 1);

    TLockedByAnother lock(folder_.File("actmondb.sqlite"));
    Scan(3); // a lock this short may be anyone's passing write: not yet worth a window
    EXPECT_TRUE(host_.notices.empty());
    Scan(3);
    ASSERT_EQ(host_.notices.size(), 1u);
    EXPECT_NE(host_.notices[0].find("The database file is locked"), std::string::npos);
    EXPECT_NE(host_.notices[0].find(folder_.File("actmondb.sqlite")), std::string::npos);
    Scan(3);
    Scan(1);
    EXPECT_EQ(host_.notices.size(), 1u);
    EXPECT_EQ(Engine().Logger().Total, 13); // counted all along

    lock.Release();
    Scan(3);
    EXPECT_EQ(Logged("SELECT SUM(duration) FROM applications"), "16");
    EXPECT_EQ(Engine().Logger().Total, 16);
    EXPECT_EQ(host_.notices.size(), 1u);
    const std::string log = twtest::ReadAll(folder_.Log().FilePath());
    EXPECT_NE(log.find("The database file is locked"), std::string::npos) << log;
    EXPECT_NE(log.find("works again"), std::string::npos) << log;
}

// Locked before the day's totals were ever read: the list in force says what counts, and once
// the file answers the stored time joins what was counted meanwhile.
TEST_F(ScanEngineTest, ADatabaseLockedAtStartStillCountsAndWritesEverySecond) {
    List(Game, TMonitoredItemType::mitApp);
    Front(tw::AddEditorWindow(desktop_, Game));
    folder_.Exec("actmondb.sqlite", "INSERT INTO applications VALUES('" +
                                        tw::DateTimeToSQL(folder_.ProgramClock().Now()) + "', '" +
                                        Game + "', '', 'Desktop Application', 100, 1)");
    TLockedByAnother lock(folder_.File("actmondb.sqlite"));
    for (int i = 0; i < 4; ++i) {
        Scan(3);
    }
    EXPECT_EQ(Engine().Logger().Total, 12);
    EXPECT_EQ(Engine().Logger().TodayList().Count(), 1);
    lock.Release();
    // Also while nothing listed is in front: the total shown must not wait for it.
    Front(tw::AddEditorWindow(desktop_, "/usr/bin/terminal"));
    Scan(3);
    EXPECT_EQ(Engine().Logger().Total, 112);
    Front(tw::AddEditorWindow(desktop_, Game));
    Scan(3);
    EXPECT_EQ(Engine().Logger().Total, 115);
    EXPECT_EQ(Logged("SELECT SUM(duration) FROM applications"), "115");
}
#endif

namespace {

// settings.sqlite deleted, or emptied, while the program runs: the next scan puts a fresh
// one in its place with everything in use, says so once, and counting goes on.
TEST_F(ScanEngineTest, ASettingsDatabaseLostWhileRunningComesBackWithWhatIsInUse) {
    List(Game, TMonitoredItemType::mitApp);
    options_->Edit().TimeLimitSeconds = 1800;
    options_->SetReminder(0, "stretch");
    Front(tw::AddEditorWindow(desktop_, Game));
    const std::string settings = folder_.File("settings.sqlite");
    for (bool emptied : {false, true}) {
        SCOPED_TRACE(emptied ? "emptied" : "deleted");
        if (emptied) {
            std::filesystem::resize_file(settings, 0);
        } else {
            std::filesystem::remove(settings);
        }
        Scan(3);
        ASSERT_EQ(host_.notices.size(), emptied ? 2u : 1u);
        EXPECT_NE(host_.notices.back().find("settings database was missing"), std::string::npos);
        Scan(3);
        EXPECT_EQ(host_.notices.size(), emptied ? 2u : 1u);
        EXPECT_EQ(folder_.Scalar("settings.sqlite",
                                 "SELECT value FROM settings WHERE name = 'TimeLimitSeconds'"),
                  "1800");
        EXPECT_EQ(folder_.Scalar("settings.sqlite", "SELECT name FROM applications_list"), Game);
        EXPECT_EQ(folder_.Scalar("settings.sqlite",
                                 "SELECT text FROM reminders WHERE reminder_type = 'morning'"),
                  "stretch");
    }
    EXPECT_EQ(Engine().Logger().Total, 12);
    // The next start reads it as it was.
    tw::TOptions restarted(folder_.Data());
    EXPECT_FALSE(restarted.LoadFailed());
    EXPECT_EQ(restarted.Values().TimeLimitSeconds, 1800);
    restarted.MakeReadOnly();
}

} // namespace
