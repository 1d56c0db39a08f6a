#include "support/compositor_session.h"

#include "support/file_text.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace twtest {
namespace {

// The compositors and their helpers start slowly on a loaded machine.
constexpr int StartMilliseconds = 30000;

sd_bus* OpenBus(const std::string& address) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) {
        throw std::runtime_error("sd_bus_new failed");
    }
    sd_bus_set_address(bus, address.c_str());
    sd_bus_set_bus_client(bus, 1);
    if (sd_bus_start(bus) < 0) {
        sd_bus_unref(bus);
        throw std::runtime_error("cannot reach the bus at " + address);
    }
    return bus;
}

bool HasOwner(const std::string& address, const char* name) {
    sd_bus* bus = OpenBus(address);
    sd_bus_message* reply = nullptr;
    const bool owned =
        sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", nullptr, &reply, "s", name) >= 0;
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return owned;
}

int OnRegisterSession(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "");
}

const sd_bus_vtable DisplayManagerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY(
        "Version", "s",
        [](sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
           sd_bus_error*) { return sd_bus_message_append(reply, "s", "43.0"); },
        0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_METHOD("RegisterSession", "a{sv}", "", OnRegisterSession, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END};

} // namespace

TDisplayManagerStandIn::TDisplayManagerStandIn(const std::string& systemBusAddress) {
    sd_bus* bus = OpenBus(systemBusAddress);
    if (sd_bus_add_object_vtable(bus, nullptr, "/org/gnome/DisplayManager/Manager",
                                 "org.gnome.DisplayManager.Manager", DisplayManagerVtable,
                                 nullptr) < 0 ||
        sd_bus_request_name(bus, "org.gnome.DisplayManager", 0) < 0) {
        sd_bus_flush_close_unref(bus);
        throw std::runtime_error("the display manager's stand-in could not take its name");
    }
    thread_ = std::thread([this, bus] {
        while (!stop_) {
            if (sd_bus_process(bus, nullptr) == 0) {
                sd_bus_wait(bus, 100000);
            }
        }
        sd_bus_flush_close_unref(bus);
    });
}

TDisplayManagerStandIn::~TDisplayManagerStandIn() {
    stop_ = true;
    thread_.join();
}

