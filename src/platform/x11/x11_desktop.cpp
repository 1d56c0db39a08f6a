#include "platform/x11/x11_desktop.h"

#include "base/exception.h"
#include "base/text.h"
#include "platform/linux/browser_address.h"
#include "platform/linux/browser_family.h"
#include "platform/process_executable.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_notices.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_window_tree.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace tw {

namespace {

constexpr std::size_t MaxClassName = 259;
constexpr std::size_t MaxWindowText = 1023;

bool Contains(const std::vector<unsigned long>& items, unsigned long item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

std::string ThisMachine() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

} // namespace

TX11Desktop::TX11Desktop(const std::string& displayName)
    : connection_(std::make_unique<TX11Connection>(displayName)),
      notices_(std::make_unique<TX11Notices>(displayName)) {
    Display* display = connection_->Get();
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    hasClientIds_ = XResQueryExtension(display, &event, &error) &&
                    XResQueryVersion(display, &major, &minor) &&
                    (major > 1 || (major == 1 && minor >= 2));
    WaitAlsoOn({notices_->Descriptor()});
}

TX11Desktop::~TX11Desktop() = default;

bool TX11Desktop::WindowManagerRunning() {
    Display* display = connection_->Get();
    const ::Atom check = connection_->Intern("_NET_SUPPORTING_WM_CHECK");
    // A manager that died leaves its hint on the root; only a check window that still
    // exists and points at itself proves one is running.
    const auto window = ReadLong(display, connection_->Root(), check, XA_WINDOW);
    const bool running =
        window && *window != 0 && ReadLong(display, *window, check, XA_WINDOW) == window;
    connection_->ThrowIfLost();
    return running;
}

bool TX11Desktop::WindowManagerSupports(const char* hint) {
    if (!WindowManagerRunning()) {
        return false;
    }
    const auto supported = ReadLongs(connection_->Get(), connection_->Root(),
                                     connection_->Intern("_NET_SUPPORTED"), XA_ATOM);
    return Contains(supported, connection_->Intern(hint));
}

TWindowHandle TX11Desktop::ForegroundWindow() {
    Display* display = connection_->Get();
    if (WindowManagerSupports("_NET_ACTIVE_WINDOW")) {
        const auto active = ReadLong(display, connection_->Root(),
                                     connection_->Intern("_NET_ACTIVE_WINDOW"), XA_WINDOW);
        connection_->ThrowIfLost();
        if (active) {
            return *active;
        }
    }
    return FocusedTopLevel();
}

TWindowHandle TX11Desktop::FocusedTopLevel() {
    Display* display = connection_->Get();
    ::Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    if (focus == PointerRoot) {
        // The focus follows the pointer: the window under it gets the keys.
        ::Window root = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int buttons = 0;
        focus = 0;
        XQueryPointer(display, connection_->Root(), &root, &focus, &rootX, &rootY, &x, &y,
                      &buttons);
    }
    TWindowHandle result = 0;
    if (focus != None) {
        result = ClientOf(TopLevelAncestor(display, connection_->Root(), focus));
    }
    connection_->ThrowIfLost();
    return result;
}

unsigned long TX11Desktop::ClientOf(unsigned long topLevel) {
    if (topLevel == 0) {
        return 0;
    }
    Display* display = connection_->Get();
    if (ReadBytes(display, topLevel, XA_WM_CLASS)) {
        return topLevel;
    }
    // A frame of a manager that does not publish the active window: the program's own
    // window is the one inside marked with WM_STATE.
    const ::Window client = FindWithProperty(display, topLevel, connection_->Intern("WM_STATE"));
    return client ? client : topLevel;
}

void TX11Desktop::EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit) {
    Display* display = connection_->Get();
    std::vector<unsigned long> windows;
    if (WindowManagerSupports("_NET_CLIENT_LIST")) {
        windows = ReadLongs(display, connection_->Root(), connection_->Intern("_NET_CLIENT_LIST"),
                            XA_WINDOW);
    } else {
        for (const ::Window child : ChildrenOf(display, connection_->Root())) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, child, &attributes) &&
                attributes.map_state == IsViewable && !attributes.override_redirect &&
                ReadBytes(display, child, XA_WM_CLASS)) {
                windows.push_back(child);
            }
        }
    }
    connection_->ThrowIfLost();
    // Taken as a copy first: the visitor may close windows while we go.
    for (const unsigned long window : windows) {
        if (!visit(window)) {
            break;
        }
    }
}

