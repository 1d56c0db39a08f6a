// KWin's windows as our script inside it reports them, on a real KWin started headless with
// real Wayland clients in front.
#include "base/exception.h"
#include "compositor_windows_checks.h"
#include "platform/wayland/kwin_windows.h"
#include "support/bus_forger.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <systemd/sd-bus.h>

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

    EXPECT_TRUE(ClosedAsScansAsk(*windows, front.window, *later));
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

// Any program of the session may call the program's connection, and send it signals: KWin is
// believed only from its current owner, and who that is only from the bus itself. A forger
// claims KWin's name, reports a window of its own in front and says the screen is locked;
// the window in front stays the real one, and KWin's own reports still count.
TEST(KWinWindows, BelievesNothingAboutWindowsFromAnyoneButKWin) {
    TCompositorSession session(TCompositorSession::KWin);
    auto real = session.StartClient("Real window");
    auto windows = tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, real->Pid(), front));

    TBusForger forger;
    const auto program = forger.OurConnections();
    forger.Signal(program, "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameOwnerChanged",
                  "sss", "org.kde.KWin", forger.OwnerOf("org.kde.KWin").c_str(),
                  forger.UniqueName().c_str());
    forger.Signal(program, "/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", "b", 1);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < until) {
        forger.Call(program, "/app/tallywick/KWinWindows", "app.tallywick.KWinWindows", "Window",
                    "ssss", "{forged}", "1", "Forged window", "forged");
        forger.Call(program, "/app/tallywick/KWinWindows", "app.tallywick.KWinWindows", "Activated",
                    "s", "{forged}");
        front = windows->Focused();
        ASSERT_EQ(front.pid, real->Pid()) << front.title;
        ASSERT_EQ(WindowPids(*windows), std::set<int>{real->Pid()});
    }
    EXPECT_EQ(windows->Problem(), "");

    auto later = session.StartClient("Later window");
    EXPECT_TRUE(InFront(*windows, later->Pid(), front));
}

// Whether KWin holds a script of ours under the name.
bool ScriptLoaded(const std::string& pluginName) {
    sd_bus* bus = nullptr;
    sd_bus_message* reply = nullptr;
    int loaded = 0;
    if (sd_bus_open_user(&bus) >= 0 &&
        sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting",
                           "isScriptLoaded", nullptr, &reply, "s", pluginName.c_str()) >= 0) {
        sd_bus_message_read(reply, "b", &loaded);
    }
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return loaded != 0;
}

// A KWin too slow to run our close scripts in time: the first close waits for its script once,
// the closes after it are sent without holding the scan, and each script stays loaded (one
// unloaded before it ran would close nothing) until its life ends.
TEST(KWinWindows, ClosesWithoutHoldingEveryScanWhenItsScriptsReportLate) {
    TCompositorSession session(TCompositorSession::KWin);
    TempDir scripts;
    const std::string shipped = std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/";
    std::filesystem::copy_file(shipped + "windows.js", scripts.Path() / "windows.js");
    std::ofstream(scripts.Path() / "close_window.js") << "// never says that it ran\n";
    auto first = session.StartClient("First window");
    auto second = session.StartClient("Second window");
    auto windows = tw::ConnectKWin(scripts.Path().string() + "/");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, second->Pid(), front));
    const tw::TWindowHandle waited = front.window;
    windows->Close(waited);
    EXPECT_TRUE(ScriptLoaded("tallywick-close-" + std::to_string(waited)));

    windows->EachWindow([&](const tw::TCompositorWindow& window) {
        front = window;
        return window.window == waited;
    });
    ASSERT_NE(front.window, waited);
    const auto asked = std::chrono::steady_clock::now();
    windows->Close(front.window);
    windows->Close(front.window); // the next scan asks again while it is on its way
    const std::chrono::duration<double> held = std::chrono::steady_clock::now() - asked;
    EXPECT_LT(held.count(), 2.0) << "each close waited for a script that does not report";
    EXPECT_TRUE(ScriptLoaded("tallywick-close-" + std::to_string(front.window)));
}

// Unloads a script of KWin's by its name, as anybody in the session may.
void UnloadScript(const std::string& pluginName) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) >= 0) {
        sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting",
                           "unloadScript", nullptr, nullptr, "s", pluginName.c_str());
    }
    sd_bus_flush_close_unref(bus);
}

// The script unloaded by hand would leave the program blind to every window after it: it is
// loaded again within a scan or two, and said so once it runs (the desktop tells it once).
TEST(KWinWindows, ItsScriptUnloadedByHandIsLoadedAgainAndSaidSo) {
    TCompositorSession session(TCompositorSession::KWin);
    auto first = session.StartClient("First window");
    auto windows = tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, first->Pid(), front));
    // The program names its script after its connection's unique name.
    std::string script;
    for (std::string connection : TBusForger().OurConnections()) {
        std::replace(connection.begin(), connection.end(), ':', '-');
        std::replace(connection.begin(), connection.end(), '.', '-');
        if (ScriptLoaded("tallywick-windows-" + connection)) {
            script = "tallywick-windows-" + connection;
        }
    }
    ASSERT_FALSE(script.empty());

    tw::TNotice notice;
    EXPECT_FALSE(windows->NextNotice(notice));
    UnloadScript(script);
    ASSERT_FALSE(ScriptLoaded(script));
    auto next = session.StartClient("Second window");
    EXPECT_TRUE(InFront(*windows, next->Pid(), front));
    EXPECT_TRUE(ScriptLoaded(script));
    ASSERT_TRUE(windows->NextNotice(notice));
    EXPECT_EQ(notice.what, tw::TDesktopNotice::SwitchedBackOn);
    EXPECT_FALSE(windows->NextNotice(notice));
}
