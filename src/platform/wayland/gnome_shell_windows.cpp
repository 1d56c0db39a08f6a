#include "base/exception.h"
#include "platform/linux/bus_connection.h"
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/gnome_extension.h"

namespace tw {
namespace {

constexpr const char* Shell = "org.gnome.Shell";
constexpr const char* WindowsPath = "/app/tallywick/Windows";
constexpr const char* WindowsInterface = "app.tallywick.Windows";

// GNOME Shell's windows as our extension inside it answers for them. The shell's own window
// interfaces are closed to other programs, so without the extension nothing can be seen, and
// Problem() says why.
class TGnomeShellWindows : public TCompositorWindows {
  public:
    TGnomeShellWindows();
    ~TGnomeShellWindows() override;
    TGnomeShellWindows(const TGnomeShellWindows&) = delete;
    TGnomeShellWindows& operator=(const TGnomeShellWindows&) = delete;

    const char* Name() const override { return "wayland-gnome"; }
    TCompositorWindow Focused() override;
    void EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) override;
    void Close(TWindowHandle window) override;
    std::string Problem() override { return problem_; }
    int Descriptor() override { return bus_.Descriptor(); }
    void Dispatch() override { bus_.ProcessWaiting(); }
    bool NextNotice(TNotice& notice) override;

  private:
    // Calls one of the extension's methods; null (and the reason in Problem()) when it did
    // not answer.
    sd_bus_message* Call(const char* method, const char* types = "", std::uint64_t id = 0);
    sd_bus_message* CallOnce(const char* method, const char* types, std::uint64_t id,
                             sd_bus_error& error, int& called);
    // Turns the extension on again when the person turned it off while this program ran.
    bool TurnedOnAgain();

    TBusConnection bus_;
    std::string problem_;
    // Why the extension did not run at the start: it stays the reason until the shell runs
    // the extension after all.
    std::string refusal_;
    // Said once a run: turning it off again and again is answered, not announced each time.
    bool toldTurnedOnAgain_ = false;
    bool turnedOnAgainNotice_ = false;
};

int OnFocusChanged(sd_bus_message*, void*, sd_bus_error*) {
    // Only wakes the desktop up, which then asks for the window in front.
    return 0;
}

bool ReadWindow(sd_bus_message* message, TCompositorWindow& window) {
    std::uint64_t id = 0;
    int pid = 0;
    const char* title = nullptr;
    const char* appId = nullptr;
    if (sd_bus_message_read(message, "tiss", &id, &pid, &title, &appId) <= 0) {
        return false;
    }
    window = {id, pid, title ? title : "", appId ? appId : ""};
    return true;
}

} // namespace

TGnomeShellWindows::TGnomeShellWindows() : bus_(TBusConnection::TBus::Session) {
    if (!bus_.IsOpen()) {
        throw Exception("GNOME Shell cannot be reached: " + bus_.Problem());
    }
    if (sd_bus_message* reply = nullptr;
        sd_bus_call_method(bus_.Get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", nullptr, &reply, "s",
                           Shell) < 0) {
        throw Exception("GNOME Shell is not on the session bus");
    } else {
        sd_bus_message_unref(reply);
    }
    // It only wakes the desktop, which then asks the shell itself; still, only the shell's.
    bus_.WatchFrom(Shell,
                   std::string("path='") + WindowsPath + "',interface='" + WindowsInterface +
                       "',member='FocusChanged'",
                   OnFocusChanged, this);
    refusal_ = EnableGnomeExtension(bus_.Get());
    problem_ = refusal_;
}

TGnomeShellWindows::~TGnomeShellWindows() {
    // Off while this program is not running: nothing else is to find it answering.
    DisableGnomeExtension(bus_.Get());
}

sd_bus_message* TGnomeShellWindows::CallOnce(const char* method, const char* types,
                                             std::uint64_t id, sd_bus_error& error, int& called) {
    sd_bus_message* reply = nullptr;
    called = *types ? sd_bus_call_method(bus_.Get(), Shell, WindowsPath, WindowsInterface, method,
                                         &error, &reply, types, id)
                    : sd_bus_call_method(bus_.Get(), Shell, WindowsPath, WindowsInterface, method,
                                         &error, &reply, "");
    return called < 0 ? nullptr : reply;
}

sd_bus_message* TGnomeShellWindows::Call(const char* method, const char* types, std::uint64_t id) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int called = 0;
    sd_bus_message* reply = CallOnce(method, types, id, error, called);
    if (!reply && TurnedOnAgain()) {
        sd_bus_error_free(&error);
        reply = CallOnce(method, types, id, error, called);
    }
    if (!reply) {
        problem_ = !refusal_.empty() ? refusal_
                                     : "Tallywick's GNOME Shell extension stopped answering (" +
                                           BusErrorText(error, called) + ")";
        sd_bus_error_free(&error);
        return nullptr;
    }
    problem_.clear();
    return reply;
}

bool TGnomeShellWindows::TurnedOnAgain() {
    // One that never ran is the refusal's to explain; one that runs and fails is not off.
    if (!refusal_.empty() || !GnomeExtensionTurnedOff(bus_.Get()) ||
        !EnableGnomeExtension(bus_.Get()).empty()) {
        return false;
    }
    if (!toldTurnedOnAgain_) {
        toldTurnedOnAgain_ = true;
        turnedOnAgainNotice_ = true;
    }
    return true;
}

bool TGnomeShellWindows::NextNotice(TNotice& notice) {
    if (!turnedOnAgainNotice_) {
        return false;
    }
    turnedOnAgainNotice_ = false;
    notice = TNotice(TDesktopNotice::SwitchedBackOn,
                     "Tallywick's GNOME Shell extension was turned off, and Tallywick turned it "
                     "on again: without it, no window on this desktop can be counted or closed.");
    return true;
}

TCompositorWindow TGnomeShellWindows::Focused() {
    bus_.ProcessWaiting();
    TCompositorWindow window;
    if (sd_bus_message* reply = Call("Get")) {
        ReadWindow(reply, window);
        sd_bus_message_unref(reply);
    }
    return window;
}

void TGnomeShellWindows::EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) {
    sd_bus_message* reply = Call("List");
    if (!reply) {
        return;
    }
    if (sd_bus_message_enter_container(reply, 'a', "(tiss)") > 0) {
        TCompositorWindow window;
        while (sd_bus_message_enter_container(reply, 'r', "tiss") > 0 &&
               ReadWindow(reply, window) && sd_bus_message_exit_container(reply) >= 0) {
            if (!visit(window)) {
                break;
            }
        }
    }
    sd_bus_message_unref(reply);
}

void TGnomeShellWindows::Close(TWindowHandle window) {
    sd_bus_message_unref(Call("Close", "t", window));
}

std::unique_ptr<TCompositorWindows> ConnectGnomeShell() {
    return std::make_unique<TGnomeShellWindows>();
}

} // namespace tw
