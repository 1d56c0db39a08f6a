#pragma once

#include <string>
#include <vector>

namespace tw {

// The person's data is for their account alone: a folder 0700, a file 0600, nothing for the
// group or other accounts. On Windows the per-user folder is private already, and these do
// nothing.

// Takes every permission of the group and of other accounts off the file or folder (a
// symbolic link is left as it is). True when it had any; a path that is not there, or
// cannot be changed, answers false. Never throws.
bool MakePrivate(const std::string& path) noexcept;

// The same for the folder itself and everything in it, its subfolders included. Answers the
// paths that were open to others, for a report. Never throws.
std::vector<std::string> MakeFolderPrivate(const std::string& folder) noexcept;

} // namespace tw
