#include "monitor/probe.h"

namespace tw {

const char* BrowserKindText(TBrowserKind kind) {
    switch (kind) {
    case TBrowserKind::InternetExplorer:
        return "MS Internet Explorer";
    case TBrowserKind::Firefox:
        return "Mozila FireFox";
    case TBrowserKind::Chrome:
        return "Google Chrome";
    case TBrowserKind::Opera:
        return "Opera";
    default:
        return "Desktop Application";
    }
}

} // namespace tw
