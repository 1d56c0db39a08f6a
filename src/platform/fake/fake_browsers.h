#pragma once

#include "platform/fake/fake_desktop.h"

#include <string>

namespace tw {

// Top-level windows shaped the way the probe recognises each kind of program, for tests
// that need "a browser showing this address" rather than the details of its window tree.

// A plain program whose main child is an edit control.
TWindowHandle AddEditorWindow(TFakeDesktop& desktop, const std::string& exePath,
                              const std::string& text = {});
// A frame, an address band and its edit control holding the address.
TWindowHandle AddInternetExplorerWindow(TFakeDesktop& desktop, const std::string& exePath,
                                        const std::string& address);
// A content window whose accessibility tree holds the address field two levels down.
TWindowHandle AddMozillaWindow(TFakeDesktop& desktop, const std::string& exePath,
                               const std::string& address);
// An omnibox edit view holding the text as typed (often without a scheme).
TWindowHandle AddChromeWindow(TFakeDesktop& desktop, const std::string& exePath,
                              const std::string& omniboxText);
// Like the Mozilla window, with the address field focusable and hot-tracked.
TWindowHandle AddOperaWindow(TFakeDesktop& desktop, const std::string& exePath,
                             const std::string& address);

} // namespace tw
