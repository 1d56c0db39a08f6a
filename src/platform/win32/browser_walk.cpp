#include "platform/win32/browser_walk.h"

#include "platform/win32/address_search.h"
#include "platform/win32/win32_desktop.h"

#include <exception>

namespace tw {

namespace {

class TBrowserWalk {
  public:
    TBrowserWalk(TWin32Desktop& desktop, TWindowHandle window) : desktop_(desktop) {
        facts_.window = window;
    }

    TWindowFacts Run() {
        facts_.executablePath = desktop_.ExecutablePath(facts_.window);
        desktop_.EnumDescendants(facts_.window, [this](TWindowHandle c) { return Step(c); });
        return facts_;
    }

  private:
    // False ends the walk: the first browser class met decides.
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
