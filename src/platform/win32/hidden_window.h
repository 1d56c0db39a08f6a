#pragma once

#include <windows.h>

namespace tw {

// A hidden top-level window of our own with its own procedure, for what the system only
// tells top-level windows (power and setting broadcasts, the session's end). Not a
// message-only window: those receive no broadcasts. It has no taskbar button. Throws
// EOSError when it cannot be made.
HWND CreateHiddenWindow(const wchar_t* className, WNDPROC procedure);

} // namespace tw
