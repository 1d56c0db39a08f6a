#include "support/x11_screen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace twtest {

TScreen::TScreen() : display_(XOpenDisplay(nullptr)) {
    // Windows come and go while the tree is walked (a window closing): one gone meanwhile
    // simply answers nothing, as in the program's own backend.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

TScreen::~TScreen() {
    if (display_) {
        XCloseDisplay(display_);
    }
}

std::vector<TXWindow> TScreen::WindowsOf(pid_t pid, const std::string& title) {
    std::vector<TXWindow> found;
    Collect(DefaultRootWindow(display_), pid, title, found);
    return found;
}

std::vector<TXWindow> TScreen::ClientsOf(pid_t pid) {
    std::vector<TXWindow> found;
    for (const TXWindow window : RootWindows("_NET_CLIENT_LIST")) {
        if (Pid(window) == pid) {
            found.push_back(window);
        }
    }
    return found;
}

TXWindow TScreen::Active() {
    const std::vector<TXWindow> active = RootWindows("_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

std::vector<TXWindow> TScreen::RootWindows(const char* property) {
    std::vector<TXWindow> windows;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_),
                           XInternAtom(display_, property, False), 0, 4096, False, XA_WINDOW, &type,
                           &format, &items, &after, &data) == Success &&
        data && format == 32) {
        const auto* listed = reinterpret_cast<const unsigned long*>(data);
        windows.assign(listed, listed + items);
    }
    if (data) {
        XFree(data);
    }
    return windows;
}

TScreenRect TScreen::Geometry(TXWindow window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

TScreenRect TScreen::ScreenSize() {
    return {0, 0, DisplayWidth(display_, DefaultScreen(display_)),
            DisplayHeight(display_, DefaultScreen(display_))};
}

std::set<unsigned long> TScreen::Colours(const TScreenRect& area) {
    std::set<unsigned long> colours;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y,
                              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                              AllPlanes, ZPixmap);
    if (!image) {
        return colours;
    }
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            colours.insert(XGetPixel(image, x, y));
        }
    }
    XDestroyImage(image);
    return colours;
}

void TScreen::Close(TXWindow window) {
    Send(window, "WM_PROTOCOLS",
         static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False)), window, NoEventMask);
}

std::set<std::string> TScreen::States(TXWindow window) {
    std::set<std::string> names;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), 0, 32,
                           False, XA_ATOM, &type, &format, &items, &after, &data) == Success &&
        data && format == 32) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < items; ++i) {
            char* name = XGetAtomName(display_, atoms[i]);
            names.insert(name);
            XFree(name);
        }
    }
    if (data) {
        XFree(data);
    }
    return names;
}

void TScreen::Click(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void TScreen::Focus(TXWindow window) {
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
}

void TScreen::Activate(TXWindow window) {
    Send(window, "_NET_ACTIVE_WINDOW", 2 /* a pager or task bar, on the user's behalf */,
         DefaultRootWindow(display_), SubstructureRedirectMask | SubstructureNotifyMask);
}

void TScreen::Send(TXWindow window, const char* type, long first, TXWindow to, long mask) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, to, False, mask, &event);
    XSync(display_, False);
}

void TScreen::PressKey(const char* key, bool control) {
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(key));
    const KeyCode controlCode = XKeysymToKeycode(display_, XK_Control_L);
    // At a person's pace: a program that reads the keyboard in batches (a browser) may take
    // a press and its release in one go as nothing.
    auto send = [&](KeyCode keyCode, bool press) {
        XTestFakeKeyEvent(display_, keyCode, press ? True : False, CurrentTime);
        XSync(display_, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    };
    if (control) {
        send(controlCode, true);
    }
    send(code, true);
    send(code, false);
    if (control) {
        send(controlCode, false);
    }
}

void TScreen::Type(const std::string& text) {
    for (const char c : text) {
        PressKey(std::string(1, c).c_str());
    }
}

void TScreen::Collect(TXWindow window, pid_t pid, const std::string& title,
                      std::vector<TXWindow>& found) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable &&
        Pid(window) == pid && Title(window) == title) {
        found.push_back(window);
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            Collect(children[i], pid, title, found);
        }
        XFree(children);
    }
}

pid_t TScreen::Pid(TXWindow window) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    pid_t pid = -1;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False), 0, 1,
                           False, XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
        data && items == 1 && format == 32) {
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) {
        XFree(data);
    }
    return pid;
}

std::string TScreen::Title(TXWindow window) {
    XTextProperty text{};
    std::string title;
    if (XGetWMName(display_, window, &text) && text.value) {
        title.assign(reinterpret_cast<char*>(text.value), text.nitems);
        XFree(text.value);
    }
    return title;
}

} // namespace twtest
