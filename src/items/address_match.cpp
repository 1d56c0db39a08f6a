#include "items/address_match.h"

#include "base/text.h"

namespace tw {
namespace {

// Both cuts take the first occurrence wherever it stands, not only a leading one:
// stored list entries and the usage totals computed from them depend on this exact rule.
std::string StripScheme(const std::string& text) {
    const std::size_t at = text.find("://");
    return at == std::string::npos ? text : text.substr(at + 3);
}

std::string StripWww(const std::string& text) {
    const std::size_t at = text.find("www.");
    return at == std::string::npos ? text : text.substr(at + 4);
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
