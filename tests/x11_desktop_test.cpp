// The X11 backend against a real X server started by scripts/with-x-server.sh, once with a
// window manager and once without (TALLYWICK_X11_WM says which). Every window probed here
// belongs to another process: our own small client or a stock X program.
#ifdef __linux__

#include <gtest/gtest.h>

#include "base/exception.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_desktop.h"
#include "support/child_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using tw::TWindowHandle;
using twtest::ClientPath;
using twtest::OwnFolder;
using twtest::TClient;
using twtest::WaitUntil;

class X11Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* manager = std::getenv("TALLYWICK_X11_WM");
        ASSERT_NE(manager, nullptr) << "run these through scripts/with-x-server.sh (ctest -R X11)";
        withManager_ = std::string(manager) != "none";
        // The tests' own connection swallows errors too: they look at vanished windows.
        connection_ = std::make_unique<tw::TX11Connection>("");
        display_ = connection_->Get();
        desktop_ = std::make_unique<tw::TX11Desktop>();
        // The manager starts beside the tests; give it time to take over the screen.
        const bool running =
            WaitUntil([&] { return desktop_->WindowManagerRunning(); }, withManager_ ? 10000 : 0);
        ASSERT_EQ(running, withManager_);
    }
    // Without a manager nobody moves the focus; a user would have clicked.
    void Focus(TWindowHandle window) {
        if (!withManager_) {
            XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
            XSync(display_, False);
        }
    }
    bool IsForeground(TWindowHandle window) {
        return WaitUntil([&] { return desktop_->ForegroundWindow() == window; });
    }
    std::vector<TWindowHandle> TopLevels() {
        std::vector<TWindowHandle> windows;
        desktop_->EnumTopLevelWindows([&](TWindowHandle w) {
            windows.push_back(w);
            return true;
        });
        return windows;
    }
    bool Listed(TWindowHandle window) {
        const auto windows = TopLevels();
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    }
    bool HasProperty(TWindowHandle window, const char* name) {
        int count = 0;
        Atom* properties = XListProperties(display_, window, &count);
        const Atom wanted = XInternAtom(display_, name, False);
        bool found = false;
        for (int i = 0; i < count; ++i) {
            found = found || properties[i] == wanted;
        }
        if (properties) {
            XFree(properties);
        }
        return found;
    }

    bool withManager_ = false;
    std::unique_ptr<tw::TX11Connection> connection_;
    Display* display_ = nullptr;
    std::unique_ptr<tw::TX11Desktop> desktop_;
};

TEST_F(X11Desktop, ForegroundClientIsNamedByItsExecutableClassAndText) {
    TClient client({"--pid", "--focus", "--net-name", "Tägliche Liste"});
    Focus(client.Window());
    ASSERT_TRUE(IsForeground(client.Window()));
    EXPECT_EQ(desktop_->ExecutablePath(client.Window()), ClientPath());
    EXPECT_EQ(desktop_->ClassName(client.Window()), "TallywickTestClient");
    EXPECT_EQ(desktop_->WindowText(client.Window()), "Tägliche Liste");
    const tw::TWindowFacts facts = desktop_->WhatIsInFront();
    EXPECT_EQ(facts.window, client.Window());
    EXPECT_EQ(facts.executablePath, ClientPath());
    EXPECT_EQ(facts.browser, tw::TBrowserKind::Desktop);
    EXPECT_EQ(facts.address, "");
    EXPECT_EQ(facts.addressProblem, tw::TAddressProblem::NoProblem);
}

TEST_F(X11Desktop, WindowTextFallsBackToLatin1NameAndCutsWholeCharacters) {
    TClient legacy({"--name", "caf\xe9"});
    EXPECT_EQ(desktop_->WindowText(legacy.Window()), "café");

    std::string longName;
    for (int i = 0; i < 600; ++i) {
        longName += "é"; // two bytes each: 1023 would end inside a character
    }
    TClient verbose({"--net-name", longName});
    const std::string text = desktop_->WindowText(verbose.Window());
    EXPECT_EQ(text.size(), 1022u);
    EXPECT_EQ(text, longName.substr(0, 1022));
}

TEST_F(X11Desktop, ProcessWithoutPidPropertyIsFoundThroughTheServer) {
    TClient client({});
    ASSERT_FALSE(HasProperty(client.Window(), "_NET_WM_PID"));
    EXPECT_EQ(desktop_->ExecutablePath(client.Window()), ClientPath());
}

TEST_F(X11Desktop, PidClaimedForAnotherMachineIsNotTrusted) {
    // Our own pid, as a remote program on another machine might happen to have it.
    TClient client({"--fake-pid", std::to_string(getpid()), "--machine", "elsewhere.invalid"});
    EXPECT_EQ(desktop_->ExecutablePath(client.Window()), ClientPath());
}

TEST_F(X11Desktop, ThePidPropertyCannotNameAnotherProcess) {
    // What any client can write on a window of a listed program, to have this test's process
    // counted (and closed) instead.
    TClient client({"--fake-pid", std::to_string(getpid())});
    EXPECT_EQ(desktop_->ExecutablePath(client.Window()), ClientPath());
    // Nor the system's first process, whose executable a user cannot read: the window's
    // program would go uncounted.
    TClient hidden({"--fake-pid", "1"});
    EXPECT_EQ(desktop_->ExecutablePath(hidden.Window()), ClientPath());
}

