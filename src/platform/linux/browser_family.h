#pragma once

#include <string>

namespace tw {

// The two families of browsers whose addresses are read: everything built on Chromium
// (Chromium, Google Chrome, Brave, Edge, Vivaldi, Opera) shows the address in its omnibox,
// Firefox in its page's document.
enum class TBrowserFamily { NotABrowser, Chromium, Mozilla };

// Which family a window belongs to, by its program's executable path, else by the class
// part of its WM_CLASS (a browser in a sandbox may not show its real executable).
TBrowserFamily BrowserFamilyOf(const std::string& executable, const std::string& windowClass);

} // namespace tw
