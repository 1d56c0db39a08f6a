#pragma once

#include <optional>
#include <string>

namespace tw {

// The relative path an installer-advertised shortcut keeps beside its installer target:
// the first UTF-16LE text starting "..\." (after the file's first two bytes), whose
// length in characters is the 16-bit number just before it. Nothing when there is none
// or its length runs past the end of the file. A terminating zero counted in the length
// is not part of the path.
std::optional<std::u16string> RelativePathInShortcut(const std::string& bytes);

} // namespace tw
