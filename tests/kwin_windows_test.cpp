// KWin's windows as our script inside it reports them, on a real KWin started headless with
// real Wayland clients in front.
#include "base/exception.h"
#include "compositor_windows_checks.h"
#include "platform/wayland/kwin_windows.h"
#include "support/file_text.h"

#include <chrono>
#include <filesystem>

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

    // KWin's answers are handled as the scans ask what is in front, and a scan at the limit
    // asks again for the window (a request still on its way is not sent twice; one a KWin
    // under load let lapse is).
    EXPECT_TRUE(WaitUntil(
        [&] {
            windows->Close(front.window);
            windows->Focused();
            return !later->Running();
        },
        30000))
        << "the window in front was not closed";
    ASSERT_TRUE(InFront(*windows, earlier->Pid(), front));
    EXPECT_EQ(WindowPids(*windows), std::set<int>{earlier->Pid()});

    ExpectLockShowsNoWindow(session, *windows);
    EXPECT_TRUE(earlier->Running()) << "only the window asked for is closed";
    EXPECT_EQ(windows->Problem(), "");
}

// A close request is sent and left: the scan that asks it goes on at once, even when the
// script never reports, and the window closes all the same.
TEST(KWinWindows, ACloseDoesNotWaitForKWin) {
    TCompositorSession session(TCompositorSession::KWin);
    TempDir scripts;
    const std::string shipped = std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/";
    std::filesystem::copy_file(shipped + "windows.js", scripts.File("windows.js"));
    std::string close = ReadAll(shipped + "close_window.js");
    close.erase(close.find("callDBus("));
    WriteAll(scripts.File("close_window.js"), close);
    auto client = session.StartClient("Closed window");
    auto windows = tw::ConnectKWin(scripts.Path().string() + "/");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, client->Pid(), front));
    for (int scan = 0; scan < 3; ++scan) {
        const auto asked = std::chrono::steady_clock::now();
        windows->Close(front.window);
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(250));
        windows->Focused();
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
            windows->Focused();
            return !client->Running();
        },
        10000));
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
