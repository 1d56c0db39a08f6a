// The Wayland desktop on a real sway, headless on the CPU, with a real Qt Wayland client in
// front. Each case starts a sway of its own (tests/support/sway_session.h).
#ifdef __linux__

#include "support/browser_session.h"
#include "support/file_text.h"
#include "support/sway_session.h"
#include "support/temp_dir.h"
#include "wayland_engine_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using twtest::FrontOnceItIs;
using twtest::TClient;
using twtest::WaitUntil;

std::string ClientProgram() {
    return twtest::WaylandClientProgram();
}

std::unique_ptr<TClient> StartClient(twtest::TSwaySession& sway, const std::string& title) {
    return sway.Start(ClientProgram(), {title}, {"QT_QPA_PLATFORM=wayland"});
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

    twtest::TListedClientEngine engine(*desktop);
    engine.ExpectCounted();
    EXPECT_TRUE(engine.ClosedAtTheLimit()) << sway.Log();
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
    EXPECT_TRUE(WaitUntil([&] { return desktop->WhatIsInFront().window == 0; },
                          twtest::WaylandWindowShownMs))
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
    options.Edit().MonitoredList.Add("Local pages", std::move(item));
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
