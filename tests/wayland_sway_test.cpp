// The Wayland desktop on a real sway, headless on the CPU, with a real Qt Wayland client in
// front. Each case starts a sway of its own (tests/support/sway_session.h).
#ifdef __linux__

#include "monitor/scan_engine.h"
#include "platform/desktop.h"
#include "storage/date_format.h"
#include "support/browser_session.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/sway_session.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "support/test_scan_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using twtest::OwnFolder;
using twtest::TClient;
using twtest::WaitUntil;

// A Qt client's first window can take seconds on a machine busy with builds.
constexpr int WindowShownMs = 30000;

std::string ClientProgram() {
    return OwnFolder() + "/wayland_test_client";
}

std::unique_ptr<TClient> StartClient(twtest::TSwaySession& sway, const std::string& title) {
    return sway.Start(ClientProgram(), {title}, {"QT_QPA_PLATFORM=wayland"});
}

// The window in front once it is the client's.
tw::TWindowFacts FrontOnceItIs(tw::TDesktop& desktop, const std::string& executable) {
    tw::TWindowFacts front;
    WaitUntil(
        [&] {
            front = desktop.WhatIsInFront();
            return front.executablePath == executable;
        },
        WindowShownMs);
    return front;
}

int RowsOf(twtest::TestDataFolder& folder, const std::string& program) {
    return std::stoi(folder.Scalar(
        "actmondb.sqlite", "SELECT COUNT(*) FROM applications WHERE app_name = '" + program + "'"));
}

// The session's own choice of desktop finds sway; the engine on it counts the client in
// front in the database and, at the limit under "Close Browser/App.", the client's window
// gets sway's close and is gone.
TEST(WaylandSway, TheEngineCountsTheWindowInFrontAndClosesItAtTheLimit) {
    twtest::TSwaySession sway;
    ::testing::Test::RecordProperty("sway_start_ms", static_cast<int>(sway.StartMilliseconds()));
    const std::unique_ptr<tw::TDesktop> desktop = tw::CreateDesktop();
    ASSERT_STREQ(desktop->Name(), "wayland-sway");
    EXPECT_EQ(desktop->WindowsProblem(), "");

    auto client = StartClient(sway, "Counted on sway");
    const tw::TWindowFacts front = FrontOnceItIs(*desktop, ClientProgram());
    ASSERT_EQ(front.executablePath, ClientProgram()) << sway.Log();
    EXPECT_NE(front.window, 0u);
    EXPECT_EQ(front.browser, tw::TBrowserKind::Desktop);
    int described = 0;
    desktop->DescribeTopLevelWindows([&](const tw::TWindowFacts& facts) {
        described += facts.window == front.window && facts.executablePath == ClientProgram();
        return true;
    });
    EXPECT_EQ(described, 1);

    // The diagnostic command answers from the same compositor, and says which it asked.
    twtest::TempDir home;
    twtest::TChildOptions probeOptions;
    probeOptions.environment = {{"XDG_DATA_HOME", home.Path().string()}};
    probeOptions.stdoutFile = home.File("probe.json");
    TClient probe({}, false, std::string(TALLYWICK_BIN_DIR) + "/tallywick-probe", probeOptions);
    ASSERT_TRUE(probe.ExitsCleanlyWithin(10000));
    const std::string report = twtest::ReadAll(probeOptions.stdoutFile);
    EXPECT_EQ(
        report.rfind("{\"desktop\":\"wayland-sway\",\"window\":" + std::to_string(front.window) +
                         ",\"executable\":\"" + ClientProgram() + "\"",
                     0),
        0u)
        << report;

    twtest::TestDataFolder folder(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour);
    tw::TOptions options(folder.Data());
    options.TimeLimitSeconds = 3600;
    options.ExpirationAction = tw::TExpirationAction::CloseListed;
    auto item = std::make_unique<tw::TMonitoredItem>();
    item->Name = ClientProgram();
    item->Caption = "Wayland client";
    item->ItemType = tw::TMonitoredItemType::mitApp;
    options.MonitoredList.Add("Wayland client", std::move(item));
    ASSERT_TRUE(options.MonitoredItemsSave());
    twtest::TTestScanHost host;
    host.answer = [](bool, bool) {
        return tw::TReminderChoice{false, tw::TExpirationAction::CloseListed};
    };
    tw::TScanEngine engine(*desktop, options, host, host, true);
    auto scan = [&] {
        folder.Clock().Advance(3);
        engine.ScanTimer();
    };
    for (int i = 0; i < 3; ++i) {
        scan();
    }
    EXPECT_GT(RowsOf(folder, ClientProgram()), 0);
    EXPECT_EQ(engine.Logger().Total, 9);

    options.TimeLimitSeconds = engine.Logger().Total + 3;
    ASSERT_TRUE(WaitUntil(
        [&] {
            scan();
            return host.shown.size() == 1;
        },
        5000));
    // The compositor took the window away. (Whether the client then ends is Qt's business: a
    // close that comes early in its life sometimes leaves it running without a window.)
    EXPECT_TRUE(WaitUntil(
        [&] {
            bool shown = false;
            desktop->DescribeTopLevelWindows([&](const tw::TWindowFacts& facts) {
                shown = shown || facts.executablePath == ClientProgram();
                return true;
            });
            return !shown;
        },
        WindowShownMs))
        << sway.Log();
}

