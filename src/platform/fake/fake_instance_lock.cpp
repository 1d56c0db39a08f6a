#include "platform/fake/fake_instance_lock.h"

#include "base/exception.h"

namespace tw {

namespace {
class TFakeInstanceLock : public TInstanceLock {
  public:
    TFakeInstanceLock(std::shared_ptr<TFakeLockRegistry> registry, std::string path, int holder)
        : registry_(std::move(registry)), path_(std::move(path)), holder_(holder) {}
    ~TFakeInstanceLock() override { Release(); }

    void Release() override {
        if (registry_) {
            if (Holds()) {
                registry_->held.erase(path_);
            }
            registry_.reset();
        }
    }

    bool Reassert() override {
        if (!registry_) {
            return false;
        }
        if (!registry_->creationError.empty()) {
            return true;
        }
        if (registry_->held.emplace(path_, holder_).second || Holds()) {
            return true;
        }
        registry_.reset();
        return false;
    }

  private:
    bool Holds() const {
        const auto found = registry_->held.find(path_);
        return found != registry_->held.end() && found->second == holder_;
    }

    std::shared_ptr<TFakeLockRegistry> registry_;
    std::string path_;
    int holder_;
};
} // namespace

std::unique_ptr<TInstanceLock> AcquireFakeInstanceLock(std::shared_ptr<TFakeLockRegistry> registry,
                                                       const std::string& path) {
    if (!registry->creationError.empty()) {
        throw Exception("Unable to create \"" + path +
                        "\" file\r\nError: " + registry->creationError);
    }
    const int holder = ++registry->lastHolder;
    if (!registry->held.emplace(path, holder).second) {
        return nullptr;
    }
    return std::make_unique<TFakeInstanceLock>(std::move(registry), path, holder);
}

} // namespace tw
