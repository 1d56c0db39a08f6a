#pragma once

#include <string>

namespace tw {

// Starting with the person's desktop session. On Linux an installed copy starts for every
// user through the system's autostart entry; each person may turn that off for their own
// account with an entry of the same name in their own autostart folder, the desktops' standard
// way. On Windows the installation is the person's own, and so is the value in their Run key
// that starts it: the installer's choice and the program's menu set the same value.

// The autostart entry's file name, in the system's and in the person's autostart folder.
inline constexpr char AutostartEntryName[] = "app.tallywick.Tallywick.desktop";
// The value under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, holding
// the quoted path of the executable.
inline constexpr char RunValueName[] = "Tallywick";

// Whether this system lets the program start with the session (on Linux desktops and
// Windows yes).
bool StartAtLoginAvailable();

// Whether the program starts at the person's next login. Linux: their own entry decides where
// there is one (Hidden=true means no), otherwise the first system entry found does. Windows:
// whether the Run value is there.
bool StartsAtLogin();

// Linux. On: removes the person's own entry where the system entry starts the program,
// otherwise writes an entry of their own that starts the given executable. Off: writes their
// own entry with Hidden=true. Throws tw::Exception naming the file when it cannot be written
// or removed; an existing entry is replaced whole or not at all.
// Windows. On: the Run value starts the given executable. Off: the value is removed. Throws
// tw::Exception naming the value when the registry refuses.
void SetStartAtLogin(bool on, const std::string& programPath);

// The person's autostart folder ($XDG_CONFIG_HOME/autostart, or ~/.config/autostart),
// with a trailing separator. Throws when the system names no home folder.
std::string UserAutostartFolder();

} // namespace tw
