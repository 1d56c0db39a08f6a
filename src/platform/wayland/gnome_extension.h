#pragma once

#include <string>
#include <systemd/sd-bus.h>

namespace tw {

// Our extension's id, under which GNOME Shell finds it in share/gnome-shell/extensions.
inline constexpr const char* GnomeExtensionUuid = TALLYWICK_GNOME_EXTENSION_UUID;

// Turns our GNOME Shell extension on for this user when it is not on yet, and waits a moment
// for the shell to start it. Returns why Tallywick cannot see windows on this desktop when
// GNOME Shell refuses or cannot run it, as a reason the notice completes (no final stop);
// empty when it runs.
std::string EnableGnomeExtension(sd_bus* bus);

} // namespace tw
