// What the X11 backend hears from the system besides windows: work-area changes and Alt
// presses from the X server, suspend and lock from the session manager on the system bus and
// from the screen savers on the session bus (here private buses whose test side plays those
// services), the scheduled shutdown and its refusal, and an X server that goes away. Run by
// scripts/with-x-server.sh.
#ifdef __linux__

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/scope_exit.h"
#include "monitor/scan_engine.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_desktop.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "support/bus_forger.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "support/test_scan_host.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using tw::TDesktopNotice;

// Every notice that arrives within the time, waiting on the backend's descriptor.
std::vector<TDesktopNotice> CollectNotices(tw::TDesktop& desktop, int milliseconds) {
    std::vector<TDesktopNotice> notices;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        tw::TNotice notice;
        while (desktop.NextNotice(notice)) {
            notices.push_back(notice.what);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return notices;
        }
        pollfd waiting{desktop.NoticeDescriptor(), POLLIN, 0};
        poll(&waiting, 1, static_cast<int>(left));
    }
}

// Sets an environment variable for the life of the object.
class TEnvironment {
  public:
    TEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        had_ = std::getenv(name) != nullptr;
        setenv(name, value.c_str(), 1);
    }
    ~TEnvironment() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// A message bus of our own, so that nothing here can reach the machine's session manager.
class TPrivateBus {
  public:
    TPrivateBus() {
        const std::string config = dir_.File("bus.conf");
        address_ = "unix:path=" + dir_.File("bus");
        std::ofstream(config) << "<busconfig><type>custom</type><listen>" << address_
                              << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                 "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                                 "</policy></busconfig>";
        pid_ = fork();
        if (pid_ == 0) {
            execlp("dbus-daemon", "dbus-daemon", "--nofork", ("--config-file=" + config).c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        // The socket's file is there from its bind, before the daemon listens: wait until a
        // connection is taken.
        for (int i = 0; i < 500 && !Listening(dir_.File("bus")); ++i) {
            usleep(10000);
        }
    }
    ~TPrivateBus() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& Address() const { return address_; }

    static bool Listening(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool taken =
            fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0) {
            close(fd);
        }
        return taken;
    }

    // A connection to it, optionally owning a name.
    sd_bus* Connect(const char* name = nullptr) const {
        sd_bus* bus = nullptr;
        sd_bus_new(&bus);
        sd_bus_set_address(bus, address_.c_str());
        sd_bus_set_bus_client(bus, 1);
        if (sd_bus_start(bus) < 0) {
            throw std::runtime_error("the private bus did not start");
        }
        if (name && sd_bus_request_name(bus, name, 0) < 0) {
            throw std::runtime_error("could not own the name on the private bus");
        }
        return bus;
    }

  private:
    twtest::TempDir dir_;
    std::string address_;
    pid_t pid_ = -1;
};

std::string SessionPath(const char* id) {
    char* path = nullptr;
    sd_bus_path_encode("/org/freedesktop/login1/session", id, &path);
    std::string result = path;
    std::free(path);
    return result;
}

class X11Session : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("TALLYWICK_X11_WM"), nullptr)
            << "run these through scripts/with-x-server.sh (ctest -R X11)";
        connection_ = std::make_unique<tw::TX11Connection>("");
        display_ = connection_->Get();
    }

    std::unique_ptr<tw::TX11Connection> connection_;
    Display* display_ = nullptr;
};

// Puts a root property back as it was, so that a work area a test invents does not move the
// windows of the tests after it on the same server.
class TRootPropertyKept {
  public:
    TRootPropertyKept(Display* display, const char* name)
        : display_(display), atom_(XInternAtom(display, name, False)) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, DefaultRootWindow(display_), atom_, 0, 64, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
            type != None && format == 32) {
            type_ = type;
            const auto* values = reinterpret_cast<const long*>(data);
            values_.assign(values, values + count);
        }
        if (data) {
            XFree(data);
        }
    }
    ~TRootPropertyKept() {
        const Window root = DefaultRootWindow(display_);
        if (type_ == None) {
            XDeleteProperty(display_, root, atom_);
        } else {
            XChangeProperty(display_, root, atom_, type_, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(values_.data()),
                            static_cast<int>(values_.size()));
        }
        XSync(display_, False);
    }
    TRootPropertyKept(const TRootPropertyKept&) = delete;
    TRootPropertyKept& operator=(const TRootPropertyKept&) = delete;

  private:
    Display* display_;
    Atom atom_;
    Atom type_ = None;
    std::vector<long> values_;
};

