#pragma once

#include "platform/wayland/compositor_windows.h"

#include <memory>

namespace tw {

// Each connects to the compositor family of this session, found through the environment
// (SWAYSOCK; the session bus for KWin and GNOME Shell). Throws tw::Exception with the reason
// when the compositor cannot be reached.
std::unique_ptr<TCompositorWindows> ConnectSway();
std::unique_ptr<TCompositorWindows> ConnectKWin();
std::unique_ptr<TCompositorWindows> ConnectGnomeShell();

} // namespace tw
