#pragma once

#include "platform/desktop.h"

#include <memory>
#include <set>
#include <string>

namespace tw {

// The lock files held by scripted desktops; desktops sharing one registry behave like
// processes of one machine.
struct TFakeLockRegistry {
    std::set<std::string> held;
    // When set, creating any lock file fails with this system text.
    std::string creationError;
};

// Takes the lock on path in the registry; null when it is already held.
std::unique_ptr<TInstanceLock> AcquireFakeInstanceLock(std::shared_ptr<TFakeLockRegistry> registry,
                                                       const std::string& path);

} // namespace tw