TEST_F(X11Session, WorkAreaChangeAndAltPressesAreNoticed) {
    // A missing system bus only means no session notices.
    TEnvironment noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    tw::TX11Desktop desktop;
    CollectNotices(desktop, 300); // whatever a starting window manager set up

    const TRootPropertyKept keptArea(display_, "_NET_WORKAREA");
    const Window root = DefaultRootWindow(display_);
    const long area[4] = {0, 30, 1280, 770};
    XChangeProperty(display_, root, XInternAtom(display_, "_NET_WORKAREA", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(area), 4);
    XSync(display_, False);
    const auto afterArea = CollectNotices(desktop, 500);
    ASSERT_FALSE(afterArea.empty());
    EXPECT_EQ(afterArea.front(), TDesktopNotice::WorkAreaChange);

    auto press = [&](KeySym key) {
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, 0);
        XTestFakeKeyEvent(display_, code, False, 0);
        XSync(display_, False);
    };
    press(XK_a);
    press(XK_Shift_L);
    EXPECT_TRUE(CollectNotices(desktop, 300).empty());
    press(XK_Alt_L);
    press(XK_Alt_R);
    EXPECT_EQ(CollectNotices(desktop, 500), std::vector<TDesktopNotice>(2, TDesktopNotice::HotKey));
}

// Emits what the desktop's services announce, each from a connection owning its name.
class TAnnouncer {
  public:
    TAnnouncer(const TPrivateBus& bus, const char* name) : bus_(bus.Connect(name)) {}
    ~TAnnouncer() { sd_bus_flush_close_unref(bus_); }
    TAnnouncer(const TAnnouncer&) = delete;
    TAnnouncer& operator=(const TAnnouncer&) = delete;

    void Sleep(bool start) {
        sd_bus_emit_signal(bus_, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                           "PrepareForSleep", "b", start);
        sd_bus_flush(bus_);
    }
    // The session's lock hint changes, with another property beside it as logind sends.
    void LockedHint(const char* session, bool locked) {
        sd_bus_emit_signal(bus_, SessionPath(session).c_str(), "org.freedesktop.DBus.Properties",
                           "PropertiesChanged", "sa{sv}as", "org.freedesktop.login1.Session", 2,
                           "IdleHint", "b", 0, "LockedHint", "b", locked, 0);
        sd_bus_flush(bus_);
    }
    void ActiveChanged(const char* path, const char* interface, bool active) {
        sd_bus_emit_signal(bus_, path, interface, "ActiveChanged", "b", active);
        sd_bus_flush(bus_);
    }

  private:
    sd_bus* bus_;
};

