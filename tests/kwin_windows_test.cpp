// KWin's windows as our script inside it reports them, on a real KWin started headless with
// real Wayland clients in front.
#include "base/exception.h"
#include "platform/linux/session_notices.h"
#include "platform/wayland/kwin_windows.h"
#include "support/compositor_session.h"

#include <gtest/gtest.h>
#include <set>

using namespace twtest;

namespace {

std::set<int> WindowPids(tw::TCompositorWindows& windows) {
    std::set<int> pids;
    windows.EachWindow([&](const tw::TCompositorWindow& window) {
        pids.insert(window.pid);
        return true;
    });
    return pids;
}

} // namespace

TEST(KWinWindows, TellsTheWindowInFrontClosesItAndShowsNoneWhileLocked) {
    TCompositorSession session(TCompositorSession::KWin);
    std::cout << "KWin ready after " << session.StartSeconds() << " s\n";
    // One window is there before the program starts, one comes after.
    auto earlier = session.StartClient("Earlier window");
    auto windows = tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/");
    EXPECT_EQ(windows->Name(), std::string("wayland-kwin"));
    EXPECT_TRUE(WaitUntil([&] { return windows->Focused().pid == earlier->Pid(); }));
    auto later = session.StartClient("Later window");

    tw::TCompositorWindow front;
    ASSERT_TRUE(WaitUntil([&] {
        front = windows->Focused();
        return front.pid == later->Pid();
    })) << "in front: pid "
        << front.pid << " \"" << front.title << "\"";
    EXPECT_EQ(front.title, "Later window");
    EXPECT_EQ(front.appId, "tallywick-test-client");
    EXPECT_NE(front.window, 0u);
    const std::set<int> both{earlier->Pid(), later->Pid()};
    EXPECT_EQ(WindowPids(*windows), both);

    windows->Close(front.window);
    EXPECT_EQ(later->ExitCodeWithin(10000), 0) << "the window in front was not closed";
    ASSERT_TRUE(WaitUntil([&] { return windows->Focused().pid == earlier->Pid(); }));
    EXPECT_EQ(WindowPids(*windows), std::set<int>{earlier->Pid()});

    tw::TSessionNotices notices;
    session.Lock();
    tw::TDesktopNotice notice{};
    EXPECT_TRUE(WaitUntil([&] { return notices.Next(notice); }) &&
                notice == tw::TDesktopNotice::SessionLock)
        << "the lock was not announced";
    EXPECT_TRUE(WaitUntil([&] { return windows->Focused().window == 0; }))
        << "a locked screen still shows a window in front";
    EXPECT_TRUE(earlier->Running()) << "only the window asked for is closed";
    EXPECT_EQ(windows->Problem(), "");
}

TEST(KWinWindows, FollowsKWinStartedAgainAfterACrash) {
    TCompositorSession session(TCompositorSession::KWin);
    auto before = session.StartClient("Before the crash");
    auto windows = tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/");
    ASSERT_TRUE(WaitUntil([&] { return windows->Focused().pid == before->Pid(); }));

    session.RestartCompositor();
    auto after = session.StartClient("After the crash");
    tw::TCompositorWindow front;
    EXPECT_TRUE(WaitUntil([&] {
        front = windows->Focused();
        return front.pid == after->Pid();
    })) << "in front: pid "
        << front.pid << " \"" << front.title << "\"; " << windows->Problem();
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
