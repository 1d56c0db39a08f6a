#pragma once

#include "platform/browser_kind.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace tw {

// A top-level window of the desktop; 0 is no window.
using TWindowHandle = std::uint64_t;

// What the system tells the program between timer ticks.
enum class TDesktopNotice {
    Suspend,        // the computer is going to sleep
    Resume,         // it woke up
    SessionLock,    // locked, disconnected or logged off
    SessionUnlock,  // unlocked, connected or logged on
    WorkAreaChange, // the screen's work area moved (a panel or taskbar changed)
    HotKey,         // one press of the Alt hot key
    // Something the program needs to see the windows or the pages, that somebody switched off
    // (our script in the compositor, the session's accessibility), was switched on again. The
    // detail says so in the person's words; each is told once a run.
    SwitchedBackOn,
};

// One notice as the desktop hands it out: what happened, and for the log what the system
// itself said of it, where that tells more ("Code: 5", the power event that brought it).
struct TNotice {
    TNotice() = default;
    TNotice(TDesktopNotice whatHappened, std::string systemDetail = {})
        : what(whatHappened), detail(std::move(systemDetail)) {}

    TDesktopNotice what = TDesktopNotice::WorkAreaChange;
    std::string detail;
};

// How the computer goes down.
enum class TShutdownKind {
    Restart,
    PowerOff,
};

// Why the address of a browser window came back empty.
enum class TAddressProblem {
    NoProblem,                  // read, or there was none to read
    NoAccessibilityBus,         // the session offers no accessibility bus
    AccessibilityOff,           // the session's accessibility is switched off
    StartedBeforeAccessibility, // the browser started before accessibility was switched on
    NotAnswering,               // the browser did not answer in time (hung, or closing)
    NotFound,                   // the browser's tree holds no address bar or page we know
    BrowserAccessibilityOff,    // the browser itself keeps its accessibility switched off
};

// What the desktop knows about one top-level window, in the program's terms.
struct TWindowFacts {
    TWindowHandle window = 0;
    // Full path of the executable of the window's process: "Error: " + the system's text
    // when the process cannot be opened; empty when its path has no usable form (a volume
    // without a drive letter).
    std::string executablePath;
    TBrowserKind browser = TBrowserKind::Desktop;
    // The page address a browser shows, as the browser shows it (not always with a scheme).
    std::string address;
    // A browser window's title (empty for other windows, and where the system gives none):
    // while it stays, the page in front is taken to stay, whatever the address bar shows.
    std::string title;
    // Why a browser's address is empty; NoProblem where nothing went wrong.
    TAddressProblem addressProblem = TAddressProblem::NoProblem;
    // A failure met while reading the address, for the caller's error log: the facts above
    // were gathered before it and stand.
    std::exception_ptr readFailure;
};

// Everything the operating system must answer, in the program's own terms: the policy in
// monitor/ asks what is in front (or about every window, to close some) and decides; how a
// system tells a browser and its address apart stays in its backend. Each system has one
// backend; tests use a scripted fake that answers what the test sets.
class TDesktop {
  public:
    virtual ~TDesktop() = default;

    // Short name of the backend, for diagnostics ("x11", "wayland-sway", "win32", "fake").
    virtual const char* Name() const = 0;

    // Texts and paths are UTF-8, whatever the system speaks.

    // The window the user works in, described; window 0 (and nothing else) when there is none.
    virtual TWindowFacts WhatIsInFront() = 0;
    // Every top-level window in the system's order, each described as WhatIsInFront does,
    // until the callback returns false. A window that goes away meanwhile is described as
    // far as it still answers.
    virtual void DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) = 0;
    // Asks a window politely to close; nothing waits for the outcome.
    virtual void PostCloseRequest(TWindowHandle window) = 0;
    // Whether the program needs browser addresses (a website is listed), told at every scan
    // while they are. Where browsers show them only to a session whose accessibility is
    // switched on, the switch follows: on while needed, so that browsers started from then on
    // show them (switched on again when somebody turns it off meanwhile), and back as it was
    // found when no longer needed and when the desktop goes. Nothing where the system needs
    // no switch.
    virtual void NeedAddresses(bool needed) { (void)needed; }
    // Keeps one of the program's own windows off the taskbar (and the pager), whether it is
    // shown yet or not. Nothing where the window manager alone decides.
    virtual void KeepOffTaskbar(TWindowHandle window) { (void)window; }

    // Shuts the computer down or restarts it after timeoutSeconds, asking every program to
    // close first so that it can save its work (only one that hangs is ended unasked).
    // Throws tw::Exception with the system's text on refusal.
    virtual void ShutdownComputer(TShutdownKind kind, int timeoutSeconds) = 0;

    // Notices are collected by the backend and handed out on the caller's thread.
    // Returns false when there is none waiting.
    virtual bool NextNotice(TNotice& notice) = 0;
    // A file descriptor that becomes readable when notices may be waiting; -1 where there is
    // none (the loop then asks a few times a second, unless WakeOnNotices took its call).
    virtual int NoticeDescriptor() { return -1; }
    // Where notices come with the thread's window messages (Windows), the backend calls wake
    // whenever notices are waiting, from the message's dispatch by whatever loop runs this
    // thread's messages, and answers true; false where notices come otherwise. A loop that
    // takes the call handles the notices after the message, not inside wake.
    virtual bool WakeOnNotices(std::function<void()> wake) {
        (void)wake;
        return false;
    }
    // Why a lock of the session may go unnoticed here (a service or bus that could not be
    // reached); empty when every source of lock notices is heard.
    virtual std::string LockDetectionProblem() { return {}; }
    // Why the windows of this desktop, or some of them, cannot be seen (a compositor whose
    // windows only its own extension could show, and that refused it); empty when all can.
    // Time in front of an unseen window is not counted, which the person must be told.
    virtual std::string WindowsProblem() { return {}; }
};

// The backend of this system: on Linux the Wayland one of the session's compositor (sway,
// KWin, GNOME Shell), else the X11 one; the Win32 one on Windows. Throws tw::Exception
// when none can be started.
std::unique_ptr<TDesktop> CreateDesktop();

} // namespace tw
