#pragma once

#include "platform/instance_lock.h"

#include <map>
#include <memory>
#include <string>

namespace tw {

// The lock files held by scripted desktops; desktops sharing one registry behave like
// processes of one machine. A test deletes a lock file by erasing its path.
struct TFakeLockRegistry {
    // Each held path, with the number of the lock that holds it.
    std::map<std::string, int> held;
    int lastHolder = 0;
    // When set, creating any lock file fails with this system text.
    std::string creationError;
};

// Takes the lock on path in the registry; null when it is already held.
std::unique_ptr<TInstanceLock> AcquireFakeInstanceLock(std::shared_ptr<TFakeLockRegistry> registry,
                                                       const std::string& path);

// The locks of one scripted machine: programs given locks over one registry behave like
// processes of one machine.
class TFakeInstanceLocks final : public TInstanceLocks {
  public:
    explicit TFakeInstanceLocks(std::shared_ptr<TFakeLockRegistry> registry = nullptr)
        : registry_(registry ? std::move(registry) : std::make_shared<TFakeLockRegistry>()) {}

    std::unique_ptr<TInstanceLock> Acquire(const std::string& path) override {
        return AcquireFakeInstanceLock(registry_, path);
    }
    TFakeLockRegistry& Registry() { return *registry_; }

  private:
    std::shared_ptr<TFakeLockRegistry> registry_;
};

} // namespace tw