TEST_F(X11Session, SleepAndLocksOfOurOwnSessionFromEverySourceBecomeNotices) {
    TPrivateBus system;
    TPrivateBus session;
    TEnvironment systemAddress("DBUS_SYSTEM_BUS_ADDRESS", system.Address());
    TEnvironment sessionAddress("DBUS_SESSION_BUS_ADDRESS", session.Address());
    TEnvironment sessionId("XDG_SESSION_ID", "c7");
    tw::TX11Desktop desktop;
    EXPECT_EQ(desktop.LockDetectionProblem(), "");
    ASSERT_TRUE(CollectNotices(desktop, 100).empty());

    // Anyone may send a signal, but only the services' own count.
    TAnnouncer impostor(system, nullptr);
    impostor.Sleep(true);
    impostor.LockedHint("c7", true);
    EXPECT_TRUE(CollectNotices(desktop, 300).empty());

    TAnnouncer logind(system, "org.freedesktop.login1");
    logind.Sleep(true);
    logind.LockedHint("c9", true); // somebody else's session
    logind.LockedHint("c7", true);
    logind.LockedHint("c7", false);
    logind.Sleep(false);
    EXPECT_EQ(CollectNotices(desktop, 1000),
              (std::vector<TDesktopNotice>{TDesktopNotice::Suspend, TDesktopNotice::SessionLock,
                                           TDesktopNotice::SessionUnlock, TDesktopNotice::Resume}));

    // A desktop announces one lock from several services, on several paths: the session is
    // locked while any of them says so, and each change is told once. The two buses keep no
    // order between each other, so each step waits for the one before it to arrive.
    TAnnouncer screenSaver(session, "org.freedesktop.ScreenSaver");
    TAnnouncer gnome(session, "org.gnome.ScreenSaver");
    screenSaver.ActiveChanged("/ScreenSaver", "org.freedesktop.ScreenSaver", true);
    screenSaver.ActiveChanged("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", true);
    EXPECT_EQ(CollectNotices(desktop, 1000), (std::vector{TDesktopNotice::SessionLock}));
    logind.LockedHint("c7", true);
    EXPECT_EQ(CollectNotices(desktop, 1000), (std::vector<TDesktopNotice>{}));
    screenSaver.ActiveChanged("/ScreenSaver", "org.freedesktop.ScreenSaver", false);
    screenSaver.ActiveChanged("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", false);
    EXPECT_EQ(CollectNotices(desktop, 1000), (std::vector<TDesktopNotice>{}))
        << "logind still says the session is locked";
    logind.LockedHint("c7", false);
    EXPECT_EQ(CollectNotices(desktop, 1000), (std::vector{TDesktopNotice::SessionUnlock}));
    gnome.ActiveChanged("/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", true);
    gnome.ActiveChanged("/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", false);
    EXPECT_EQ(CollectNotices(desktop, 1000),
              (std::vector{TDesktopNotice::SessionLock, TDesktopNotice::SessionUnlock}));
}

// Anyone on a bus may send a signal straight to the program's connection, where the bus
// checks no sender: each is believed only from the name's owner of the moment, and who owns
// a name only from the bus itself.
TEST_F(X11Session, SignalsSentStraightToTheProgramByAnotherConnectionChangeNothing) {
    TPrivateBus system;
    TPrivateBus session;
    TEnvironment systemAddress("DBUS_SYSTEM_BUS_ADDRESS", system.Address());
    TEnvironment sessionAddress("DBUS_SESSION_BUS_ADDRESS", session.Address());
    TEnvironment sessionId("XDG_SESSION_ID", "c7");
    TAnnouncer logind(system, "org.freedesktop.login1");
    TAnnouncer screenSaver(session, "org.freedesktop.ScreenSaver");
    tw::TX11Desktop desktop;
    ASSERT_TRUE(CollectNotices(desktop, 100).empty());

    twtest::TBusForger systemForger(system.Address());
    twtest::TBusForger sessionForger(session.Address());
    const auto onSystem = systemForger.OurConnections();
    const auto onSession = sessionForger.OurConnections();
    auto forgeAll = [&] {
        systemForger.Signal(onSystem, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                            "PrepareForSleep", "b", 1);
        systemForger.Signal(onSystem, SessionPath("c7").c_str(), "org.freedesktop.DBus.Properties",
                            "PropertiesChanged", "sa{sv}as", "org.freedesktop.login1.Session", 1,
                            "LockedHint", "b", 1, 0);
        for (const char* service : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"}) {
            sessionForger.Signal(onSession, "/ScreenSaver", service, "ActiveChanged", "b", 1);
        }
    };
    forgeAll();
    EXPECT_EQ(CollectNotices(desktop, 500), std::vector<TDesktopNotice>{});

    // The names handed over to the forger, as only the bus may say.
    for (auto [forger, to, name] :
         {std::tuple{&systemForger, &onSystem, "org.freedesktop.login1"},
          std::tuple{&sessionForger, &onSession, "org.freedesktop.ScreenSaver"},
          std::tuple{&sessionForger, &onSession, "org.gnome.ScreenSaver"}}) {
        forger->Signal(*to, "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameOwnerChanged",
                       "sss", name, forger->OwnerOf(name).c_str(), forger->UniqueName().c_str());
    }
    forgeAll();
    EXPECT_EQ(CollectNotices(desktop, 500), std::vector<TDesktopNotice>{});

    // The services themselves are still heard.
    logind.Sleep(true);
    EXPECT_EQ(CollectNotices(desktop, 1000), std::vector{TDesktopNotice::Suspend});
    screenSaver.ActiveChanged("/ScreenSaver", "org.freedesktop.ScreenSaver", true);
    EXPECT_EQ(CollectNotices(desktop, 1000), std::vector{TDesktopNotice::SessionLock});
}