TCompositorSession::TCompositorSession(TKind kind, const TOptions& options) : kind_(kind) {
    std::filesystem::create_directories(home_.Path() / "run");
    chmod(home_.File("run").c_str(), 0700);
    display_ = kind == KWin ? "wayland-kwin-test" : "wayland-gnome-test";
    Export("HOME", home_.File("home"));
    Export("XDG_RUNTIME_DIR", home_.File("run"));
    Export("XDG_DATA_HOME", home_.File("home/data"));
    Export("XDG_CONFIG_HOME", home_.File("home/config"));
    Export("XDG_CACHE_HOME", home_.File("home/cache"));
    Export("XDG_SESSION_TYPE", "wayland");
    Export("XDG_CURRENT_DESKTOP", kind == KWin ? "KDE" : "GNOME");
    Export("WAYLAND_DISPLAY", display_);
    unset_ = {"DISPLAY", "SWAYSOCK"};
    for (const std::string& name : unset_) {
        if (const char* old = std::getenv(name.c_str())) {
            saved_.emplace_back(name, old);
            unsetenv(name.c_str());
        }
    }
    // The settings service (dconf) starts on the bus and writes under XDG_CONFIG_HOME.
    session_ = std::make_unique<TPrivateBus>();
    Export("DBUS_SESSION_BUS_ADDRESS", session_->Address());
    // Never the machine's own system bus: its session manager can end sessions.
    system_ = std::make_unique<TPrivateBus>();
    Export("DBUS_SYSTEM_BUS_ADDRESS", system_->Address());
    if (kind == GnomeShell) {
        // The shell offers no lock without a display manager.
        displayManager_ = std::make_unique<TDisplayManagerStandIn>(system_->Address());
    }
    for (const std::string& setting : options.settings) {
        const auto first = setting.find(' ');
        const auto second = setting.find(' ', first + 1);
        TClient gsettings({"set", setting.substr(0, first),
                           setting.substr(first + 1, second - first - 1),
                           setting.substr(second + 1)},
                          false, "/usr/bin/gsettings", Environment());
        if (gsettings.ExitCodeWithin(10000) != 0) {
            throw std::runtime_error("gsettings set " + setting + " failed");
        }
    }
    if (options.installExtension) {
        const std::string extension = "gnome-shell/extensions/windows@tallywick.app";
        std::filesystem::create_directories(home_.Path() / "home/data" / extension);
        std::filesystem::copy(std::string(TALLYWICK_TEMPLATE_DIR) + "/" + extension,
                              home_.Path() / "home/data" / extension,
                              std::filesystem::copy_options::recursive);
    }
    const auto started = std::chrono::steady_clock::now();
    kind == KWin ? StartKWin() : StartGnomeShell();
    startSeconds_ =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

TCompositorSession::~TCompositorSession() {
    compositor_.reset();
    displayManager_.reset();
    system_.reset();
    session_.reset();
    for (const auto& [name, value] : saved_) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    for (const auto& [name, value] : environment_) {
        if (std::none_of(saved_.begin(), saved_.end(),
                         [&](const auto& saved) { return saved.first == name; })) {
            unsetenv(name.c_str());
        }
    }
}

void TCompositorSession::Export(const char* name, const std::string& value) {
    if (const char* old = std::getenv(name)) {
        saved_.emplace_back(name, old);
    }
    setenv(name, value.c_str(), 1);
    environment_.emplace_back(name, value);
}

TChildOptions TCompositorSession::Environment() const {
    TChildOptions options;
    options.environment = environment_;
    return options;
}

void TCompositorSession::StartKWin() {
    // The installed binary carries a file capability that a container may refuse to grant; a
    // copy has none.
    const std::string kwin = home_.File("kwin_wayland");
    std::filesystem::copy_file("/usr/bin/kwin_wayland", kwin,
                               std::filesystem::copy_options::skip_existing);
    TChildOptions options = Environment();
    options.environment.emplace_back("KWIN_FORCE_OWN_QPA", "1");
    options.stderrFile = home_.File("compositor.log");
    options.ownProcessGroup = true;
    compositor_ =
        std::make_unique<TClient>(std::vector<std::string>{"--virtual", "--width", "1280",
                                                           "--height", "800", "--socket", display_},
                                  false, kwin, options);
    if (!WaitUntil(
            [&] {
                return std::filesystem::exists(home_.Path() / "run" / display_) &&
                       HasOwner(session_->Address(), "org.kde.KWin");
            },
            StartMilliseconds)) {
        throw std::runtime_error("KWin did not start: " + ReadAll(options.stderrFile));
    }
}

void TCompositorSession::StartGnomeShell() {
    TChildOptions options = Environment();
    options.stderrFile = home_.File("compositor.log");
    options.ownProcessGroup = true;
    compositor_ = std::make_unique<TClient>(
        std::vector<std::string>{"--headless", "--wayland", "--no-x11", "--wayland-display",
                                 display_, "--virtual-monitor", "1280x800"},
        false, "/usr/bin/gnome-shell", options);
    if (!WaitUntil(
            [&] {
                return ReadAll(options.stderrFile).find("GNOME Shell started") != std::string::npos;
            },
            StartMilliseconds)) {
        throw std::runtime_error("GNOME Shell did not start: " + ReadAll(options.stderrFile));
    }
    // The shell starts in the overview, where no window has the focus.
    sd_bus* bus = OpenBus(session_->Address());
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int set = sd_bus_set_property(bus, "org.gnome.Shell", "/org/gnome/Shell",
                                        "org.gnome.Shell", "OverviewActive", &error, "b", 0);
    const std::string reason = error.message ? error.message : "";
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    if (set < 0) {
        throw std::runtime_error("the overview could not be left: " + reason);
    }
}

std::unique_ptr<TClient> TCompositorSession::StartClient(const std::string& title) {
    TChildOptions options = Environment();
    options.environment.emplace_back("QT_QPA_PLATFORM", "wayland");
    // Qt's Wayland platform leaves memory for the system to free at the end: its exit code
    // must tell how the client ended, not that.
    options.environment.emplace_back("ASAN_OPTIONS", "detect_leaks=0");
    options.stdoutFile = home_.File("client-" + title + ".out");
    options.stderrFile = home_.File("client-" + title + ".err");
    auto client = std::make_unique<TClient>(std::vector<std::string>{title}, false,
                                            OwnFolder() + "/wayland_test_client", options);
    if (!WaitUntil([&] { return ReadAll(options.stdoutFile).find("ready") != std::string::npos; },
                   StartMilliseconds)) {
        throw std::runtime_error("the Wayland client did not show its window: " +
                                 ReadAll(options.stderrFile));
    }
    return client;
}

void TCompositorSession::Call(const char* service, const char* path, const char* interface,
                              const char* method) {
    sd_bus* bus = OpenBus(session_->Address());
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called =
        sd_bus_call_method(bus, service, path, interface, method, &error, nullptr, "");
    const std::string reason = error.message ? error.message : "";
    sd_bus_error_free(&error);
    sd_bus_flush_close_unref(bus);
    if (called < 0) {
        throw std::runtime_error(std::string(method) + " failed: " + reason);
    }
}

void TCompositorSession::RestartCompositor() {
    compositor_.reset();
    kind_ == KWin ? StartKWin() : StartGnomeShell();
}

void TCompositorSession::Lock() {
    if (kind_ == KWin) {
        Call("org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver", "Lock");
    } else {
        // The shell's own lock; org.gnome.ScreenSaver is a helper started on demand that
        // passes calls on to it.
        Call("org.gnome.Shell.ScreenShield", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver",
             "Lock");
    }
}

} // namespace twtest
