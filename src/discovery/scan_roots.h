#pragma once

#include <string>
#include <vector>

namespace tw {

// The folders a Complete scan never takes as roots: Program Files (walked as a root of its
// own), the Windows folder and its system32, and Program Files by its short name.
std::vector<std::string> ExcludedFolders(const std::string& programFiles,
                                         const std::string& windowsFolder);

// The install folder named by one string value of an Uninstall entry: from the drive
// letter before the first ":\" up to the first ".exe" or ".dll", reduced to its folder when
// its last part has a dot. Empty when the value names no drive path.
std::string RootFromUninstallValue(const std::string& value);

// Adds a folder to the roots unless it is empty, already there (letter case aside), lies
// in an excluded folder, or is a drive's root.
void AddRoot(std::vector<std::string>& roots, const std::string& folder,
             const std::vector<std::string>& excluded);

// Sorts the roots (letter case aside) and drops every folder that lies inside an earlier
// one, so no folder is walked twice.
void PruneRoots(std::vector<std::string>& roots);

} // namespace tw
