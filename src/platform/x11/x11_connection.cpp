#include "platform/x11/x11_connection.h"

#include "base/exception.h"

#include <mutex>
#include <set>

namespace tw {

namespace {

// Xlib's error handlers are process-wide while our connections are not: a toolkit may own
// other displays in the same process, and its errors still go to its own handlers.
std::mutex ownDisplaysMutex;
std::set<Display*> ownDisplays;
XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIOErrorHandler = nullptr;

bool IsOwnDisplay(Display* display) {
    std::lock_guard<std::mutex> lock(ownDisplaysMutex);
    return ownDisplays.count(display) != 0;
}

int OnXError(Display* display, XErrorEvent* event) {
    if (IsOwnDisplay(display)) {
        return 0; // the request that failed answers "nothing"; see the callers
    }
    return previousErrorHandler ? previousErrorHandler(display, event) : 0;
}

int OnXIOError(Display* display) {
    if (IsOwnDisplay(display)) {
        return 0; // the exit handler of the connection takes over
    }
    return previousIOErrorHandler ? previousIOErrorHandler(display) : 0;
}

void InstallHandlersOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        previousErrorHandler = XSetErrorHandler(OnXError);
        previousIOErrorHandler = XSetIOErrorHandler(OnXIOError);
    });
}

} // namespace

TX11Connection::TX11Connection(const std::string& displayName) {
    InstallHandlersOnce();
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display_) {
        const std::string shown = displayName.empty() ? XDisplayName(nullptr) : displayName;
        if (shown.empty()) {
            throw Exception("Unable to open an X display: DISPLAY is not set");
        }
        throw Exception("Unable to open the X display \"" + shown +
                        "\": no X server is reachable there");
    }
    {
        std::lock_guard<std::mutex> lock(ownDisplaysMutex);
        ownDisplays.insert(display_);
    }
    // Without this Xlib ends the whole process when the server goes away.
    XSetIOErrorExitHandler(display_, &TX11Connection::OnConnectionLost, this);
    root_ = DefaultRootWindow(display_);
}

TX11Connection::~TX11Connection() {
    // A lost connection still owns its memory and socket; closing it frees both.
    XCloseDisplay(display_);
    std::lock_guard<std::mutex> lock(ownDisplaysMutex);
    ownDisplays.erase(display_);
}

void TX11Connection::OnConnectionLost(Display*, void* self) {
    static_cast<TX11Connection*>(self)->lost_ = true;
}

Display* TX11Connection::Get() {
    ThrowIfLost();
    return display_;
}

void TX11Connection::ThrowIfLost() const {
    if (lost_) {
        throw Exception("X display connection lost");
    }
}

::Atom TX11Connection::Intern(const char* name) {
    auto found = atoms_.find(name);
    if (found != atoms_.end()) {
        return found->second;
    }
    const ::Atom atom = XInternAtom(Get(), name, False);
    ThrowIfLost();
    atoms_.emplace(name, atom);
    return atom;
}

} // namespace tw
