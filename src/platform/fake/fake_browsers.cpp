#include "platform/fake/fake_browsers.h"

namespace tw {

TWindowHandle AddEditorWindow(TFakeDesktop& desktop, const std::string& exePath) {
    return desktop.AddWindow(TFakeProcess::Path(exePath));
}

TWindowHandle AddChromeWindow(TFakeDesktop& desktop, const std::string& exePath,
                              const std::string& omniboxText) {
    return desktop.AddWindow(TFakeProcess::Path(exePath), TBrowserKind::Chrome, omniboxText);
}

} // namespace tw
