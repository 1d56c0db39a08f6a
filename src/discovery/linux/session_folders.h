#pragma once

#include <string>
#include <vector>

namespace tw {

// Where this session keeps menu entries and programs. The sources take it as a value, so
// that a prepared tree can stand in for the system's.
struct TSessionFolders {
    std::string Home;
    std::string DataHome;              // XDG_DATA_HOME
    std::vector<std::string> DataDirs; // XDG_DATA_DIRS, in order
    std::string SearchPath;            // PATH
    std::string Locale;                // of messages: LC_ALL, LC_MESSAGES or LANG
    std::string SystemFlatpak = "/var/lib/flatpak";
    std::string SnapRoot = "/snap";
    std::vector<std::string> SystemProgramFolders{"/usr/bin", "/usr/local/bin", "/opt"};

    // The user's flatpak installation.
    std::string UserFlatpak() const { return DataHome + "/flatpak"; }
    // The data folders whose "applications" hold menu entries: the user's, then the
    // system's in their order, then flatpak's exported ones (the user's first) where the
    // session left them out.
    std::vector<std::string> MenuDataFolders() const;
};

// The absolute folders of a ":"-separated list (PATH, XDG_DATA_DIRS), without trailing
// "/"; empty and relative entries are left out.
std::vector<std::string> AbsoluteFolders(const std::string& list);

// The folders as the environment names them, with the defaults of the XDG base directory
// rules where it names none (relative entries are ignored, as those rules say).
TSessionFolders SessionFoldersFromEnvironment();

} // namespace tw
