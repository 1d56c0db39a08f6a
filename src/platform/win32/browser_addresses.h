#pragma once

#include "platform/browser_kind.h"
#include "platform/desktop.h"
#include "platform/win32/accessible.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace tw {

struct TBrowserRead {
    std::string address;
    TAddressProblem problem = TAddressProblem::NoProblem;
};

// Reads the addresses of today's browser windows through their accessibility objects, and
// remembers per window what it found so that the next scan costs a few calls:
// - the Chromium family: the address bar's text, while the bar has the focus the last address
//   read instead (the person is typing, and typed text is no page);
// - Firefox: the value of the document its root embeds, the page's full address.
// One read waits at most ReadBudget; a browser that did not answer in time is left alone for
// SilencePause, so that a pass over all its windows waits only once.
class TWin32BrowserAddresses {
  public:
    using TClock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds ReadBudget{200};
    static constexpr std::chrono::milliseconds SilencePause{1000};
    // Firefox's first call may fail while its accessibility starts; this many failed scans
    // in a row mean it is switched off.
    static constexpr int FailuresMeaningOff = 3;

    // How the window's client object is reached: null when the window did not answer within
    // the milliseconds given. standard is set when the window has no object of its own.
    using TClientSource = std::function<std::shared_ptr<TAccessible>(
        TWindowHandle window, unsigned timeoutMs, bool& standard)>;

    explicit TWin32BrowserAddresses(TClientSource client,
                                    std::function<TClock::time_point()> now = TClock::now)
        : client_(std::move(client)), now_(std::move(now)) {}

    TBrowserRead ReadChromium(TWindowHandle window, unsigned long processId, TBrowserKind kind);
    TBrowserRead ReadFirefox(TWindowHandle window, unsigned long processId);

  private:
    struct TWindowState {
        unsigned long processId = 0;
        std::shared_ptr<TAccessible> object; // the address bar, or Firefox's root
        std::string lastAddress;
        int failures = 0;
        TClock::time_point noSearchUntil{};
        TClock::time_point lastUsed{};
    };

    // The window's state, fresh when it is new or its process changed; false when its browser
    // is being left alone.
    bool Begin(TWindowHandle window, unsigned long processId, TWindowState*& state,
               TClock::time_point now);
    std::shared_ptr<TAccessible> Client(TWindowHandle window, TClock::time_point deadline,
                                        bool& standard);
    TBrowserRead NotAnswering(unsigned long processId);
    void LeaveAloneIfSlow(unsigned long processId, TClock::time_point start);

    TClientSource client_;
    std::function<TClock::time_point()> now_;
    std::map<TWindowHandle, TWindowState> windows_;
    std::map<unsigned long, TClock::time_point> silentUntil_;
};

} // namespace tw
