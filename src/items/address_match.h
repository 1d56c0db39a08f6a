#pragma once

#include <string>

namespace tw {

// Trim, then drop a leading scheme (a "://" before any "/" or "?") and a leading "www.".
std::string NormalizeAddress(const std::string& address);
// Whether a website item's name covers a page address (case-sensitive; the fragment may
// follow a sub-domain but not stand in the path or query).
bool UrlMatches(const std::string& itemName, const std::string& address);

} // namespace tw