// What the notices do to the count, with the engine on the real backend: a listed window in
// front, a minute locked or asleep by each source, and only the time since the unlock counted.
TEST_F(X11Session, ALockedOrSleepingMinuteIsNeverCounted) {
    TPrivateBus system;
    TPrivateBus session;
    TEnvironment systemAddress("DBUS_SYSTEM_BUS_ADDRESS", system.Address());
    TEnvironment sessionAddress("DBUS_SESSION_BUS_ADDRESS", session.Address());
    TEnvironment sessionId("XDG_SESSION_ID", "c7");
    twtest::TestDataFolder folder(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour);
    tw::TOptions options(folder.Data());
    auto item = std::make_unique<tw::TMonitoredItem>();
    item->Name = std::filesystem::canonical(twtest::ClientPath()).string();
    item->Caption = "Test client";
    item->ItemType = tw::TMonitoredItemType::mitApp;
    options.Edit().MonitoredList.Add("Test client", std::move(item));
    ASSERT_TRUE(options.MonitoredItemsSave());
    tw::TX11Desktop desktop;
    twtest::TTestScanHost host;
    tw::TScanEngine engine(desktop, options, host, host, true);
    twtest::TClient window({"--pid", "--focus"});
    folder.Log().SetDiagnosticsEnabled(true);

    auto scan = [&](double seconds) {
        folder.Clock().Advance(seconds);
        engine.ScanTimer();
    };
    auto rows = [&] {
        return folder.Scalar("actmondb.sqlite", "SELECT COUNT(*) FROM applications");
    };
    auto lastDuration = [&] {
        return folder.Scalar("actmondb.sqlite",
                             "SELECT duration FROM applications ORDER BY rowid DESC LIMIT 1");
    };
    auto hear = [&] {
        for (const TDesktopNotice notice : CollectNotices(desktop, 500)) {
            engine.HandleNotice(notice);
        }
    };
    // The window manager gives the new window the focus in its own time.
    ASSERT_TRUE(twtest::WaitUntil([&] { return desktop.ForegroundWindow() == window.Window(); }));
    scan(3);
    ASSERT_EQ(lastDuration(), "3");

    TAnnouncer logind(system, "org.freedesktop.login1");
    TAnnouncer screenSaver(session, "org.freedesktop.ScreenSaver");
    const std::vector<std::pair<const char*, std::function<void(bool)>>> sources = {
        {"lock hint", [&](bool on) { logind.LockedHint("c7", on); }},
        {"screen saver",
         [&](bool on) {
             screenSaver.ActiveChanged("/ScreenSaver", "org.freedesktop.ScreenSaver", on);
         }},
        {"sleep", [&](bool on) { logind.Sleep(on); }},
    };
    for (const auto& [source, announce] : sources) {
        SCOPED_TRACE(source);
        announce(true);
        hear();
        EXPECT_TRUE(engine.IsPaused());
        const std::string before = rows();
        scan(60); // a minute away: the scan does nothing
        EXPECT_EQ(rows(), before);
        announce(false);
        hear();
        EXPECT_FALSE(engine.IsPaused());
        EXPECT_DOUBLE_EQ(engine.LastScanTime(), folder.ProgramClock().UtcNow());
        scan(3);
        EXPECT_EQ(lastDuration(), "3"); // the minute away is not in it
    }
    // The log, when asked for, tells sleep and wake; logind has no code to add.
    const std::string log = twtest::ReadAll(folder.Log().FilePath());
    EXPECT_NE(log.find("trace: Application suspended.\n"), std::string::npos) << log;
    EXPECT_NE(log.find("trace: Application resumed.\n"), std::string::npos) << log;
}

