#include "platform/fake/fake_instance_lock.h"

#include "base/exception.h"

namespace tw {

namespace {
class TFakeInstanceLock : public TInstanceLock {
  public:
    TFakeInstanceLock(std::shared_ptr<TFakeLockRegistry> registry, std::string path)
        : registry_(std::move(registry)), path_(std::move(path)) {}
    ~TFakeInstanceLock() override { Release(); }

    void Release() override {
        if (registry_) {
            registry_->held.erase(path_);
            registry_.reset();
        }
    }

  private:
    std::shared_ptr<TFakeLockRegistry> registry_;
    std::string path_;
};
} // namespace

std::unique_ptr<TInstanceLock> AcquireFakeInstanceLock(std::shared_ptr<TFakeLockRegistry> registry,
                                                       const std::string& path) {
    if (!registry->creationError.empty()) {
        throw Exception("Unable to create \"" + path +
                        "\" file\r\nError: " + registry->creationError);
    }
    if (!registry->held.insert(path).second) {
        return nullptr;
    }
    return std::make_unique<TFakeInstanceLock>(std::move(registry), path);
}

} // namespace tw
