#pragma once

#include <string>
#include <systemd/sd-bus.h>

namespace tw {

// Our extension's id, under which GNOME Shell finds it in share/gnome-shell/extensions.
inline constexpr const char* GnomeExtensionUuid = TALLYWICK_GNOME_EXTENSION_UUID;

// The file beside the extension that names the one executable it answers.
inline constexpr const char* GnomeExtensionAllowedFile = "executable";

// Turns our GNOME Shell extension on for this user when it is not on yet, and waits a moment
// for the shell to start it. Returns why Tallywick cannot see windows on this desktop when
// GNOME Shell refuses or cannot run it, as a reason the notice completes (no final stop);
// empty when it runs.
// Before that, points an extension installed in the user's own data folder at this program,
// so that it answers this program and no other.
std::string EnableGnomeExtension(sd_bus* bus);

// The extension is installed and the shell would run it, but it is off (turned off by hand,
// or never turned on).
bool GnomeExtensionTurnedOff(sd_bus* bus);

// Turns it off for this user, so that it runs only while this program does.
void DisableGnomeExtension(sd_bus* bus);

} // namespace tw