TEST_F(X11Session, MissingBusesOnlyMeanNoLockNoticesAndSaySo) {
    TEnvironment noSystem("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system");
    TEnvironment noSession("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/session");
    tw::TX11Desktop desktop;
    EXPECT_EQ(desktop.LockDetectionProblem(),
              "logind: no system bus (No such file or directory); screen savers: no session bus "
              "(No such file or directory)");
    EXPECT_TRUE(CollectNotices(desktop, 100).empty());

    TPrivateBus system;
    TEnvironment systemAddress("DBUS_SYSTEM_BUS_ADDRESS", system.Address());
    TEnvironment outside("XDG_SESSION_ID", "");
    tw::TX11Desktop outsideAnySession;
    EXPECT_EQ(outsideAnySession.LockDetectionProblem().rfind(
                  "logind: this program runs outside any session", 0),
              0u)
        << outsideAnySession.LockDetectionProblem();
}

// The manager of a private bus: it schedules nothing, it only remembers what it was asked,
// and refuses when told to.
struct TStandInManager {
    std::string method;
    std::string type;
    std::uint64_t when = 0;
    bool refuse = false;

    static int OnCall(sd_bus_message* message, void* self, sd_bus_error*) {
        auto* manager = static_cast<TStandInManager*>(self);
        manager->method = sd_bus_message_get_member(message);
        const char* type = "";
        sd_bus_message_read(message, "st", &type, &manager->when);
        manager->type = type;
        if (manager->refuse) {
            return sd_bus_reply_method_errorf(message, SD_BUS_ERROR_ACCESS_DENIED,
                                              "Access denied to %s", type);
        }
        return sd_bus_reply_method_return(message, "");
    }
};

std::uint64_t NowMicroseconds() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
}

TEST_F(X11Session, ShutdownIsScheduledAMinuteAheadAndRefusalsCarryTheBusText) {
    tw::TX11Desktop desktop;
    {
        TEnvironment noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        try {
            desktop.ShutdownComputer(tw::TShutdownKind::PowerOff, 60);
            FAIL() << "no exception";
        } catch (const tw::Exception& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Unable to reach the system bus: No such file or directory");
        }
    }

    TPrivateBus bus;
    TEnvironment address("DBUS_SYSTEM_BUS_ADDRESS", bus.Address());
    try {
        desktop.ShutdownComputer(tw::TShutdownKind::PowerOff,
                                 60); // nobody owns the manager's name yet
        FAIL() << "no exception";
    } catch (const tw::Exception& e) {
        EXPECT_NE(std::string(e.what()).find("org.freedesktop.login1"), std::string::npos)
            << e.what();
    }

    TStandInManager standIn;
    sd_bus* manager = bus.Connect("org.freedesktop.login1");
    sd_bus_add_object(manager, nullptr, "/org/freedesktop/login1", &TStandInManager::OnCall,
                      &standIn);
    std::atomic<bool> stop{false};
    std::thread serve([&] {
        while (!stop) {
            if (sd_bus_process(manager, nullptr) == 0) {
                sd_bus_wait(manager, 50000);
            }
        }
    });
    const std::uint64_t before = NowMicroseconds();
    desktop.ShutdownComputer(tw::TShutdownKind::PowerOff, 60);
    const std::uint64_t after = NowMicroseconds();
    EXPECT_EQ(standIn.method, "ScheduleShutdown");
    EXPECT_EQ(standIn.type, "poweroff");
    EXPECT_GE(standIn.when, before + 60000000u);
    EXPECT_LE(standIn.when, after + 60000000u);

    standIn.refuse = true;
    for (const auto& [kind, type] : {std::pair{tw::TShutdownKind::PowerOff, "poweroff"},
                                     std::pair{tw::TShutdownKind::Restart, "reboot"}}) {
        try {
            desktop.ShutdownComputer(kind, 60);
            ADD_FAILURE() << "no exception for " << type;
        } catch (const tw::Exception& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Access denied to ") + type);
        }
        EXPECT_EQ(standIn.type, type);
    }
    stop = true;
    serve.join();
    sd_bus_flush_close_unref(manager);
}

