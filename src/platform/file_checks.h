#pragma once

#include <string>

namespace tw {

// Whether a file (not a folder) exists at the path. On Windows the root of the path's
// drive must first answer a volume query, so an absent drive or an empty removable
// drive gives false at once instead of a system prompt or a long wait. Never throws.
bool FileExistsChecked(const std::string& path) noexcept;

// The same test for a folder.
bool DirectoryExistsChecked(const std::string& path) noexcept;

} // namespace tw
