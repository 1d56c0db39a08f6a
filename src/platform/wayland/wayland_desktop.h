#pragma once

#include "platform/desktop.h"

#include <memory>
#include <string>

namespace tw {

class TCompositorWindows;
class TSessionNotices;
class TAtspiClient;
class TAccessibilitySwitch;
class TBrowserAddresses;
struct TCompositorWindow;

// The desktop of a Wayland session. Only the compositor knows which window has the focus
// and whose it is, so those answers come from the compositor's family (sway, KWin, GNOME
// Shell); everything else is the same as on X11: the executable from the process, browser
// addresses through the accessibility bus, suspend and locks from the session's services,
// shutdown through logind.
//
// Wayland has no global hot keys for an ordinary program, so no HotKey notice ever comes;
// and the compositor places the windows, so no taskbar or pager hint is set.
class TWaylandDesktop : public TDesktop {
  public:
    explicit TWaylandDesktop(std::unique_ptr<TCompositorWindows> compositor);
    ~TWaylandDesktop() override;

    const char* Name() const override;
    TWindowFacts WhatIsInFront() override;
    void DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) override;
    void PostCloseRequest(TWindowHandle window) override;
    void NeedAddresses(bool needed) override;
    void ShutdownComputer(int mode, int timeoutSeconds) override;
    std::unique_ptr<TInstanceLock> AcquireInstanceLock(const std::string& path) override;
    bool NextNotice(TDesktopNotice& notice) override;
    int LastNoticeCode() const override { return lastNoticeCode_; }
    int NoticeDescriptor() override { return noticeDescriptor_; }
    std::string LockDetectionProblem() override;
    std::string WindowsProblem() override;

  private:
    TWindowFacts Describe(const TCompositorWindow& window, TWindowHandle foreground);

    std::unique_ptr<TCompositorWindows> compositor_;
    std::unique_ptr<TSessionNotices> session_;
    int noticeDescriptor_ = -1;
    int compositorDescriptor_ = -1;
    int lastNoticeCode_ = 0;

    std::unique_ptr<TAtspiClient> atspi_;
    std::unique_ptr<TBrowserAddresses> addresses_;
    std::unique_ptr<TAccessibilitySwitch> accessibilitySwitch_;
};

} // namespace tw
