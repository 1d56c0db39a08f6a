#pragma once

#include <string>

namespace tw {

// What the scan cycle logs about the foreground activity.
struct TLoggedActivity {
    std::string ExeName;     // executable path of the foreground program
    std::string Url;         // address the browser shows, or empty
    std::string BrowserName; // "Desktop Application" or the browser's name
};

} // namespace tw
