#include "monitor/items/address_match.h"

#include "base/text.h"

namespace tw {
namespace {

// Both prefixes are removed only where they lead the address. Cutting at an occurrence
// further on would hand a fragment sitting in the path or query to the matcher as if it
// were the host: "example.org/?next=https://www.example.com" must not count as time spent
// on example.com. A "://" after the first "/" or "?" is therefore not a scheme.
std::string StripScheme(const std::string& text) {
    const std::size_t at = text.find("://");
    if (at == std::string::npos || text.find_first_of("/?") < at) {
        return text;
    }
    return text.substr(at + 3);
}

std::string StripWww(const std::string& text) {
    return text.starts_with("www.") ? text.substr(4) : text;
}

} // namespace

std::string NormalizeAddress(const std::string& address) {
    return StripWww(StripScheme(Trim(address)));
}

bool UrlMatches(const std::string& itemName, const std::string& address) {
    const std::string fragment = NormalizeAddress(itemName);
    if (fragment.empty()) {
        return false;
    }
    const std::string page = NormalizeAddress(address);
    const std::size_t at = page.find(fragment);
    if (at == std::string::npos) {
        return false;
    }
    // A sub-domain may stand before the fragment, a path or a query may not.
    return page.find_first_of("/?") >= at;
}

} // namespace tw
