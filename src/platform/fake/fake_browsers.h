#pragma once

#include "platform/fake/fake_desktop.h"

#include <string>

namespace tw {

// Top-level windows of the kinds tests need most, for tests that need "a program" or "a
// browser showing this address" rather than how the desktop tells them apart.

// A plain program.
TWindowHandle AddEditorWindow(TFakeDesktop& desktop, const std::string& exePath);
// A Chrome window whose address bar holds the text as typed (often without a scheme).
TWindowHandle AddChromeWindow(TFakeDesktop& desktop, const std::string& exePath,
                              const std::string& omniboxText);

} // namespace tw
