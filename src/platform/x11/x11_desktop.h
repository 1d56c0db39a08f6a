#pragma once

#include "platform/linux/session_desktop.h"

#include <memory>
#include <string>

namespace tw {

class TX11Connection;
class TX11Notices;
struct TScreenRect;

// The desktop of an X11 session. With an EWMH window manager the windows are the managed
// client windows (never the manager's frames); without one, the mapped children of the
// root that name a WM_CLASS, which is how every ordinary program marks its main windows
// (override-redirect menus and tool-tips are left out).
//
// A window is a browser by its process's executable, else its WM_CLASS (browser_family.h);
// a browser's address is read through the accessibility bus (browser_address.h).
//
// Every call throws tw::Exception("X display connection lost") once the X server has gone
// away; until then a window that vanishes mid-probe simply answers nothing.
class TX11Desktop : public TLinuxSessionDesktop {
  public:
    // Connects to the display (empty: $DISPLAY). Throws tw::Exception when it is not
    // reachable.
    explicit TX11Desktop(const std::string& displayName = "");
    ~TX11Desktop() override;

    const char* Name() const override { return "x11"; }

    // The foreground window described; its address read only when it is a browser.
    TWindowFacts WhatIsInFront() override;
    void DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) override;

    // The calls below answer the parts of a description, and the tests.

    // The active window of the window manager; without one, the top-level window holding
    // the input focus (or under the pointer while the focus follows the pointer).
    TWindowHandle ForegroundWindow();
    // With a window manager its client list, oldest window first; without one, the root's
    // children bottom to top.
    void EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit);
    // The class part of WM_CLASS (the second string, "XTerm" for an xterm): it names the
    // program whatever instance name it was started with. At most 259 bytes.
    std::string ClassName(TWindowHandle window);
    // _NET_WM_NAME, else WM_NAME, in UTF-8, at most 1023 bytes.
    std::string WindowText(TWindowHandle window);
    // The owner's process from the server's own record of its local clients (X-Resource),
    // else, where the server cannot tell, from _NET_WM_PID (trusted only when
    // WM_CLIENT_MACHINE names this machine), then its executable from /proc. "Error: No such
    // process" when no local process is known.
    std::string ExecutablePath(TWindowHandle window);
    // Only windows that accept WM_DELETE_WINDOW are asked, through the window manager's
    // _NET_CLOSE_WINDOW when it offers it. A window that does not accept the request is left
    // alone: a window manager would kill its client for it, which takes every other window
    // of that program with it, unsaved work included.
    void PostCloseRequest(TWindowHandle window) override;
    // _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER: set on a window not shown yet (the toolkit
    // keeps what it finds there when it shows it), asked of the window manager for one shown.
    void KeepOffTaskbar(TWindowHandle window) override;

    // Whether an EWMH window manager is running right now.
    bool WindowManagerRunning();

  protected:
    // Work-area changes (_NET_WORKAREA of the root) and Alt presses (XInput2 raw key events),
    // before the session's notices.
    bool NextOwnNotice(TNotice& notice) override;

  private:
    bool WindowManagerSupports(const char* hint);
    TWindowHandle FocusedTopLevel();
    unsigned long ClientOf(unsigned long topLevel);
    long ProcessOf(unsigned long window);
    TScreenRect PlaceOf(unsigned long window);
    // foreground: the window in front when the caller has just asked, else 0.
    TWindowFacts Describe(TWindowHandle window, TWindowHandle foreground);

    std::unique_ptr<TX11Connection> connection_;
    std::unique_ptr<TX11Notices> notices_;
    bool hasClientIds_ = false;
};

} // namespace tw
