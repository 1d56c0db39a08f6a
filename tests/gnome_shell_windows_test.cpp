// GNOME Shell's windows as our extension inside it answers for them, on a real GNOME Shell
// started headless with real Wayland clients in front.
#include "compositor_windows_checks.h"
#include "platform/wayland/compositor_connect.h"

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
    ASSERT_TRUE(InFront(*windows, first->Pid(), front));
    EXPECT_EQ(front.title, "First window");
    EXPECT_EQ(front.appId, "tallywick-test-client");
    EXPECT_EQ(WindowPids(*windows), std::set<int>{first->Pid()});

    EXPECT_TRUE(ClosedAsScansAsk(*windows, front.window, *first));

    auto second = session.StartClient("Second window");
    ASSERT_TRUE(InFront(*windows, second->Pid(), front));
    ExpectLockShowsNoWindow(session, *windows);
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
    // The program's notice completes the reason: "...is not counted: <reason>."
    EXPECT_EQ(problem.rfind("GNOME Shell's extensions are switched off", 0), 0u) << problem;
    EXPECT_NE(problem.back(), '.') << problem;
}
