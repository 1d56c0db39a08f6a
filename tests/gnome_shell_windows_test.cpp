// GNOME Shell's windows as our extension inside it answers for them, on a real GNOME Shell
// started headless with real Wayland clients in front.
#include "compositor_windows_checks.h"
#include "platform/linux/bus_connection.h"
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/gnome_extension.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

using namespace twtest;

namespace {

struct TRun {
    std::optional<int> exitCode;
    std::string errors;
};

// Another program of the session, as any could run it.
TRun RunInSession(const TCompositorSession& session, const std::string& program,
                  const std::vector<std::string>& arguments) {
    TempDir output;
    TChildOptions options = session.Environment();
    options.stdoutFile = output.File("out");
    options.stderrFile = output.File("err");
    TClient run(arguments, false, program, options);
    TRun result;
    result.exitCode = run.ExitCodeWithin(10000);
    result.errors = ReadAll(options.stderrFile);
    return result;
}

TRun CallExtension(const TCompositorSession& session, const std::vector<std::string>& call) {
    std::vector<std::string> arguments = {"call",          "--session",
                                          "--dest",        "org.gnome.Shell",
                                          "--object-path", "/app/tallywick/Windows",
                                          "--method"};
    arguments.insert(arguments.end(), call.begin(), call.end());
    return RunInSession(session, "/usr/bin/gdbus", arguments);
}

bool ExtensionOff() {
    tw::TBusConnection bus(tw::TBusConnection::TBus::Session);
    return tw::GnomeExtensionTurnedOff(bus.Get());
}

} // namespace

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
    std::set<std::string> titles;
    windows->EachWindow([&](const tw::TCompositorWindow& window) {
        titles.insert(window.title);
        return true;
    });
    EXPECT_EQ(titles, std::set<std::string>{""}) << "titles were told behind the lock screen";
}

TEST(GnomeShellWindows, RefusesEveryOtherProgramWhileThisOneIsAnswered) {
    TCompositorSession session(TCompositorSession::GnomeShell);
    auto windows = tw::ConnectGnomeShell();
    auto client = session.StartClient("Private window");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, client->Pid(), front));

    const std::string id = std::to_string(front.window);
    for (const auto& call :
         std::vector<std::vector<std::string>>{{"app.tallywick.Windows.Get"},
                                               {"app.tallywick.Windows.List"},
                                               {"app.tallywick.Windows.Close", id}}) {
        const TRun run = CallExtension(session, call);
        EXPECT_NE(run.exitCode, std::optional<int>(0)) << call[0] << " answered gdbus";
        EXPECT_NE(run.errors.find("org.freedesktop.DBus.Error.AccessDenied"), std::string::npos)
            << call[0] << ": " << run.errors;
    }
    EXPECT_FALSE(client->ExitCodeWithin(500).has_value()) << "gdbus closed the window";
    EXPECT_EQ(windows->Focused().pid, client->Pid()) << windows->Problem();
    EXPECT_EQ(WindowPids(*windows), std::set<int>{client->Pid()});
}

TEST(GnomeShellWindows, TurnsItsExtensionOnAgainAndSaysSoOnceOffWhenItEnds) {
    TCompositorSession session(TCompositorSession::GnomeShell);
    auto windows = tw::ConnectGnomeShell();
    auto client = session.StartClient("Counted window");
    tw::TCompositorWindow front;
    ASSERT_TRUE(InFront(*windows, client->Pid(), front));
    tw::TNotice notice;
    EXPECT_FALSE(windows->NextNotice(notice));

    for (int time = 0; time < 2; ++time) {
        const TRun off =
            RunInSession(session, "/usr/bin/gnome-extensions", {"disable", tw::GnomeExtensionUuid});
        ASSERT_EQ(off.exitCode, std::optional<int>(0)) << off.errors;
        ASSERT_TRUE(WaitUntil(ExtensionOff)) << "the extension was not turned off by hand";
        // Within a scan or two, the window in front is seen again.
        int pid = 0;
        for (int scan = 0; scan < 2 && pid != client->Pid(); ++scan) {
            pid = windows->Focused().pid;
        }
        EXPECT_EQ(pid, client->Pid()) << windows->Problem();
        EXPECT_FALSE(ExtensionOff());
        EXPECT_EQ(windows->NextNotice(notice), time == 0) << "told once, not each time";
        if (time == 0) {
            EXPECT_EQ(notice.what, tw::TDesktopNotice::SwitchedBackOn);
            EXPECT_NE(notice.detail.find("turned it on again"), std::string::npos) << notice.detail;
        }
        EXPECT_FALSE(windows->NextNotice(notice));
    }

    windows.reset();
    EXPECT_TRUE(WaitUntil(ExtensionOff)) << "the extension stays on after the program ended";
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
