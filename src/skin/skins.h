#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tw {

// One skin: its name (the file name without extension) and the picture's full path.
using TSkinList = std::vector<std::pair<std::string, std::string>>;

// The pictures in a skins folder and its subfolders, by name without regard to letter
// case; of two files with the same name the later path wins. A missing or unreadable
// folder gives an empty list.
TSkinList EnumerateSkins(const std::string& folder);

// Whether a file's extension is one of the picture formats a background can be read from.
bool IsPictureFileName(const std::string& path);

} // namespace tw
