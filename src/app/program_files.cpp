#include "app/program_files.h"

#include "platform/native_path.h"
#include "platform/program_paths.h"
#include "storage/data_folder.h"
#include "storage/options.h"
#include "storage/settings_file.h"

#include <filesystem>

namespace tw {
namespace {
std::unique_ptr<TInstanceLock>& HeldLock() {
    static std::unique_ptr<TInstanceLock> lock;
    return lock;
}
} // namespace

std::string LockPath() {
    return DataFolder() + "Tallywick.lock";
}
std::string FlagPath() {
    return DataFolder() + "Tallywick.flag";
}
std::string UninstallFlagPath() {
    return ProgramFolder() + "uninstall.flag";
}

bool InstanceLockAcquire(TDesktop& desktop) {
    std::error_code ignored;
    std::filesystem::create_directories(NativePath(DataFolder()), ignored);
    HeldLock() = desktop.AcquireInstanceLock(LockPath());
    return HeldLock() != nullptr;
}

void InstanceLockRelease() {
    if (auto& lock = HeldLock()) {
        lock->Release();
        lock.reset();
    }
}

bool UninstallRequested() {
    std::error_code ignored;
    return std::filesystem::exists(NativePath(UninstallFlagPath()), ignored);
}

void RemoveFlagFile() {
    std::error_code ignored;
    std::filesystem::remove(NativePath(FlagPath()), ignored);
}

void FinishProgram() {
    ReleaseGOptions_Local(); // saves
    RemoveFlagFile();
    ReleaseSettingsFile();
}

void SecureForSessionEnd(TOptions* options) {
    InstanceLockRelease();
    if (options) {
        options->Save();
    }
    RemoveFlagFile();
}

} // namespace tw
