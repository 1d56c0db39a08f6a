#pragma once

#include "platform/desktop.h"
#include "platform/linux/atspi_client.h"
#include "platform/linux/browser_family.h"

#include <chrono>
#include <functional>
#include <map>
#include <string>

namespace tw {

// A browser window as the X server describes it, for finding it on the accessibility bus.
struct TBrowserWindow {
    unsigned long window = 0;
    TBrowserFamily family = TBrowserFamily::NotABrowser;
    long pid = -1;
    bool foreground = false;
    // Asked only when the window's place in the tree is looked up anew.
    std::function<std::string()> title;
    std::function<TScreenRect()> place;
};

struct TAddressRead {
    std::string address;
    TAddressProblem problem = TAddressProblem::NoProblem;
};

// A browser window's facts from what was read of it: its kind, the address as the program
// takes it (Firefox's only when it is a full address: what else it shows is no page's), or
// why there is none.
void PutAddressInto(TWindowFacts& facts, TBrowserFamily family, const TAddressRead& read);

// Reads the address a browser window shows, through the accessibility bus: the omnibox's
// text in the Chromium family (found by its role and its view class, never by its name,
// which is in the browser's language), the address of the page in front in Firefox (the
// document the window's frame embeds, so that text being typed into the address bar does
// not count). The path to the frame and the omnibox is kept per window, so that a window
// read before costs one or two round trips; a path that no longer leads anywhere is looked
// up again at once.
//
// One read waits at most ReadBudget in all. A browser that did not answer in time is not
// asked again for a moment, so that a pass over all its windows waits only once.
class TBrowserAddresses {
  public:
    static constexpr std::chrono::milliseconds ReadBudget{45};
    // A browser that left a call unanswered is not asked again for this long: longer than a
    // pass over all windows takes, shorter than the time between two scans.
    static constexpr std::chrono::milliseconds SilencePause{200};

    explicit TBrowserAddresses(TAtspiClient& client) : client_(client) {}

    TAddressRead Read(const TBrowserWindow& window);

  private:
    using TClock = std::chrono::steady_clock;
    struct TWindowPath {
        long pid = -1;
        TAtspiRef frame;
        TAtspiRef omnibox;
        TClock::time_point noOmniboxUntil{};
        int omniboxMisses = 0;
        TClock::time_point lastUsed{};
    };

    // One attempt along the kept path, looking up what is missing.
    TAtspiStatus ReadAlongPath(const TBrowserWindow& window, TWindowPath& path, TAddressRead& read,
                               TDeadline deadline);
    TAtspiStatus FindFrame(const TBrowserWindow& window, TWindowPath& path, TAddressRead& read,
                           TDeadline deadline);
    TAtspiStatus FindApplication(long pid, std::string& busName, TDeadline deadline);
    TAtspiStatus FindOmnibox(TWindowPath& path, TDeadline deadline);
    // Why a browser that is not on the accessibility bus is not there.
    TAddressProblem WhyNotRegistered(TDeadline deadline);
    void Forget(TClock::time_point now);

    TAtspiClient& client_;
    std::map<unsigned long, TWindowPath> paths_;
    // Bus names of the programs on the accessibility bus, with their processes.
    std::map<std::string, long> processes_;
    std::map<long, TClock::time_point> silentUntil_;
};

} // namespace tw
