#pragma once

#include "platform/desktop.h"

#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tw {

class TSessionNotices;
class TAtspiClient;
class TAccessibilitySwitch;
class TBrowserAddresses;
struct TBrowserWindow;

// What every Linux desktop does alike, whichever display server shows the windows: suspend
// and locks from the session's services (logind, the screen savers), shutdown through
// logind, browser addresses through the accessibility bus and its switch. A backend derives
// from it and adds what only its display server knows: the windows, and notices of its own.
class TLinuxSessionDesktop : public TDesktop {
  public:
    ~TLinuxSessionDesktop() override;

    // org.a11y.Status IsEnabled on the session bus (accessibility_switch.h).
    void NeedAddresses(bool needed) override;
    // Asks logind to power off or restart in timeoutSeconds (logged-in users are warned).
    void ShutdownComputer(TShutdownKind kind, int timeoutSeconds) override;
    // The backend's own notices first, then suspend/resume from logind, and lock/unlock from
    // logind's lock hint of this session and from the screen savers on the session bus, where
    // those buses are reachable.
    bool NextNotice(TNotice& notice) final;
    int NoticeDescriptor() override { return noticeDescriptor_; }
    std::string LockDetectionProblem() override;

  protected:
    TLinuxSessionDesktop();
    // The backend's own sources of notices, readable when it may have one: waited on beside
    // the session's. Called once, from the backend's constructor.
    void WaitAlsoOn(std::vector<int> sources);
    // A notice of the backend's own, asked before the session's.
    virtual bool NextOwnNotice(TNotice& notice) {
        (void)notice;
        return false;
    }
    // A browser's address read into its facts.
    void ReadAddress(TWindowFacts& facts, const TBrowserWindow& browser);
    // A notice the backend came upon while answering something else, handed out after the
    // others; the notice descriptor wakes for it. A SwitchedBackOn of a text told before is
    // told no more.
    void Announce(const TNotice& notice);

  private:
    std::unique_ptr<TSessionNotices> session_;
    int noticeDescriptor_ = -1;
    std::unique_ptr<TAtspiClient> atspi_;
    std::unique_ptr<TBrowserAddresses> addresses_;
    std::unique_ptr<TAccessibilitySwitch> accessibilitySwitch_;
    // Readable while announced notices wait.
    int announced_ = -1;
    std::deque<TNotice> announcements_;
    std::set<std::string> toldSwitchedBackOn_;
};

} // namespace tw
