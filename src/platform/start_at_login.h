#pragma once

#include <string>

namespace tw {

// Starting with the person's desktop session. An installed copy starts for every user
// through the system's autostart entry; each person may turn that off for their own account
// with an entry of the same name in their own autostart folder, the desktops' standard way.

// The autostart entry's file name, in the system's and in the person's autostart folder.
inline constexpr char AutostartEntryName[] = "app.tallywick.Tallywick.desktop";

// Whether this system lets the program start with the session (on Linux desktops yes).
bool StartAtLoginAvailable();

// Whether the program starts at the person's next login: their own entry decides where
// there is one (Hidden=true means no), otherwise the first system entry found does.
bool StartsAtLogin();

// On: removes the person's own entry where the system entry starts the program, otherwise
// writes an entry of their own that starts the given executable. Off: writes their own entry
// with Hidden=true. Throws tw::Exception naming the file when it cannot be written or
// removed; an existing entry is replaced whole or not at all.
void SetStartAtLogin(bool on, const std::string& programPath);

// The person's autostart folder ($XDG_CONFIG_HOME/autostart, or ~/.config/autostart),
// with a trailing separator. Throws when the system names no home folder.
std::string UserAutostartFolder();

} // namespace tw
