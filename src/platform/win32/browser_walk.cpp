#include "platform/win32/browser_walk.h"

#include "base/text.h"
#include "platform/win32/address_search.h"
#include "platform/win32/browser_addresses.h"
#include "platform/win32/win32_desktop.h"

#include <exception>

namespace tw {

namespace {

// The Chromium family shares one window class with every program built on its toolkit;
// the program tells the browsers apart from the rest.
TBrowserKind ChromiumKindOf(const std::string& executablePath) {
    static const struct {
        const char* program;
        TBrowserKind kind;
    } programs[] = {{"chrome.exe", TBrowserKind::Chrome},
                    {"msedge.exe", TBrowserKind::Edge},
                    {"brave.exe", TBrowserKind::Brave},
                    {"opera.exe", TBrowserKind::Opera},
                    {"vivaldi.exe", TBrowserKind::Vivaldi}};
    const std::string::size_type slash = executablePath.find_last_of("\\/");
    const std::string name =
        slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
    for (const auto& each : programs) {
        if (SameText(name, each.program)) {
            return each.kind;
        }
    }
    return TBrowserKind::Desktop;
}

class TBrowserWalk {
  public:
    TBrowserWalk(TWin32Desktop& desktop, TWindowHandle window) : desktop_(desktop) {
        facts_.window = window;
    }

    TWindowFacts Run() {
        facts_.executablePath = desktop_.ExecutablePath(facts_.window);
        const std::string className = desktop_.ClassName(facts_.window);
        if (className == "Chrome_WidgetWin_1") {
            facts_.browser = ChromiumKindOf(facts_.executablePath);
            if (facts_.browser != TBrowserKind::Desktop) {
                if (!desktop_.IsShown(facts_.window)) {
                    return facts_; // the browser's hidden helper windows show no page
                }
                Take(desktop_.BrowserAddresses().ReadChromium(
                    facts_.window, desktop_.ProcessOf(facts_.window), facts_.browser));
                return facts_;
            }
        } else if (className == "MozillaWindowClass") {
            facts_.browser = TBrowserKind::Firefox;
            if (!desktop_.IsShown(facts_.window)) {
                return facts_;
            }
            Take(desktop_.BrowserAddresses().ReadFirefox(facts_.window,
                                                         desktop_.ProcessOf(facts_.window)));
            return facts_;
        }
        desktop_.EnumDescendants(facts_.window, [this](TWindowHandle c) { return Step(c); });
        return facts_;
    }

  private:
    void Take(TBrowserRead read) {
        facts_.title = desktop_.WindowText(facts_.window);
        facts_.address = std::move(read.address);
        facts_.addressProblem = facts_.address.empty() ? read.problem : TAddressProblem::NoProblem;
    }

    // False ends the walk: the first browser class met decides. These are the windows of
    // older browsers, which showed their addresses in windows of their own.
    bool Step(TWindowHandle child) {
        const std::string className = desktop_.ClassName(child);
        if (className == "MozillaWindowClass") {
            facts_.browser = TBrowserKind::Firefox;
            SearchTree(child);
            return false;
        }
        if (className == "OperaWindowClass") {
            facts_.browser = TBrowserKind::Opera;
            SearchTree(child);
            return false;
        }
        if (className == "Chrome_AutocompleteEditView") {
            facts_.browser = TBrowserKind::Chrome;
            facts_.address = desktop_.WindowText(child);
            return false;
        }
        if (className == "Edit" && facts_.browser == TBrowserKind::InternetExplorer) {
            // The first edit after the address band holds the address, even when empty.
            facts_.address = desktop_.WindowText(child);
            return false;
        }
        if (className == "AddressDisplay Control" || className == "Address Band Root") {
            facts_.browser = TBrowserKind::InternetExplorer;
        }
        return true;
    }

    void SearchTree(TWindowHandle child) {
        const std::shared_ptr<TAccessible> root = desktop_.AccessibleObject(child);
        if (!root) {
            return;
        }
        // A broken child enumeration costs this window its address only; the caller reports
        // it, and a close-all pass still asks the remaining windows.
        try {
            if (auto address = FindAddressField(root, facts_.browser)) {
                facts_.address = std::move(*address);
            }
        } catch (const std::exception&) {
            facts_.readFailure = std::current_exception();
        }
    }

    TWin32Desktop& desktop_;
    TWindowFacts facts_;
};

} // namespace

TWindowFacts DescribeWin32Window(TWin32Desktop& desktop, TWindowHandle window) {
    return TBrowserWalk(desktop, window).Run();
}

} // namespace tw
