#include "platform/wayland/kwin_windows.h"

#include "base/exception.h"
#include "platform/linux/bus_connection.h"
#include "platform/program_paths.h"
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/kwin_script.h"

#include <chrono>
#include <cstring>
#include <map>
#include <optional>

namespace tw {
namespace {

constexpr const char* ReportsPath = "/app/tallywick/KWinWindows";
constexpr const char* ReportsInterface = "app.tallywick.KWinWindows";
constexpr const char* ScreenSaver = "org.freedesktop.ScreenSaver";
// How long a script of ours may take to run after KWin said it would.
constexpr auto ScriptWait = std::chrono::seconds(3);

// What our script inside KWin tells us, kept up to date between the program's questions: KWin
// has no call that answers them, so nothing is asked of it after the start.
class TKWinWindows : public TCompositorWindows {
  public:
    explicit TKWinWindows(const std::string& scriptFolder);

    const char* Name() const override { return "wayland-kwin"; }
    TCompositorWindow Focused() override;
    void EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) override;
    void Close(TWindowHandle window) override;
    std::string Problem() override;
    int Descriptor() override { return bus_.Descriptor(); }
    void Dispatch() override { bus_.ProcessWaiting(); }

  private:
    static int OnWindow(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnRemoved(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnActivated(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnRan(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnScreenSaver(sd_bus_message* message, void* self, sd_bus_error* error);
    // Only KWin itself may tell us about windows: any program of the session could call us.
    bool FromKWin(sd_bus_message* message) const;
    void ReadLocked();
    // Handles what comes until the condition holds, for a short while at most; false when it
    // still does not hold.
    bool WaitFor(const std::function<bool()>& condition);

    std::string scriptFolder_;
    TBusConnection bus_;
    std::string kwinOwner_;
    // KWin's ids (UUIDs) and the windows under them, with handles of our own numbering.
    std::map<std::string, TCompositorWindow> windows_;
    TWindowHandle lastHandle_ = 0;
    std::string activeId_;
    // The script has reported the windows there were when it started.
    bool started_ = false;
    std::string ranId_;
    std::string service_;
    bool locked_ = false;
    std::optional<TKWinScript> script_;
};

std::string NameOwner(sd_bus* bus, const char* name) {
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const char* owner = nullptr;
    std::string result;
    const int called =
        sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", &error, &reply, "s", name);
    if (called >= 0 && sd_bus_message_read(reply, "s", &owner) >= 0 && owner) {
        result = owner;
    }
    const std::string reason = called < 0 ? BusErrorText(error, called) : "";
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    if (result.empty()) {
        throw Exception("KWin is not on the session bus (" + reason + ")");
    }
    return result;
}

// A window id goes into a script's text: only the characters of a UUID may.
bool IsPlainId(const std::string& id) {
    return !id.empty() && id.find_first_not_of("0123456789abcdefABCDEF{}-") == std::string::npos;
}

} // namespace

TKWinWindows::TKWinWindows(const std::string& scriptFolder)
    : scriptFolder_(scriptFolder), bus_(TBusConnection::bsSession) {
    if (!bus_.IsOpen()) {
        throw Exception("KWin cannot be reached: " + bus_.Problem());
    }
    kwinOwner_ = NameOwner(bus_.Get(), "org.kde.KWin");
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Window", "ssss", "", OnWindow, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Removed", "s", "", OnRemoved, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Activated", "s", "", OnActivated, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Ran", "s", "", OnRan, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};
    if (const int added = sd_bus_add_object_vtable(bus_.Get(), nullptr, ReportsPath,
                                                   ReportsInterface, vtable, this);
        added < 0) {
        throw Exception(
            std::string("Tallywick cannot offer its KWin script a place to report to: ") +
            std::strerror(-added));
    }
    bus_.Watch(std::string("type='signal',sender='") + ScreenSaver + "',interface='" + ScreenSaver +
                   "',member='ActiveChanged'",
               OnScreenSaver, this);
    ReadLocked();
    const char* unique = nullptr;
    sd_bus_get_unique_name(bus_.Get(), &unique);
    service_ = unique ? unique : "";
    std::string pluginName = "tallywick-windows-" + service_;
    for (char& c : pluginName) {
        if (c == ':' || c == '.') {
            c = '-';
        }
    }
    script_.emplace(bus_.Get(), scriptFolder_ + "windows.js",
                    TKWinScript::TReplacements{{"@SERVICE@", service_}}, pluginName);
    // Its last report at the start is the window in front: after it, the windows asked about
    // are all there.
    if (!WaitFor([this] { return started_; })) {
        throw Exception("KWin ran Tallywick's script, but the script did not report");
    }
}

bool TKWinWindows::WaitFor(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + ScriptWait;
    for (bus_.ProcessWaiting(); !condition(); bus_.ProcessWaiting()) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero() || !bus_.IsOpen()) {
            return false;
        }
        sd_bus_wait(bus_.Get(),
                    std::chrono::duration_cast<std::chrono::microseconds>(left).count());
    }
    return true;
}

bool TKWinWindows::FromKWin(sd_bus_message* message) const {
    const char* sender = sd_bus_message_get_sender(message);
    return sender && kwinOwner_ == sender;
}

int TKWinWindows::OnWindow(sd_bus_message* message, void* self, sd_bus_error*) {
    auto& windows = *static_cast<TKWinWindows*>(self);
    const char* id = nullptr;
    const char* pid = nullptr;
    const char* caption = nullptr;
    const char* appId = nullptr;
    if (windows.FromKWin(message) &&
        sd_bus_message_read(message, "ssss", &id, &pid, &caption, &appId) >= 0) {
        TCompositorWindow& window = windows.windows_[id];
        if (window.window == 0) {
            window.window = ++windows.lastHandle_;
        }
        window.pid = std::atoi(pid);
        window.title = caption;
        window.appId = appId;
    }
    return sd_bus_reply_method_return(message, "");
}

int TKWinWindows::OnRemoved(sd_bus_message* message, void* self, sd_bus_error*) {
    auto& windows = *static_cast<TKWinWindows*>(self);
    const char* id = nullptr;
    if (windows.FromKWin(message) && sd_bus_message_read(message, "s", &id) >= 0) {
        windows.windows_.erase(id);
    }
    return sd_bus_reply_method_return(message, "");
}

int TKWinWindows::OnActivated(sd_bus_message* message, void* self, sd_bus_error*) {
    auto& windows = *static_cast<TKWinWindows*>(self);
    const char* id = nullptr;
    if (windows.FromKWin(message) && sd_bus_message_read(message, "s", &id) >= 0) {
        windows.activeId_ = id;
        windows.started_ = true;
    }
    return sd_bus_reply_method_return(message, "");
}

int TKWinWindows::OnRan(sd_bus_message* message, void* self, sd_bus_error*) {
    auto& windows = *static_cast<TKWinWindows*>(self);
    const char* id = nullptr;
    if (windows.FromKWin(message) && sd_bus_message_read(message, "s", &id) >= 0) {
        windows.ranId_ = id;
    }
    return sd_bus_reply_method_return(message, "");
}

int TKWinWindows::OnScreenSaver(sd_bus_message* message, void* self, sd_bus_error*) {
    int active = 0;
    if (sd_bus_message_read(message, "b", &active) >= 0) {
        static_cast<TKWinWindows*>(self)->locked_ = active != 0;
    }
    return 0;
}

void TKWinWindows::ReadLocked() {
    sd_bus_message* reply = nullptr;
    int active = 0;
    if (sd_bus_call_method(bus_.Get(), ScreenSaver, "/org/freedesktop/ScreenSaver", ScreenSaver,
                           "GetActive", nullptr, &reply, "") >= 0 &&
        sd_bus_message_read(reply, "b", &active) >= 0) {
        locked_ = active != 0;
    }
    sd_bus_message_unref(reply);
}

TCompositorWindow TKWinWindows::Focused() {
    bus_.ProcessWaiting();
    // KWin keeps the window under the lock screen active while the screen is locked.
    if (locked_) {
        return {};
    }
    const auto found = windows_.find(activeId_);
    return found == windows_.end() ? TCompositorWindow() : found->second;
}

void TKWinWindows::EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) {
    bus_.ProcessWaiting();
    for (const auto& [id, window] : windows_) {
        if (!visit(window)) {
            break;
        }
    }
}

void TKWinWindows::Close(TWindowHandle handle) {
    for (const auto& [id, window] : windows_) {
        if (window.window == handle && IsPlainId(id)) {
            ranId_.clear();
            const std::string closing = id;
            TKWinScript script(
                bus_.Get(), scriptFolder_ + "close_window.js",
                TKWinScript::TReplacements{{"@WINDOW@", id}, {"@SERVICE@", service_}},
                "tallywick-close-" + std::to_string(handle));
            // Unloaded before it ran, it would close nothing.
            WaitFor([&] { return ranId_ == closing; });
            return;
        }
    }
}

std::string TKWinWindows::Problem() {
    if (bus_.IsOpen()) {
        return {};
    }
    return "Tallywick cannot see windows on this desktop: its connection to KWin ended (" +
           bus_.Problem() + ").";
}

std::unique_ptr<TCompositorWindows> ConnectKWin(const std::string& scriptFolder) {
    return std::make_unique<TKWinWindows>(scriptFolder);
}

std::unique_ptr<TCompositorWindows> ConnectKWin() {
    return ConnectKWin(ProgramFolder(ProgramPath()) + "kwin/");
}

} // namespace tw
