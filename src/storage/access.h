#pragma once

#include <cstdint>

#ifndef TALLYWICK_EDITION_VALUE
#error "TALLYWICK_EDITION_VALUE comes from the build (the TALLYWICK_EDITION option)"
#endif

namespace tw {

// Build-time edition: 2 is self-managed (no administrator password is ever asked for);
// below 2 an administrator password guards the settings, so 0 and 1 behave alike. The
// program asks TOptions::PasswordGuardsSettings rather than this number.
inline constexpr std::uint8_t EditionValue = TALLYWICK_EDITION_VALUE;

// Who may change the strict settings.
enum TAccessLevel : int {
    alNone = 0,  // no right to change guarded settings
    alUser = 1,  // changes follow the once-a-day rules
    alAdmin = 2, // every change takes effect at once
};

} // namespace tw
