// What the X11 backend hears from the system besides windows: work-area changes and Alt
// presses from the X server, suspend and lock from the session manager on the system bus
// (here a private bus whose test side plays the manager), the shutdown request and its
// refusal, and an X server that goes away. Run by scripts/with-x-server.sh.
#ifdef __linux__

#include <gtest/gtest.h>

#include "base/exception.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_desktop.h"
#include "support/temp_dir.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using tw::TDesktopNotice;

// Every notice that arrives within the time, waiting on the backend's descriptor.
std::vector<TDesktopNotice> CollectNotices(tw::TDesktop& desktop, int milliseconds) {
    std::vector<TDesktopNotice> notices;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        TDesktopNotice notice;
        while (desktop.NextNotice(notice))
            notices.push_back(notice);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return notices;
        pollfd waiting{desktop.NoticeDescriptor(), POLLIN, 0};
        poll(&waiting, 1, static_cast<int>(left));
    }
}

// Sets an environment variable for the life of the object.
class TEnvironment {
  public:
    TEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        had_ = std::getenv(name) != nullptr;
        setenv(name, value.c_str(), 1);
    }
    ~TEnvironment() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
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
        for (int i = 0; i < 500 && access(dir_.File("bus").c_str(), F_OK) != 0; ++i)
            usleep(10000);
    }
    ~TPrivateBus() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& Address() const { return address_; }

    // A connection to it, optionally owning a name.
    sd_bus* Connect(const char* name = nullptr) const {
        sd_bus* bus = nullptr;
        sd_bus_new(&bus);
        sd_bus_set_address(bus, address_.c_str());
        sd_bus_set_bus_client(bus, 1);
        if (sd_bus_start(bus) < 0)
            throw std::runtime_error("the private bus did not start");
        if (name && sd_bus_request_name(bus, name, 0) < 0)
            throw std::runtime_error("could not own the name on the private bus");
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

TEST_F(X11Session, WorkAreaChangeAndAltPressesAreNoticed) {
    // A missing system bus only means no session notices.
    TEnvironment noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    tw::TX11Desktop desktop;
    CollectNotices(desktop, 300); // whatever a starting window manager set up

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

TEST_F(X11Session, SessionManagerSignalsOfOurOwnSessionBecomeNotices) {
    TPrivateBus bus;
    TEnvironment address("DBUS_SYSTEM_BUS_ADDRESS", bus.Address());
    TEnvironment session("XDG_SESSION_ID", "c7");
    tw::TX11Desktop desktop;
    ASSERT_TRUE(CollectNotices(desktop, 100).empty());

    // Anyone may send a signal, but only the manager's count.
    sd_bus* impostor = bus.Connect();
    sd_bus_emit_signal(impostor, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                       "PrepareForSleep", "b", 1);
    sd_bus_flush(impostor);
    EXPECT_TRUE(CollectNotices(desktop, 300).empty());

    sd_bus* manager = bus.Connect("org.freedesktop.login1");
    auto emit = [&](const std::string& path, const char* interface, const char* member,
                    int sleeping = -1) {
        if (sleeping < 0)
            sd_bus_emit_signal(manager, path.c_str(), interface, member, "");
        else
            sd_bus_emit_signal(manager, path.c_str(), interface, member, "b", sleeping);
    };
    const char* managerInterface = "org.freedesktop.login1.Manager";
    const char* sessionInterface = "org.freedesktop.login1.Session";
    emit("/org/freedesktop/login1", managerInterface, "PrepareForSleep", 1);
    emit(SessionPath("c9"), sessionInterface, "Lock"); // somebody else's session
    emit(SessionPath("c7"), sessionInterface, "Lock");
    emit(SessionPath("c7"), sessionInterface, "Unlock");
    emit("/org/freedesktop/login1", managerInterface, "PrepareForSleep", 0);
    sd_bus_flush(manager);
    EXPECT_EQ(CollectNotices(desktop, 1000),
              (std::vector<TDesktopNotice>{TDesktopNotice::Suspend, TDesktopNotice::SessionLock,
                                           TDesktopNotice::SessionUnlock, TDesktopNotice::Resume}));
    sd_bus_flush_close_unref(manager);
    sd_bus_flush_close_unref(impostor);
}

// The manager of a private bus that refuses every power request and remembers it.
struct TRefusingManager {
    std::string method;
    int interactive = -1;

    static int OnCall(sd_bus_message* message, void* self, sd_bus_error*) {
        auto* manager = static_cast<TRefusingManager*>(self);
        manager->method = sd_bus_message_get_member(message);
        sd_bus_message_read(message, "b", &manager->interactive);
        return sd_bus_reply_method_errorf(message, SD_BUS_ERROR_ACCESS_DENIED,
                                          "Access denied to %s", manager->method.c_str());
    }
};

TEST_F(X11Session, ShutdownRefusalsCarryTheBusText) {
    tw::TX11Desktop desktop;
    {
        TEnvironment noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        try {
            desktop.ShutdownComputer(1, 60);
            FAIL() << "no exception";
        } catch (const tw::Exception& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Unable to reach the system bus: No such file or directory");
        }
    }

    TPrivateBus bus;
    TEnvironment address("DBUS_SYSTEM_BUS_ADDRESS", bus.Address());
    try {
        desktop.ShutdownComputer(1, 60); // nobody owns the manager's name yet
        FAIL() << "no exception";
    } catch (const tw::Exception& e) {
        EXPECT_NE(std::string(e.what()).find("org.freedesktop.login1"), std::string::npos)
            << e.what();
    }

    TRefusingManager refusing;
    sd_bus* manager = bus.Connect("org.freedesktop.login1");
    sd_bus_add_object(manager, nullptr, "/org/freedesktop/login1", &TRefusingManager::OnCall,
                      &refusing);
    std::atomic<bool> stop{false};
    std::thread serve([&] {
        while (!stop)
            if (sd_bus_process(manager, nullptr) == 0)
                sd_bus_wait(manager, 50000);
    });
    for (const auto& [mode, method] : {std::pair{1, "PowerOff"}, std::pair{0, "Reboot"}}) {
        try {
            desktop.ShutdownComputer(mode, 60);
            ADD_FAILURE() << "no exception for mode " << mode;
        } catch (const tw::Exception& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Access denied to ") + method);
        }
        EXPECT_EQ(refusing.method, method);
        EXPECT_EQ(refusing.interactive, 0);
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
    while (poll(&waiting, 1, 10000) > 0 && read(number[0], &c, 1) == 1 && c != '\n')
        display += c;
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
    TDesktopNotice notice;
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

} // namespace

#endif // __linux__
