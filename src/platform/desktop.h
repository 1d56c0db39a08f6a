#pragma once

#include "platform/accessible.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tw {

// A top-level or child window of the desktop; 0 is no window.
using TWindowHandle = std::uint64_t;

// What the system tells the program between timer ticks.
enum class TDesktopNotice {
    Suspend,        // the computer is going to sleep
    Resume,         // it woke up
    SessionLock,    // locked, disconnected or logged off
    SessionUnlock,  // unlocked, connected or logged on
    WorkAreaChange, // the screen's work area moved (a panel or taskbar changed)
    HotKey,         // one press of the Alt hot key
};

// Why the address of a browser window came back empty.
enum class TAddressProblem {
    NoProblem,                  // read, or there was none to read
    NoAccessibilityBus,         // the session offers no accessibility bus
    AccessibilityOff,           // the session's accessibility is switched off
    StartedBeforeAccessibility, // the browser started before accessibility was switched on
    NotAnswering,               // the browser did not answer in time (hung, or closing)
    NotFound,                   // the browser's tree holds no address bar or page we know
};

// An exclusive lock on the instance lock file, held while the object lives.
class TInstanceLock {
  public:
    virtual ~TInstanceLock() = default;
    // Closes the lock and deletes the lock file.
    virtual void Release() = 0;
};

// Everything the operating system must answer. The probe and the engine are written once
// against this; each system has one backend, and tests use a scripted fake.
class TDesktop {
  public:
    virtual ~TDesktop() = default;

    // Short name of the backend, for diagnostics ("x11", "win32", "fake").
    virtual const char* Name() const = 0;

    // The window the user works in; 0 when there is none.
    virtual TWindowHandle ForegroundWindow() = 0;
    // Top-level windows in the system's order, until the callback returns false.
    virtual void EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit) = 0;
    // All descendants of a window, depth-first in the system's order, until the callback
    // returns false.
    virtual void EnumDescendants(TWindowHandle window,
                                 const std::function<bool(TWindowHandle)>& visit) = 0;
    // Texts and paths are UTF-8, whatever the system speaks.

    // Class name of a window (at most 259 characters); empty when it cannot be read.
    virtual std::string ClassName(TWindowHandle window) = 0;
    // Text of a window, as an edit control answers it (at most 1023 characters).
    virtual std::string WindowText(TWindowHandle window) = 0;
    // Full path of the executable of the window's process: "Error: " + the system's text
    // when the process cannot be opened; empty when its path has no usable form (a volume
    // without a drive letter).
    virtual std::string ExecutablePath(TWindowHandle window) = 0;
    // The accessibility object of a window; null when it has none or the call fails.
    virtual std::shared_ptr<TAccessible> AccessibleObject(TWindowHandle window) = 0;
    // Asks a window politely to close; nothing waits for the outcome.
    virtual void PostCloseRequest(TWindowHandle window) = 0;
    // Why a browser descendant whose address was just asked for (its text or its
    // accessibility object) gave none; NoProblem where nothing went wrong.
    virtual TAddressProblem AddressProblem(TWindowHandle) { return TAddressProblem::NoProblem; }
    // Switches the session's accessibility on, so that browsers started from now on show
    // their addresses; nothing where the system needs no such switch. Never waits.
    virtual void SwitchOnAccessibility() {}
    // Keeps one of the program's own windows out of the taskbar (and the pager), whether it
    // is shown yet or not. Where the toolkit already does so (Windows) this does nothing.
    virtual void KeepOffTaskbar(TWindowHandle) {}

    // Shuts the computer down (mode 1) or restarts it (mode 0), forcing programs closed,
    // after timeoutSeconds. Throws tw::Exception with the system's text on refusal.
    virtual void ShutdownComputer(int mode, int timeoutSeconds) = 0;

    // Takes the program's main window off the taskbar, where its tray icon is its face.
    // Nothing where the window manager alone decides.
    virtual void RemoveTaskbarButton(TWindowHandle window) { (void)window; }

    // Takes the exclusive lock on the file, creating it when missing. Null when another
    // process holds it. Throws tw::Exception "Unable to create \"path\" file\r\nError: text"
    // when the file cannot be created.
    virtual std::unique_ptr<TInstanceLock> AcquireInstanceLock(const std::string& path) = 0;

    // Notices are collected by the backend and handed out on the caller's thread.
    // Returns false when there is none waiting.
    virtual bool NextNotice(TDesktopNotice& notice) = 0;
    // The system's own code of the sleep or wake notice NextNotice handed out last, for the
    // log (Windows: the power broadcast's event; X11: the same numbers for logind's sleep,
    // 4, and wake, 7, so that logs read alike); 0 for other notices.
    virtual int LastNoticeCode() const { return 0; }
    // A file descriptor that becomes readable when notices may be waiting (-1: poll, unless
    // they come as messages).
    virtual int NoticeDescriptor() { return -1; }
    // Why a lock of the session may go unnoticed here (a service or bus that could not be
    // reached); empty when every source of lock notices is heard.
    virtual std::string LockDetectionProblem() { return {}; }
    // Backends whose notices come with the thread's window messages (Windows) say so: a loop
    // that handles those messages needs neither a descriptor nor polling. A GUI toolkit's
    // native event filter asks NoticesAnnouncedBy of each message its loop takes (Windows:
    // a MSG); a loop of our own wakes for every message and then asks NextNotice.
    virtual bool NoticesComeAsMessages() const { return false; }
    virtual bool NoticesAnnouncedBy(const void* nativeMessage) const {
        (void)nativeMessage;
        return false;
    }
};

// The backend of this system: the X11 one when a display is reachable on Linux, the
// Win32 one on Windows. Throws tw::Exception when none can be started.
std::unique_ptr<TDesktop> CreateDesktop();

} // namespace tw
