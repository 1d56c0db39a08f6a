#pragma once

#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace twtest {

// An X window id, without Xlib's macros in every test that looks at the screen.
using TXWindow = unsigned long;

struct TScreenRect {
    int x, y, width, height;
};

// A connection of the test's own to the X server, to look at programs' windows as the
// window manager and the user see them, and to act as the user does.
class TScreen {
  public:
    TScreen();
    ~TScreen();
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;
    bool Open() const { return display_ != nullptr; }

    // The viewable windows of a process with this title, anywhere in the tree (a window
    // manager puts clients into frames of its own).
    std::vector<TXWindow> WindowsOf(pid_t pid, const std::string& title);
    // The window manager's client windows of a process.
    std::vector<TXWindow> ClientsOf(pid_t pid);
    std::string Title(TXWindow window);

    // The window's place on the screen.
    TScreenRect Geometry(TXWindow window);
    TScreenRect ScreenSize();
    // The distinct colours of what the screen shows in the rectangle.
    std::set<unsigned long> Colours(const TScreenRect& area);

    // The window manager's state of the window (_NET_WM_STATE), as atom names.
    std::set<std::string> States(TXWindow window);

    // Asks the window to close, as a window manager's close button does.
    void Close(TXWindow window);
    // A click of the left mouse button at a point of the screen.
    void Click(int x, int y);
    // Gives the window the keyboard at once, with or without a window manager.
    void Focus(TXWindow window);
    // Brings the window to the front with the keyboard focus, as a click on its task-bar
    // button does.
    void Activate(TXWindow window);
    // The window the window manager says is active (0: none, or no window manager).
    TXWindow Active();
    // Presses and releases a key (an X key name such as "1" or "Return") with Control held
    // or not, on whatever window has the focus.
    void PressKey(const char* key, bool control = false);
    // Types letters and digits one key at a time.
    void Type(const std::string& text);

  private:
    // The windows a property of the root window lists.
    std::vector<TXWindow> RootWindows(const char* property);
    // A client message about the window, with its first datum, sent to a window.
    void Send(TXWindow window, const char* type, long first, TXWindow to, long mask);
    void Collect(TXWindow window, pid_t pid, const std::string& title,
                 std::vector<TXWindow>& found);
    pid_t Pid(TXWindow window);

    _XDisplay* display_;
};

} // namespace twtest
