// GNOME Shell's windows as our extension inside it answers for them, on a real GNOME Shell
// started headless with real Wayland clients in front.
#include "platform/linux/session_notices.h"
#include "platform/wayland/compositor_connect.h"
#include "support/compositor_session.h"

#include <gtest/gtest.h>

using namespace twtest;

TEST(GnomeShellWindows, TurnsItsExtensionOnTellsTheWindowInFrontClosesItAndShowsNoneWhileLocked) {
    // Installed for the user, not yet turned on: the program turns it on.
    TCompositorSession session(TCompositorSession::GnomeShell);
    std::cout << "GNOME Shell ready after " << session.StartSeconds() << " s\n";
    auto windows = tw::ConnectGnomeShell();
    EXPECT_EQ(windows->Problem(), "");
    EXPECT_EQ(windows->Name(), std::string("wayland-gnome"));
    auto first = session.StartClient("First window");

    tw::TCompositorWindow front;
    ASSERT_TRUE(WaitUntil([&] {
        front = windows->Focused();
        return front.pid == first->Pid();
    })) << "in front: pid "
        << front.pid << " \"" << front.title << "\"; " << windows->Problem();
    EXPECT_EQ(front.title, "First window");
    EXPECT_EQ(front.appId, "tallywick-test-client");
    int listed = 0;
    windows->EachWindow([&](const tw::TCompositorWindow& window) {
        listed += window.pid == first->Pid() && window.window == front.window;
        return true;
    });
    EXPECT_EQ(listed, 1);

    windows->Close(front.window);
    EXPECT_EQ(first->ExitCodeWithin(10000), 0) << "the window in front was not closed";

    auto second = session.StartClient("Second window");
    ASSERT_TRUE(WaitUntil([&] { return windows->Focused().pid == second->Pid(); }));
    tw::TSessionNotices notices;
    session.Lock();
    tw::TDesktopNotice notice{};
    EXPECT_TRUE(WaitUntil([&] { return notices.Next(notice); }) &&
                notice == tw::TDesktopNotice::SessionLock)
        << "the lock was not announced";
    EXPECT_TRUE(WaitUntil([&] { return windows->Focused().window == 0; }))
        << "a locked screen still shows a window in front";
    EXPECT_EQ(windows->Problem(), "") << "the extension must live on under the lock screen";
}

TEST(GnomeShellWindows, SaysWhyWhenGnomeRefusesTheExtension) {
    TCompositorSession::TOptions options;
    options.settings = {"org.gnome.shell disable-user-extensions true"};
    TCompositorSession session(TCompositorSession::GnomeShell, options);
    auto windows = tw::ConnectGnomeShell();
    auto client = session.StartClient("Unseen window");
    EXPECT_EQ(windows->Focused().window, 0u);
    const std::string problem = windows->Problem();
    EXPECT_EQ(problem.rfind("Tallywick cannot see windows on this desktop: ", 0), 0u) << problem;
    EXPECT_NE(problem.find("switched off"), std::string::npos) << problem;
}
