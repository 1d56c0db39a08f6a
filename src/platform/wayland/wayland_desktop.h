#pragma once

#include "platform/linux/session_desktop.h"

#include <memory>
#include <string>

namespace tw {

class TCompositorWindows;
struct TCompositorWindow;

// The desktop of a Wayland session. Only the compositor knows which window has the focus
// and whose it is, so those answers come from the compositor's family (sway, KWin, GNOME
// Shell); everything else is the same as on X11: the executable from the process, browser
// addresses through the accessibility bus, suspend and locks from the session's services,
// shutdown through logind.
//
// Wayland has no global hot keys for an ordinary program, so no HotKey notice ever comes;
// and the compositor places the windows, so no taskbar or pager hint is set.
class TWaylandDesktop : public TLinuxSessionDesktop {
  public:
    explicit TWaylandDesktop(std::unique_ptr<TCompositorWindows> compositor);
    ~TWaylandDesktop() override;

    const char* Name() const override;
    TWindowFacts WhatIsInFront() override;
    void DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) override;
    void PostCloseRequest(TWindowHandle window) override;
    std::string WindowsProblem() override;

  protected:
    // The compositor's connection is read on the way (its answers, and its going away);
    // it brings no notices of its own.
    bool NextOwnNotice(TNotice& notice) override;

  private:
    TWindowFacts Describe(const TCompositorWindow& window, TWindowHandle foreground);

    std::unique_ptr<TCompositorWindows> compositor_;
    int compositorDescriptor_ = -1;
};

} // namespace tw