TEST_F(X11Session, ServerThatGoesAwayTurnsIntoExceptionsNotAnExit) {
    int number[2];
    ASSERT_EQ(pipe(number), 0);
    const pid_t server = fork();
    if (server == 0) {
        close(number[0]);
        const std::string fd = std::to_string(number[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(number[1]);
    std::string display;
    char c = 0;
    pollfd waiting{number[0], POLLIN, 0};
    while (poll(&waiting, 1, 10000) > 0 && read(number[0], &c, 1) == 1 && c != '\n') {
        display += c;
    }
    close(number[0]);
    ASSERT_FALSE(display.empty()) << "the second X server did not start";

    TEnvironment noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    auto desktop = std::make_unique<tw::TX11Desktop>(":" + display);
    EXPECT_EQ(desktop->ForegroundWindow(), 0u);
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);

    EXPECT_THROW(
        {
            try {
                desktop->ForegroundWindow();
            } catch (const tw::Exception& e) {
                EXPECT_STREQ(e.what(), "X display connection lost");
                throw;
            }
        },
        tw::Exception);
    EXPECT_THROW(desktop->EnumTopLevelWindows([](tw::TWindowHandle) { return true; }),
                 tw::Exception);
    EXPECT_THROW(desktop->ClassName(1), tw::Exception);
    tw::TNotice notice;
    EXPECT_THROW(desktop->NextNotice(notice), tw::Exception);
    desktop.reset(); // closing a broken connection must not end the process either
}

TEST_F(X11Session, NoReachableDisplayIsExplained) {
    {
        TEnvironment unreachable("DISPLAY", ":4999");
        try {
            tw::CreateDesktop();
            FAIL() << "no exception";
        } catch (const tw::Exception& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Unable to open the X display \":4999\": no X server is reachable there");
        }
    }
    const std::string saved = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_THROW(
        {
            try {
                tw::CreateDesktop();
            } catch (const tw::Exception& e) {
                EXPECT_STREQ(e.what(), "Unable to open an X display: DISPLAY is not set");
                setenv("DISPLAY", saved.c_str(), 1);
                throw;
            }
        },
        tw::Exception);
    setenv("DISPLAY", saved.c_str(), 1);
}

// A Wayland compositor the program cannot ask still runs its X11 programs through Xwayland:
// those are counted, and the person is told that the others are not. A sway that cannot be
// reached is passed over the same way, with its reason.
TEST_F(X11Session, AWaylandDesktopWithoutACompositorToAskIsSeenThroughXwaylandAndSaysSo) {
    TEnvironment wayland("XDG_SESSION_TYPE", "wayland");
    TEnvironment name("XDG_CURRENT_DESKTOP", "Hyprland");
    TEnvironment noSway("SWAYSOCK", "");
    auto desktop = tw::CreateDesktop();
    EXPECT_STREQ(desktop->Name(), "x11");
    EXPECT_EQ(desktop->WindowsProblem(),
              "This Wayland desktop (Hyprland) does not tell Tallywick which window is in front: "
              "only programs running through Xwayland are seen");

    TEnvironment goneSway("SWAYSOCK", "/nonexistent/sway-ipc.sock");
    desktop = tw::CreateDesktop();
    EXPECT_STREQ(desktop->Name(), "x11");
    EXPECT_EQ(desktop->WindowsProblem(),
              "Unable to reach sway at \"/nonexistent/sway-ipc.sock\": No such file or directory: "
              "only programs running through Xwayland are seen");
}

} // namespace

#endif // __linux__
