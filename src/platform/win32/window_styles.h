#pragma once

#include "platform/desktop.h"

namespace tw {

// Takes a window off the taskbar: its extended style is read and written back with
// WS_EX_APPWINDOW cleared and WS_EX_TOOLWINDOW set. For the application's own hidden
// window, whose tray icon is its only face.
void RemoveTaskbarButton(TWindowHandle window);

} // namespace tw
