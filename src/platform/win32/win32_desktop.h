#pragma once

#include "platform/desktop.h"

#include <memory>

namespace tw {

class TWin32Notices;

// The Windows desktop, through the window manager's, process and accessibility calls
// of the system itself. Created on the GUI thread, which it initialises for COM.
class TWin32Desktop : public TDesktop {
  public:
    TWin32Desktop();
    ~TWin32Desktop() override;

    const char* Name() const override { return "win32"; }

    TWindowHandle ForegroundWindow() override;
    void EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit) override;
    void EnumDescendants(TWindowHandle window,
                         const std::function<bool(TWindowHandle)>& visit) override;
    std::string ClassName(TWindowHandle window) override;
    // WM_GETTEXT with room for 1023 characters. A window that has stopped answering
    // messages gives an empty text instead of stopping the scan with it.
    std::string WindowText(TWindowHandle window) override;
    std::string ExecutablePath(TWindowHandle window) override;
    std::shared_ptr<TAccessible> AccessibleObject(TWindowHandle window) override;
    void PostCloseRequest(TWindowHandle window) override;
    void ShutdownComputer(int mode, int timeoutSeconds) override;
    void RemoveTaskbarButton(TWindowHandle window) override;
    std::unique_ptr<TInstanceLock> AcquireInstanceLock(const std::string& path) override;
    bool NextNotice(TDesktopNotice& notice) override;
    int LastNoticeCode() const override;
    // The hidden window posts itself a message whenever it has queued a notice.
    bool NoticesComeAsMessages() const override { return true; }
    bool NoticesAnnouncedBy(const void* nativeMessage) const override;

    // The hidden window the system's notices arrive at.
    TWindowHandle NoticeWindow() const;

  private:
    std::unique_ptr<TWin32Notices> notices_;
    bool comInitialized_ = false;
};

} // namespace tw