TEST_F(X11Desktop, StockProgramIsRecognisedAndClosedPolitely) {
    TClient xlogo({"-geometry", "120x120+400+300"}, false, "/usr/bin/xlogo");
    TWindowHandle window = 0;
    ASSERT_TRUE(WaitUntil([&] {
        for (const TWindowHandle w : TopLevels()) {
            if (desktop_->ClassName(w) == "XLogo") {
                window = w;
            }
        }
        return window != 0;
    }));
    Focus(window);
    ASSERT_TRUE(IsForeground(window));
    EXPECT_EQ(desktop_->ExecutablePath(window), "/usr/bin/xlogo");
    desktop_->PostCloseRequest(window);
    EXPECT_TRUE(xlogo.ExitsCleanlyWithin(5000));
}

TEST_F(X11Desktop, TopLevelEnumerationListsEveryClientAndStopsWhenAsked) {
    TClient first({"--children"});
    TClient second({});
    ASSERT_TRUE(WaitUntil([&] { return Listed(first.Window()) && Listed(second.Window()); }));
    // Neither frames nor the clients' inner windows count as top-level windows.
    for (const TWindowHandle child : first.Children()) {
        EXPECT_FALSE(Listed(child));
    }
    for (const TWindowHandle window : TopLevels()) {
        EXPECT_FALSE(desktop_->ClassName(window).empty());
    }

    int visited = 0;
    desktop_->EnumTopLevelWindows([&](TWindowHandle) { return ++visited < 1; });
    EXPECT_EQ(visited, 1);
}

TEST_F(X11Desktop, EveryTopLevelWindowIsDescribedAndTheDescriptionStopsWhenAsked) {
    TClient client({"--children"});
    ASSERT_TRUE(WaitUntil([&] { return Listed(client.Window()); }));
    std::vector<tw::TWindowFacts> described;
    desktop_->DescribeTopLevelWindows([&](const tw::TWindowFacts& facts) {
        described.push_back(facts);
        return true;
    });
    EXPECT_EQ(described.size(), TopLevels().size());
    const auto ours = std::find_if(described.begin(), described.end(),
                                   [&](const auto& f) { return f.window == client.Window(); });
    ASSERT_NE(ours, described.end());
    EXPECT_EQ(ours->executablePath, ClientPath());
    EXPECT_EQ(ours->browser, tw::TBrowserKind::Desktop);
    // Its inner windows are no windows of their own.
    for (const TWindowHandle child : client.Children()) {
        EXPECT_TRUE(std::none_of(described.begin(), described.end(),
                                 [&](const auto& f) { return f.window == child; }));
    }

    int visited = 0;
    desktop_->DescribeTopLevelWindows([&](const tw::TWindowFacts&) { return ++visited < 1; });
    EXPECT_EQ(visited, 1);
}

TEST_F(X11Desktop, CloseRequestReachesOnlyWindowsThatAcceptIt) {
    TClient polite({"--delete"});
    TClient unlisted({});
    desktop_->PostCloseRequest(unlisted.Window());
    desktop_->PostCloseRequest(polite.Window());
    EXPECT_TRUE(polite.ExitsCleanlyWithin(5000));
    // The polite one is gone, so any request to the other one has been handled by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(unlisted.Running());
    EXPECT_TRUE(Listed(unlisted.Window()));
}

TEST_F(X11Desktop, WindowThatVanishedAnswersNothing) {
    TClient client({"--pid", "--children", "--net-name", "gone soon"});
    const TWindowHandle window = client.Window();
    client.Kill();
    // The server destroys a client's windows when its connection closes.
    ASSERT_TRUE(WaitUntil([&] {
        XWindowAttributes attributes;
        XSync(display_, False);
        return !Listed(window) && XGetWindowAttributes(display_, window, &attributes) == 0;
    }));
    EXPECT_EQ(desktop_->ClassName(window), "");
    EXPECT_EQ(desktop_->WindowText(window), "");
    EXPECT_EQ(desktop_->ExecutablePath(window), "Error: No such process");
    desktop_->PostCloseRequest(window);
    // The connection survived all of it.
    TClient next({"--pid"});
    EXPECT_EQ(desktop_->ExecutablePath(next.Window()), ClientPath());
}

TEST_F(X11Desktop, ForegroundFollowsTheWindowTheUserPicks) {
    TClient first({});
    TClient second({});
    if (withManager_) {
        // What a task bar does when the user clicks the first window's button.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = first.Window();
        event.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;
        XSendEvent(display_, DefaultRootWindow(display_), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XSync(display_, False);
        EXPECT_TRUE(IsForeground(first.Window()));
        return;
    }
    Focus(second.Window());
    EXPECT_TRUE(IsForeground(second.Window()));
    // Focus following the pointer: the window under it is in front, the bare root is not.
    XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, 150, 150);
    XSync(display_, False);
    EXPECT_TRUE(IsForeground(second.Window())); // the higher of the two overlapping ones
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, 1000, 700);
    XSync(display_, False);
    EXPECT_TRUE(IsForeground(0));
}

TEST_F(X11Desktop, ManagerHintLeftByADeadManagerIsIgnored) {
    if (withManager_) {
        return; // a live manager owns the hint; this case is about its leftovers
    }
    const Window root = DefaultRootWindow(display_);
    const Window stale = XCreateSimpleWindow(display_, root, 0, 0, 1, 1, 0, 0, 0);
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    XChangeProperty(display_, root, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&stale), 1);
    XDestroyWindow(display_, stale);
    XSync(display_, False);
    EXPECT_FALSE(desktop_->WindowManagerRunning());
    TClient client({});
    EXPECT_TRUE(Listed(client.Window()));
    XDeleteProperty(display_, root, check);
    XSync(display_, False);
}

} // namespace

#endif // __linux__