// swaylock takes the seat's focus from every window: behind the lock nothing is in front,
// so nothing is counted.
TEST(WaylandSway, NothingIsInFrontWhileTheScreenIsLocked) {
    twtest::TSwaySession sway;
    const std::unique_ptr<tw::TDesktop> desktop = tw::CreateDesktop();
    auto client = StartClient(sway, "Behind the lock");
    ASSERT_EQ(FrontOnceItIs(*desktop, ClientProgram()).executablePath, ClientProgram())
        << sway.Log();

    auto lock = sway.Start("/usr/bin/swaylock", {"--color", "000000"});
    EXPECT_TRUE(WaitUntil([&] { return desktop->WhatIsInFront().window == 0; }, WindowShownMs))
        << sway.Log();
    lock->Kill();
}

// Firefox on Wayland shows its page's address through the accessibility bus as it does on
// X11: the engine counts a listed site in front of it.
TEST(WaylandSwayBrowser, FirefoxOnWaylandWithAListedSiteInFrontIsCounted) {
    twtest::TDesktopSession session;
    session.SetAccessibility(true);
    twtest::TLocalWebServer server;
    twtest::TSwaySession sway;
    const std::unique_ptr<tw::TDesktop> desktop = tw::CreateDesktop();
    twtest::TBrowser firefox(twtest::TBrowser::Firefox, session, server.Url("q.html"),
                             sway.BrowserDisplay());
    tw::TWindowFacts front;
    ASSERT_TRUE(WaitUntil(
        [&] {
            front = desktop->WhatIsInFront();
            return front.address == server.Url("q.html");
        },
        90000))
        << "in front: " << front.executablePath << " " << front.address << "\n"
        << sway.Log();
    EXPECT_EQ(front.browser, tw::TBrowserKind::Firefox);

    twtest::TestDataFolder folder(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour);
    tw::TOptions options(folder.Data());
    auto item = std::make_unique<tw::TMonitoredItem>();
    item->Name = server.Host();
    item->Caption = "Local pages";
    item->ItemType = tw::TMonitoredItemType::mitWeb;
    options.MonitoredList.Add("Local pages", std::move(item));
    ASSERT_TRUE(options.MonitoredItemsSave());
    twtest::TTestScanHost host;
    tw::TScanEngine engine(*desktop, options, host, host, true);
    const std::string rows = "SELECT COUNT(*) FROM applications WHERE app_type = 'Mozila FireFox' "
                             "AND browser_url = '" +
                             server.Host() + "'";
    // A cycle whose read Firefox answered too late counts nothing; a later one does.
    EXPECT_TRUE(WaitUntil([&] {
        folder.Clock().Advance(3);
        engine.ScanTimer();
        return std::stoi(folder.Scalar("actmondb.sqlite", rows)) > 0;
    }));
}

} // namespace

#endif // __linux__
