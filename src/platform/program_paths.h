#pragma once

#include <string>

namespace tw {

// Separator between folder names on this system.
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// Full path of the running executable, found once from the system (not from argv).
const std::string& ProgramPath();
// The folder of the files an executable ships with (template databases, Skins) and where an
// uninstaller puts its marker, with a trailing separator. In an installed copy that is the
// shared-data folder beside the executable's (bin/../share/tallywick), found relative to
// the executable so that any install prefix works; elsewhere (a build tree, a copy whose
// files lie beside it) it is the executable's own folder.
std::string ProgramFolder(const std::string& programPath);
// File name of an executable without its extension.
std::string ProgramBaseName(const std::string& programPath);

// The user's per-user application-data folder (roaming application data on Windows,
// the XDG data home on Linux), without a trailing separator. Throws tw::Exception
// "Failed to get Application Data folder" when the system cannot name one.
std::string UserAppDataFolder();

#ifndef _WIN32
// The user's home folder ($HOME, else the user database's), or empty when there is none.
std::string UserHomeFolder();
#endif

} // namespace tw
