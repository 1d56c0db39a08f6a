#pragma once

#include "platform/wayland/compositor_windows.h"

#include <memory>
#include <string>

namespace tw {

// KWin's windows as our script inside it reports them, its scripts (windows.js,
// close_window.js) taken from the folder given; ConnectKWin() takes them from the program
// folder's "kwin" folder. Throws tw::Exception with the reason when KWin cannot be reached
// or refuses the script.
std::unique_ptr<TCompositorWindows> ConnectKWin(const std::string& scriptFolder);

} // namespace tw
