#include "platform/wayland/kwin_windows.h"

#include "base/exception.h"
#include "platform/linux/bus_connection.h"
#include "platform/program_paths.h"
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/kwin_script.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace tw {
namespace {

constexpr const char* ReportsPath = "/app/tallywick/KWinWindows";
constexpr const char* ReportsInterface = "app.tallywick.KWinWindows";
constexpr const char* ScreenSaver = "org.freedesktop.ScreenSaver";
// How long a script of ours may take to run after KWin said it would.
constexpr auto ScriptWait = std::chrono::seconds(3);
// How long a close script that did not report in time stays loaded (it may still run late)
// before it is unloaded and the same window may be asked to close again.
constexpr auto LateCloseLife = std::chrono::seconds(10);
// How many questions in a row try to load the script into a KWin started anew.
constexpr int RestartTries = 5;

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
    void Dispatch() override { Refresh(); }
    bool NextNotice(TNotice& notice) override;

  private:
    static int OnWindow(sd_bus_message* message, void* self, sd_bus_error* error);
    // The reports that carry one window id, each taken by its own member.
    template <void (TKWinWindows::*Take)(const std::string&)>
    static int OnId(sd_bus_message* message, void* self, sd_bus_error* error);
    void TakeRemoved(const std::string& id) { windows_.erase(id); }
    void TakeActivated(const std::string& id);
    void TakeRan(const std::string& id);
    // Unloads the close scripts that reported late or gave up waiting.
    void DropLateCloses();
    static int OnScreenSaver(sd_bus_message* message, void* self, sd_bus_error* error);
    static int OnKWinOwner(sd_bus_message* message, void* self, sd_bus_error* error);
    void LoadScript();
    // Handles what came, and loads the script again into a KWin started anew.
    void Refresh();
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
    std::string pluginName_;
    // KWin's new address on the bus once it changed (empty: KWin ended), until handled.
    std::optional<std::string> newOwner_;
    std::string restartProblem_;
    int restartTries_ = 0;
    bool locked_ = false;
    std::optional<TKWinScript> script_;
    // That the script was unloaded by hand, handed out once it runs again.
    std::optional<TNotice> notice_;
    // Close scripts that did not report within ScriptWait. KWin runs a script after it answers
    // that it will, so one unloaded before it ran would close nothing: each stays loaded until
    // it reports or its life ends. While KWin is this slow (until a script reports again), the
    // closes are sent without waiting: a scan at the limit asks at every scan, and waiting
    // each time would hold every scan for as long.
    struct TLateClose {
        std::string id;
        std::unique_ptr<TKWinScript> script;
        std::chrono::steady_clock::time_point until;
        bool ran = false;
    };
    std::vector<TLateClose> lateCloses_;
    bool closesLate_ = false;
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
    : scriptFolder_(scriptFolder), bus_(TBusConnection::TBus::Session) {
    if (!bus_.IsOpen()) {
        throw Exception("KWin cannot be reached: " + bus_.Problem());
    }
    kwinOwner_ = NameOwner(bus_.Get(), "org.kde.KWin");
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Window", "ssss", "", OnWindow, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Removed", "s", "", OnId<&TKWinWindows::TakeRemoved>,
                      SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Activated", "s", "", OnId<&TKWinWindows::TakeActivated>,
                      SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("Ran", "s", "", OnId<&TKWinWindows::TakeRan>, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};
    if (const int added = sd_bus_add_object_vtable(bus_.Get(), nullptr, ReportsPath,
                                                   ReportsInterface, vtable, this);
        added < 0) {
        throw Exception(
            std::string("Tallywick cannot offer its KWin script a place to report to: ") +
            std::strerror(-added));
    }
    bus_.WatchFrom(ScreenSaver,
                   std::string("interface='") + ScreenSaver + "',member='ActiveChanged'",
                   OnScreenSaver, this);
    ReadLocked();
    const char* unique = nullptr;
    sd_bus_get_unique_name(bus_.Get(), &unique);
    service_ = unique ? unique : "";
    pluginName_ = "tallywick-windows-" + service_;
    for (char& c : pluginName_) {
        if (c == ':' || c == '.') {
            c = '-';
        }
    }
    bus_.Watch("type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',"
               "arg0='org.kde.KWin'",
               OnKWinOwner, this);
    // A KWin started with the session takes its name on the bus a moment before it takes
    // scripts, and a program started with the session may ask in between: without this it
    // would see only Xwayland's windows until the next login.
    const auto until = std::chrono::steady_clock::now() + ScriptWait;
    for (;;) {
        try {
            LoadScript();
            return;
        } catch (const Exception&) {
            // Only a script KWin did not take is worth another try.
            if (script_ || !std::filesystem::exists(scriptFolder_ + "windows.js") ||
                std::chrono::steady_clock::now() >= until) {
                throw;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void TKWinWindows::LoadScript() {
    script_.emplace(bus_.Get(), scriptFolder_ + "windows.js",
                    TKWinScript::TReplacements{{"@SERVICE@", service_}}, pluginName_);
    // Its last report at the start is the window in front: after it, the windows asked about
    // are all there.
    if (!WaitFor([this] { return started_; })) {
        throw Exception("KWin ran Tallywick's script, but the script did not report");
    }
}

int TKWinWindows::OnKWinOwner(sd_bus_message* message, void* self, sd_bus_error*) {
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
    // Whoever is believed here is believed about every window: only the bus itself may say.
    if (IsFromBusDriver(message) &&
        sd_bus_message_read(message, "sss", &name, &before, &after) >= 0 && name &&
        std::string(name) == "org.kde.KWin") {
        static_cast<TKWinWindows*>(self)->newOwner_ = after ? after : "";
    }
    return 0;
}

// Plasma starts KWin again after a crash and the programs' windows come back, but our script
// is gone with the old KWin: what it reported would stay in front for ever.
void TKWinWindows::Refresh() {
    bus_.ProcessWaiting();
    DropLateCloses();
    if (!newOwner_) {
        return;
    }
    kwinOwner_ = *newOwner_;
    newOwner_.reset();
    lateCloses_.clear();
    closesLate_ = false;
    script_.reset();
    windows_.clear();
    activeId_.clear();
    started_ = false;
    restartProblem_.clear();
    try {
        if (kwinOwner_.empty()) {
            throw Exception("KWin has ended");
        }
        LoadScript();
    } catch (const Exception& failure) {
        restartProblem_ = failure.what();
        // A KWin just started may take its name on the bus before it takes scripts.
        if (!kwinOwner_.empty() && ++restartTries_ < RestartTries) {
            newOwner_ = kwinOwner_;
        }
        return;
    }
    restartTries_ = 0;
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

template <void (TKWinWindows::*Take)(const std::string&)>
int TKWinWindows::OnId(sd_bus_message* message, void* self, sd_bus_error*) {
    auto& windows = *static_cast<TKWinWindows*>(self);
    const char* id = nullptr;
    if (windows.FromKWin(message) && sd_bus_message_read(message, "s", &id) >= 0) {
        (windows.*Take)(id);
    }
    return sd_bus_reply_method_return(message, "");
}

void TKWinWindows::TakeRan(const std::string& id) {
    ranId_ = id;
    closesLate_ = false;
    for (TLateClose& late : lateCloses_) {
        late.ran = late.ran || late.id == id;
    }
}

void TKWinWindows::DropLateCloses() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(lateCloses_,
                  [now](const TLateClose& late) { return late.ran || now >= late.until; });
}

void TKWinWindows::TakeActivated(const std::string& id) {
    activeId_ = id;
    started_ = true;
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

bool TKWinWindows::NextNotice(TNotice& notice) {
    if (!notice_ || newOwner_ || !started_) {
        return false;
    }
    notice = *notice_;
    notice_.reset();
    return true;
}

TCompositorWindow TKWinWindows::Focused() {
    // Anybody in the session may unload our script: loaded again as into a KWin started anew.
    if (script_ && !newOwner_ && !script_->IsLoaded()) {
        newOwner_ = kwinOwner_;
        notice_ = TNotice(TDesktopNotice::SwitchedBackOn,
                          "Tallywick's script in KWin was unloaded; Tallywick loaded it again.");
    }
    Refresh();
    // KWin keeps the window under the lock screen active while the screen is locked.
    if (locked_) {
        return {};
    }
    const auto found = windows_.find(activeId_);
    return found == windows_.end() ? TCompositorWindow() : found->second;
}

void TKWinWindows::EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) {
    Refresh();
    for (const auto& [id, window] : windows_) {
        if (!visit(window)) {
            break;
        }
    }
}

void TKWinWindows::Close(TWindowHandle handle) {
    for (const auto& [id, window] : windows_) {
        if (window.window != handle || !IsPlainId(id)) {
            continue;
        }
        for (const TLateClose& late : lateCloses_) {
            if (late.id == id && !late.ran) {
                return; // asked already, and KWin has not run it yet
            }
        }
        ranId_.clear();
        const std::string closing = id;
        auto script = std::make_unique<TKWinScript>(
            bus_.Get(), scriptFolder_ + "close_window.js",
            TKWinScript::TReplacements{{"@WINDOW@", id}, {"@SERVICE@", service_}},
            "tallywick-close-" + std::to_string(handle));
        if (!closesLate_ && WaitFor([&] { return ranId_ == closing; })) {
            return;
        }
        closesLate_ = true;
        lateCloses_.push_back(TLateClose{closing, std::move(script),
                                         std::chrono::steady_clock::now() + LateCloseLife});
        return;
    }
}

std::string TKWinWindows::Problem() {
    if (bus_.IsOpen()) {
        return restartProblem_;
    }
    return "Tallywick's connection to KWin ended (" + bus_.Problem() + ")";
}

std::unique_ptr<TCompositorWindows> ConnectKWin(const std::string& scriptFolder) {
    return std::make_unique<TKWinWindows>(scriptFolder);
}

std::unique_ptr<TCompositorWindows> ConnectKWin() {
    return ConnectKWin(ProgramFolder(ProgramPath()) + "kwin/");
}

} // namespace tw
