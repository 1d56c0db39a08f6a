#include "items/address_match.h"

#include "base/text.h"

namespace tw {
namespace {

bool IsSchemeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string StripScheme(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && IsSchemeCharacter(text[at])) {
        ++at;
    }
    return at > 0 && text.compare(at, 3, "://") == 0 ? text.substr(at + 3) : text;
}

bool StartsWithNoCase(const std::string& text, std::size_t at, const std::string& prefix) {
    if (text.size() - at < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[at + i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::string StripWww(const std::string& text) {
    return StartsWithNoCase(text, 0, "www.") ? text.substr(4) : text;
}

// Where the host ends: at the path, the query or the fragment.
std::size_t HostEnd(const std::string& address) {
    const std::size_t end = address.find_first_of("/?#");
    return end == std::string::npos ? address.size() : end;
}

// Four dot-separated groups of digits, with or without a port.
bool IsIPv4(const std::string& host) {
    int groups = 0;
    bool digit = false;
    for (char c : host.substr(0, host.find(':'))) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && digit) {
            ++groups;
            digit = false;
        } else {
            return false;
        }
    }
    return digit && groups == 3;
}

// The name at this place of the page: host letters without case while both are still in
// their hosts, exactly from the name's path on.
bool NameStandsAt(const std::string& name, std::size_t nameHostEnd, const std::string& page,
                  std::size_t pageHostEnd, std::size_t at) {
    if (page.size() - at < name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char n = name[i];
        const char p = page[at + i];
        const bool inHosts = i < nameHostEnd && at + i < pageHostEnd;
        if (inHosts ? AsciiLower(n) != AsciiLower(p) : n != p) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string NormalizeAddress(const std::string& address) {
    return StripWww(StripScheme(Trim(address)));
}

bool UrlMatches(const std::string& itemName, const std::string& address) {
    const std::string name = NormalizeAddress(itemName);
    const std::string page = NormalizeAddress(address);
    if (name.empty() || page.empty()) {
        return false;
    }
    const std::size_t pageHostEnd = HostEnd(page);
    const std::size_t user = page.rfind('@', pageHostEnd == 0 ? 0 : pageHostEnd - 1);
    const std::size_t hostStart = user == std::string::npos || user >= pageHostEnd ? 0 : user + 1;
    const bool labelsOnlyAtStart = IsIPv4(page.substr(hostStart, pageHostEnd - hostStart));
    const std::size_t nameHostEnd = HostEnd(name);
    for (std::size_t at = hostStart; at < pageHostEnd; ++at) {
        const bool labelStart = at == hostStart || (!labelsOnlyAtStart && page[at - 1] == '.');
        if (labelStart && NameStandsAt(name, nameHostEnd, page, pageHostEnd, at)) {
            return true;
        }
    }
    return false;
}

bool SameSiteName(const std::string& a, const std::string& b) {
    const std::string first = NormalizeAddress(a);
    const std::string second = NormalizeAddress(b);
    return !first.empty() && first.size() == second.size() && HostEnd(first) == HostEnd(second) &&
           NameStandsAt(first, HostEnd(first), second, HostEnd(second), 0);
}

} // namespace tw
