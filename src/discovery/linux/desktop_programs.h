#pragma once

#include "discovery/linux/session_folders.h"

#include <map>
#include <string>
#include <vector>

namespace tw {

// The Fast scan: a line "path=caption" for each application the menu shows, where path is
// the executable that runs when it is started (as /proc/PID/exe names it) and caption its
// Name in the session's language. Entries are taken in the order of the data folders; the
// first entry of a desktop-file id hides later ones of the same id, and the first entry
// of a program gives its caption. Entries that cannot be read or name no program that
// can be told without running anything are left out. Appends to the lines.
void DesktopEntryPrograms(const TSessionFolders& session, std::vector<std::string>& lines);

// The captions the menu gives programs, for the sources that find bare files.
class TProgramCaptions {
  public:
    // From the Fast scan's lines.
    explicit TProgramCaptions(const std::vector<std::string>& menuLines);
    // The menu's Name for the program where an entry names it, else its file name.
    std::string Caption(const std::string& path) const;

  private:
    std::map<std::string, std::string> captions_;
};

} // namespace tw
