// A small X client the desktop tests start as a separate process, so that every window
// they probe belongs to a real other program. It maps one top-level window, prints
// "window <id> <child ids...>" once the window is mapped, and then waits; it exits when
// asked to close through WM_DELETE_WINDOW (only when it lists that protocol) or when the
// test that started it dies.
//
// Options: --pid (set _NET_WM_PID), --fake-pid N (set it to N instead),
// --machine NAME (WM_CLIENT_MACHINE), --delete (list WM_DELETE_WINDOW), --focus (take the
// input focus), --name BYTES (WM_NAME as Latin-1), --net-name TEXT (_NET_WM_NAME),
// --children (two children, the first with a child of its own).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

void SetText(Display* display, Window window, const char* property, const char* type,
             const std::string& text) {
    XChangeProperty(display, window, XInternAtom(display, property, False),
                    XInternAtom(display, type, False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
}

Window Child(Display* display, Window parent) {
    const Window child = XCreateSimpleWindow(display, parent, 0, 0, 20, 20, 0, 0, 0);
    XMapWindow(display, child);
    return child;
}

} // namespace

int main(int argc, char** argv) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11_test_client: no display\n");
        return 2;
    }
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, 300,
                                              200, 0, 0, WhitePixel(display, 0));
    XClassHint hint{const_cast<char*>("tallywick-client"),
                    const_cast<char*>("TallywickTestClient")};
    XSetClassHint(display, window, &hint);
    XSelectInput(display, window, StructureNotifyMask);

    bool focus = false;
    bool children = false;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--pid" || option == "--fake-pid") {
            const long pid = option == "--pid" ? static_cast<long>(getpid()) : std::atol(argv[++i]);
            XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False),
                            XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&pid), 1);
        } else if (option == "--machine") {
            SetText(display, window, "WM_CLIENT_MACHINE", "STRING", value);
            ++i;
        } else if (option == "--delete") {
            Atom protocols[] = {deleteWindow};
            XSetWMProtocols(display, window, protocols, 1);
        } else if (option == "--name") {
            SetText(display, window, "WM_NAME", "STRING", value);
            ++i;
        } else if (option == "--net-name") {
            SetText(display, window, "_NET_WM_NAME", "UTF8_STRING", value);
            ++i;
        } else if (option == "--focus") {
            focus = true;
        } else if (option == "--children") {
            children = true;
        } else {
            std::fprintf(stderr, "x11_test_client: unknown option %s\n", option.c_str());
            return 2;
        }
    }

    std::string ids = "window " + std::to_string(window);
    if (children) {
        const Window first = Child(display, window);
        const Window grandchild = Child(display, first);
        const Window second = Child(display, window);
        ids += " " + std::to_string(first) + " " + std::to_string(grandchild) + " " +
               std::to_string(second);
    }
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.window == window) {
            break;
        }
    }
    if (focus) {
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    }
    XSync(display, False);
    std::printf("%s\n", ids.c_str());
    std::fflush(stdout);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.format == 32 &&
            static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
            XCloseDisplay(display);
            return 0;
        }
    }
}
