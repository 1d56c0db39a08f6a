// KWin's windows as our script inside it reports them, on a real KWin started headless with
// real Wayland clients in front.
#include "base/exception.h"
#include "compositor_windows_checks.h"
#include "platform/wayland/kwin_windows.h"

using namespace twtest;

TEST(KWinWindows, TellsTheWindowInFrontClosesItAndShowsNoneWhileLocked) {
    TCompositorSession session(TCompositorSession::KWin);
    std::cout << "KWin ready after " << session.StartSeconds() << " s\n";
    // One window is there before the program starts, one comes after.
    auto earlier = session.StartClient("Earlier window");
    auto windows = tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/");
    EXPECT_EQ(windows->Name(), std::string("wayland-kwin"));
    tw::TCompositorWindow front;
    EXPECT_TRUE(InFront(*windows, earlier->Pid(), front));
    auto later = session.StartClient("Later window");
    ASSERT_TRUE(InFront(*windows, later->Pid(), front));
    EXPECT_EQ(front.title, "Later window");
    EXPECT_EQ(front.appId, "tallywick-test-client");
    EXPECT_NE(front.window, 0u);
    const std::set<int> both{earlier->Pid(), later->Pid()};
    EXPECT_EQ(WindowPids(*windows), both);

    windows->Close(front.window);
    EXPECT_EQ(later->ExitCodeWithin(10000), 0) << "the window in front was not closed";
    ASSERT_TRUE(InFront(*windows, earlier->Pid(), front));
    EXPECT_EQ(WindowPids(*windows), std::set<int>{earlier->Pid()});

    ExpectLockShowsNoWindow(session, *windows);
    EXPECT_TRUE(earlier->Running()) << "only the window asked for is closed";
    EXPECT_EQ(windows->Problem(), "");
}

TEST(KWinWindows, FollowsKWinStartedAgainAfterACrash) {
    TCompositorSession session(TCompositorSession::KWin);
    auto before = session.StartClient("Before the crash");
    auto windows = tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, before->Pid(), front));

    session.RestartCompositor();
    auto after = session.StartClient("After the crash");
    EXPECT_TRUE(InFront(*windows, after->Pid(), front));
    EXPECT_EQ(WindowPids(*windows), std::set<int>{after->Pid()});
}

TEST(KWinWindows, SaysWhyWhenItsScriptIsMissing) {
    TCompositorSession session(TCompositorSession::KWin);
    TempDir empty;
    try {
        tw::ConnectKWin(empty.Path().string() + "/");
        FAIL() << "connected without a script";
    } catch (const tw::Exception& failure) {
        EXPECT_NE(std::string(failure.what()).find("script"), std::string::npos) << failure.what();
    }
}
