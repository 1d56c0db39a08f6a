#include "platform/linux/browser_family.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace tw {

namespace {

struct TName {
    std::string_view name;
    TBrowserFamily family;
};

// The executables as the browsers' Linux packages install them.
constexpr std::array<TName, 11> Executables{{
    {"chromium", TBrowserFamily::Chromium},
    {"chromium-browser", TBrowserFamily::Chromium},
    {"chrome", TBrowserFamily::Chromium}, // Google Chrome, also Chromium as a snap
    {"brave", TBrowserFamily::Chromium},
    {"msedge", TBrowserFamily::Chromium},
    {"vivaldi-bin", TBrowserFamily::Chromium},
    {"opera", TBrowserFamily::Chromium},
    {"firefox", TBrowserFamily::Mozilla},
    {"firefox-bin", TBrowserFamily::Mozilla},
    {"firefox-esr", TBrowserFamily::Mozilla},
    {"firefox-esr-bin", TBrowserFamily::Mozilla},
}};

// Window classes, lower case; each also covers its channels ("google-chrome-beta",
// "microsoft-edge-dev", "vivaldi-snapshot", "firefox-esr").
constexpr std::array<TName, 8> ClassPrefixes{{
    {"chromium", TBrowserFamily::Chromium},
    {"google-chrome", TBrowserFamily::Chromium},
    {"brave-browser", TBrowserFamily::Chromium},
    {"microsoft-edge", TBrowserFamily::Chromium},
    {"vivaldi", TBrowserFamily::Chromium},
    {"opera", TBrowserFamily::Chromium},
    {"firefox", TBrowserFamily::Mozilla},
    {"navigator", TBrowserFamily::Mozilla}, // what older releases put in the class part
}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsChannelOf(std::string_view name, std::string_view prefix) {
    return name == prefix || (name.starts_with(prefix) && name[prefix.size()] == '-');
}

} // namespace

TBrowserFamily BrowserFamilyOf(const std::string& executable, const std::string& windowClass) {
    if (!executable.starts_with("Error: ")) {
        const std::string base = executable.substr(executable.find_last_of('/') + 1);
        for (const TName& known : Executables) {
            if (base == known.name) {
                return known.family;
            }
        }
    }
    const std::string lowered = Lower(windowClass);
    for (const TName& known : ClassPrefixes) {
        if (IsChannelOf(lowered, known.name)) {
            return known.family;
        }
    }
    return TBrowserFamily::NotABrowser;
}

} // namespace tw
