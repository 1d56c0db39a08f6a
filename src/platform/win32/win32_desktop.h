#pragma once

#include "platform/desktop.h"
#include "platform/win32/accessible.h"
#include "platform/win32/browser_addresses.h"

#include <functional>
#include <memory>
#include <string>

namespace tw {

class TWin32Notices;

// The Windows desktop, through the window manager's, process and accessibility calls
// of the system itself. Created on the GUI thread, which it initialises for COM.
class TWin32Desktop : public TDesktop {
  public:
    TWin32Desktop();
    ~TWin32Desktop() override;

    const char* Name() const override { return "win32"; }

    // Described by the browser walk (browser_walk.h).
    TWindowFacts WhatIsInFront() override;
    void DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) override;

    // The system's calls the walk is made of. An exception thrown by a callback stops the
    // enumeration and comes out of it.
    void EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit);
    void EnumDescendants(TWindowHandle window, const std::function<bool(TWindowHandle)>& visit);
    // At most 259 characters; empty when it cannot be read.
    std::string ClassName(TWindowHandle window);
    // WM_GETTEXT with room for 1023 characters. A window that has stopped answering
    // messages gives an empty text instead of stopping the scan with it.
    std::string WindowText(TWindowHandle window);
    // As TWindowFacts::executablePath says.
    std::string ExecutablePath(TWindowHandle window);
    // The id of the window's process; 0 when the window is gone.
    unsigned long ProcessOf(TWindowHandle window);
    bool IsShown(TWindowHandle window);
    // What is remembered of browser windows from one scan to the next.
    TWin32BrowserAddresses& BrowserAddresses() { return addresses_; }
    // The window's object for OBJID_WINDOW; null when it has none or the call fails.
    std::shared_ptr<TAccessible> AccessibleObject(TWindowHandle window);
    void PostCloseRequest(TWindowHandle window) override;
    void ShutdownComputer(TShutdownKind kind, int timeoutSeconds) override;
    // The window's extended style loses WS_EX_APPWINDOW and takes WS_EX_TOOLWINDOW.
    void KeepOffTaskbar(TWindowHandle window) override;
    // A suspend or resume carries its power event as "Code: n".
    bool NextNotice(TNotice& notice) override;
    // The hidden window posts itself a message whenever it has queued a notice, and calls
    // wake when that message is dispatched.
    bool WakeOnNotices(std::function<void()> wake) override;

    // The hidden window the system's notices arrive at.
    TWindowHandle NoticeWindow() const;

  private:
    std::unique_ptr<TWin32Notices> notices_;
    bool comInitialized_ = false;
    TWin32BrowserAddresses addresses_;
};

} // namespace tw
