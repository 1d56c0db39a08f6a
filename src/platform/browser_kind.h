#pragma once

#include <cstdint>

namespace tw {

// The kind of program in front, as the desktop recognises it. The numbers are what the probe
// command prints, the texts (monitor/probe.h) what the activity log stores: both outlive
// the ways each system tells browsers apart.
enum class TBrowserKind : std::uint8_t {
    Desktop = 0,          // "Desktop Application"
    InternetExplorer = 1, // "MS Internet Explorer"
    Firefox = 2,          // "Mozila FireFox"
    Chrome = 3,           // "Google Chrome"
    Opera = 4,            // "Opera"
    Edge = 5,             // "Edge"
    Brave = 6,            // "Brave"
    Vivaldi = 7,          // "Vivaldi"
};

} // namespace tw
