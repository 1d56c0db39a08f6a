#pragma once

#include <string>
#include <vector>

namespace tw {

// The Fast scan: a line "path=caption" for every Start-menu shortcut (all users', then
// the user's) that starts a program, captioned by the shortcut's name. A shortcut that
// cannot be read raises, which ends the scan.
void StartMenuPrograms(std::vector<std::string>& lines);

// The same for the shortcuts under the given folders (the Start-menu folders above).
void ShortcutPrograms(const std::vector<std::string>& folders, std::vector<std::string>& lines);

// The program a shortcut starts, with environment variables expanded. For a shortcut that
// points into the installer cache, the program path it keeps relative to itself, when it
// keeps one. Throws EOSError when the shortcut cannot be loaded or read.
std::string ShortcutTarget(const std::string& shortcutPath);

} // namespace tw
