#pragma once

#include <cstdint>

#ifndef TALLYWICK_EDITION_VALUE
#error "TALLYWICK_EDITION_VALUE comes from the build (the TALLYWICK_EDITION option)"
#endif

namespace tw {

// Who the settings belong to, chosen when the program is built (the TALLYWICK_EDITION
// option, by these numbers). Only SelfManaged differs: every value below it is managed by
// an administrator alike.
enum class TEdition : std::uint8_t {
    AdministratorManaged = 1, // an administrator password guards the settings (0 as well)
    SelfManaged = 2,          // nobody is asked for a password; everybody may change settings
};

// The program asks the change policy (TChangePolicy) rather than this.
inline constexpr TEdition BuildEdition =
    TALLYWICK_EDITION_VALUE < 2 ? TEdition::AdministratorManaged : TEdition::SelfManaged;

// Who may change the strict settings.
enum class TAccessLevel {
    None,  // no right to change guarded settings
    User,  // changes follow the once-a-day rules
    Admin, // every change takes effect at once
};

} // namespace tw