std::string TX11Desktop::ClassName(TWindowHandle window) {
    const auto wmClass = ReadBytes(connection_->Get(), window, XA_WM_CLASS);
    connection_->ThrowIfLost();
    if (!wmClass) {
        return {};
    }
    // "instance\0class\0"; a program that sets only one string gets that one.
    const std::size_t end = wmClass->find('\0');
    std::string name = end == std::string::npos || end + 1 >= wmClass->size()
                           ? wmClass->substr(0, end)
                           : wmClass->substr(end + 1);
    name = name.substr(0, name.find('\0'));
    return CutUtf8(name, MaxClassName);
}

std::string TX11Desktop::WindowText(TWindowHandle window) {
    Display* display = connection_->Get();
    const ::Atom utf8 = connection_->Intern("UTF8_STRING");
    ::Atom type = 0;
    std::string text;
    if (auto name = ReadBytes(display, window, connection_->Intern("_NET_WM_NAME"), &type);
        name && type == utf8) {
        text = *name;
    } else if (auto legacy = ReadBytes(display, window, XA_WM_NAME, &type); legacy) {
        if (type == utf8) {
            text = *legacy;
        } else if (type == XA_STRING) {
            text = Latin1ToUtf8(*legacy);
        } else {
            // COMPOUND_TEXT and other encodings: Xlib knows how to convert them.
            XTextProperty property{reinterpret_cast<unsigned char*>(legacy->data()), type, 8,
                                   legacy->size()};
            char** list = nullptr;
            int count = 0;
            if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && list) {
                if (count > 0 && list[0]) {
                    text = list[0];
                }
                XFreeStringList(list);
            }
        }
    }
    connection_->ThrowIfLost();
    return CutUtf8(text.substr(0, text.find('\0')), MaxWindowText);
}

long TX11Desktop::ProcessOf(unsigned long window) {
    if (window == 0) {
        return -1;
    }
    Display* display = connection_->Get();
    // The server's own record of the process at the other end of each local connection comes
    // first: _NET_WM_PID is only a property, which any client may write on any window.
    if (hasClientIds_) {
        XResClientIdSpec query{window, XRES_CLIENT_ID_PID_MASK};
        long count = 0;
        XResClientIdValue* ids = nullptr;
        long found = -1;
        if (XResQueryClientIds(display, 1, &query, &count, &ids) == Success) {
            // Answers that are not a process id give -1 and are passed over.
            for (long i = 0; i < count && found < 0; ++i) {
                found = XResGetClientPid(&ids[i]);
            }
            XResClientIdsDestroy(count, ids);
        }
        if (found > 0) {
            return found;
        }
    }
    // The server cannot tell (a client connected over the network): the window's own word.
    const auto pid = ReadLong(display, window, connection_->Intern("_NET_WM_PID"), XA_CARDINAL);
    if (pid && *pid > 0) {
        // A process id from another machine would name some unrelated local process.
        const auto machine = ReadBytes(display, window, XA_WM_CLIENT_MACHINE);
        if (!machine || machine->substr(0, machine->find('\0')) == ThisMachine()) {
            return static_cast<long>(*pid);
        }
    }
    return -1;
}

std::string TX11Desktop::ExecutablePath(TWindowHandle window) {
    const long pid = ProcessOf(window);
    connection_->ThrowIfLost();
    return ExecutablePathOfProcess(static_cast<pid_t>(pid));
}

TWindowFacts TX11Desktop::WhatIsInFront() {
    const TWindowHandle foreground = ForegroundWindow();
    return foreground == 0 ? TWindowFacts{} : Describe(foreground, foreground);
}

