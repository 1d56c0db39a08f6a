#pragma once

#include <string>

namespace tw {

// Trim, then drop a scheme ("http://", "https://", any letters, digits, "+", "-" and "."
// before "://") and a "www.", each only where it starts the text: the same words further
// on belong to the path or the query and are kept as they are.
std::string NormalizeAddress(const std::string& address);

// Whether a website item's name covers a page address. The name must start a whole label
// of the page's host (the host's start or right after a "."), so "mail." may stand before
// "example.com" but "face" may not stand before "book.com"; an occurrence in the path or
// the query never counts, and every occurrence in the host is tried. Host letters A-Z
// compare without regard to case; a path or query in the name must follow at once, in the
// same case. The user part of "user@host" is not host; an IPv4 host has no sub-domains.
bool UrlMatches(const std::string& itemName, const std::string& address);

// Whether two website names denote the same site by the rules above: the same once scheme
// and "www." are dropped, host letters A-Z in any case, path and query exactly.
bool SameSiteName(const std::string& a, const std::string& b);

} // namespace tw
