#include "platform/fake/fake_browsers.h"

#include "platform/fake/fake_accessible.h"

namespace tw {

namespace {
TWindowHandle AddAccessibleBrowser(TFakeDesktop& desktop, const std::string& exePath,
                                   const std::string& className,
                                   std::shared_ptr<TFakeAccessible> addressField) {
    TWindowHandle frame = desktop.AddWindow("BrowserFrame", TFakeProcess::Path(exePath));
    TWindowHandle content = desktop.AddChild(frame, className);
    auto root = TFakeAccessible::Make();
    auto toolbar = root->Add(TFakeAccessible::Make(TAccVariant::Number(22)));
    toolbar->Add(TFakeAccessible::Make(TAccVariant::Number(43), "Back"));
    toolbar->Add(std::move(addressField));
    desktop.SetAccessible(content, root);
    return frame;
}
} // namespace

TWindowHandle AddEditorWindow(TFakeDesktop& desktop, const std::string& exePath,
                              const std::string& text) {
    TWindowHandle frame = desktop.AddWindow("EditorFrame", TFakeProcess::Path(exePath));
    desktop.AddChild(frame, "Edit", text);
    return frame;
}

TWindowHandle AddInternetExplorerWindow(TFakeDesktop& desktop, const std::string& exePath,
                                        const std::string& address) {
    TWindowHandle frame = desktop.AddWindow("BrowserFrame", TFakeProcess::Path(exePath));
    TWindowHandle bar = desktop.AddChild(frame, "ToolbarWindow");
    TWindowHandle band = desktop.AddChild(bar, "Address Band Root");
    desktop.AddChild(band, "Edit", address);
    return frame;
}

TWindowHandle AddMozillaWindow(TFakeDesktop& desktop, const std::string& exePath,
                               const std::string& address) {
    return AddAccessibleBrowser(desktop, exePath, "MozillaWindowClass",
                                TFakeAccessible::AddressField(address));
}

TWindowHandle AddChromeWindow(TFakeDesktop& desktop, const std::string& exePath,
                              const std::string& omniboxText) {
    TWindowHandle frame = desktop.AddWindow("BrowserFrame", TFakeProcess::Path(exePath));
    desktop.AddChild(frame, "Chrome_AutocompleteEditView", omniboxText);
    return frame;
}

TWindowHandle AddOperaWindow(TFakeDesktop& desktop, const std::string& exePath,
                             const std::string& address) {
    return AddAccessibleBrowser(
        desktop, exePath, "OperaWindowClass",
        TFakeAccessible::AddressField(address, TAccessible::StateFocusableHotTracked));
}

} // namespace tw