void TX11Desktop::DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) {
    EnumTopLevelWindows([&](TWindowHandle window) { return visit(Describe(window, 0)); });
}

TWindowFacts TX11Desktop::Describe(TWindowHandle window, TWindowHandle foreground) {
    TWindowFacts facts;
    facts.window = window;
    const long pid = ProcessOf(window);
    connection_->ThrowIfLost();
    facts.executablePath = ExecutablePathOfProcess(static_cast<pid_t>(pid));
    TBrowserWindow browser;
    browser.family = BrowserFamilyOf(facts.executablePath, ClassName(window));
    if (browser.family == TBrowserFamily::NotABrowser) {
        return facts;
    }
    browser.window = window;
    browser.pid = pid;
    // Asked only of browsers, and at the moment of reading: a pass over every window may
    // close some and move the focus on its way.
    browser.foreground = (foreground != 0 ? foreground : ForegroundWindow()) == window;
    facts.title = WindowText(window);
    browser.title = [title = facts.title] { return title; };
    browser.place = [this, window] { return PlaceOf(window); };
    ReadAddress(facts, browser);
    return facts;
}

TScreenRect TX11Desktop::PlaceOf(unsigned long window) {
    Display* display = connection_->Get();
    XWindowAttributes attributes{};
    TScreenRect place;
    ::Window child = 0;
    if (XGetWindowAttributes(display, window, &attributes) &&
        XTranslateCoordinates(display, window, connection_->Root(), 0, 0, &place.x, &place.y,
                              &child)) {
        place.width = attributes.width;
        place.height = attributes.height;
    }
    connection_->ThrowIfLost();
    return place;
}

void TX11Desktop::PostCloseRequest(TWindowHandle window) {
    Display* display = connection_->Get();
    const ::Atom deleteWindow = connection_->Intern("WM_DELETE_WINDOW");
    const ::Atom protocols = connection_->Intern("WM_PROTOCOLS");
    if (window == 0 || !Contains(ReadLongs(display, window, protocols, XA_ATOM), deleteWindow)) {
        connection_->ThrowIfLost();
        return;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.format = 32;
    if (WindowManagerSupports("_NET_CLOSE_WINDOW")) {
        // The manager may check first whether the program still answers.
        event.xclient.message_type = connection_->Intern("_NET_CLOSE_WINDOW");
        event.xclient.data.l[0] = CurrentTime;
        event.xclient.data.l[1] = 2; // asked by a tool, not by the program itself
        XSendEvent(display, connection_->Root(), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        event.xclient.message_type = protocols;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    }
    XFlush(display);
    connection_->ThrowIfLost();
}

void TX11Desktop::KeepOffTaskbar(TWindowHandle handle) {
    Display* display = connection_->Get();
    const auto window = static_cast<::Window>(handle);
    const ::Atom state = connection_->Intern("_NET_WM_STATE");
    const ::Atom skip[] = {connection_->Intern("_NET_WM_STATE_SKIP_TASKBAR"),
                           connection_->Intern("_NET_WM_STATE_SKIP_PAGER")};
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return; // gone
    if (attributes.map_state == IsViewable) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = state;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1; // add
        event.xclient.data.l[1] = static_cast<long>(skip[0]);
        event.xclient.data.l[2] = static_cast<long>(skip[1]);
        event.xclient.data.l[3] = 1; // asked by an ordinary program
        XSendEvent(display, connection_->Root(), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        std::vector<unsigned long> states = ReadLongs(display, window, state, XA_ATOM);
        for (const ::Atom atom : skip)
            if (!Contains(states, atom))
                states.push_back(atom);
        XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(states.data()),
                        static_cast<int>(states.size()));
    }
    // Before the toolkit maps the window and reads the state on its own connection.
    XSync(display, False);
    connection_->ThrowIfLost();
}

bool TX11Desktop::NextOwnNotice(TNotice& notice) {
    TDesktopNotice what{};
    if (!notices_->Next(what)) {
        return false;
    }
    notice = TNotice(what);
    return true;
}

} // namespace tw
