#pragma once

#include "platform/accessible.h"
#include "platform/desktop.h"
#include "platform/x11/browser_family.h"

#include <memory>
#include <string>

namespace tw {

// A browser window's address stands before the probe as the child window that browser has
// on the first system: a Chromium-family window holds an omnibox edit view whose text is the
// address, a Firefox window a content window whose accessibility object is the address
// field. The view's handle is the browser window's with this mark (X window ids use 29 bits).
constexpr TWindowHandle BrowserViewMark = TWindowHandle{1} << 40;

inline bool IsBrowserView(TWindowHandle handle) {
    return (handle & BrowserViewMark) != 0;
}
inline TWindowHandle BrowserViewOf(TWindowHandle window) {
    return window | BrowserViewMark;
}
inline TWindowHandle WindowOfBrowserView(TWindowHandle view) {
    return view & ~BrowserViewMark;
}

// The window class the view of a family goes by.
const char* BrowserViewClass(TBrowserFamily family);

// The accessibility object of a Firefox window's view: one editable-text object holding the
// address, with nothing below it.
std::shared_ptr<TAccessible> AddressFieldAccessible(const std::string& address);

} // namespace tw
