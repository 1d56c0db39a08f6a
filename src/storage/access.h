#pragma once

#include <cstdint>

namespace tw {

// Build-time edition: 2 is self-managed (no administrator password is ever asked for);
// below 2 an administrator password guards the settings.
inline constexpr std::uint8_t EditionValue = 2;

// Who may change the strict settings.
enum TAccessLevel : int {
    alNone = 0,  // no right to change guarded settings
    alUser = 1,  // changes follow the once-a-day rules
    alAdmin = 2, // every change takes effect at once
};

} // namespace tw
