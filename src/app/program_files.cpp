#include "app/program_files.h"

#include "platform/native_path.h"
#include "platform/program_paths.h"
#include "storage/data_folder.h"

#include <filesystem>

namespace tw {
std::string LockPath() {
    return DataFolder() + "Tallywick.lock";
}
std::string FlagPath() {
    return DataFolder() + "Tallywick.flag";
}
std::string UninstallFlagPath() {
    return ProgramFolder() + "uninstall.flag";
}

std::unique_ptr<TInstanceLock> AcquireInstanceLock(TDesktop& desktop) {
    std::error_code ignored;
    std::filesystem::create_directories(NativePath(DataFolder()), ignored);
    return desktop.AcquireInstanceLock(LockPath());
}

bool UninstallRequested() {
    std::error_code ignored;
    return std::filesystem::exists(NativePath(UninstallFlagPath()), ignored);
}

void RemoveFlagFile() {
    std::error_code ignored;
    std::filesystem::remove(NativePath(FlagPath()), ignored);
}

} // namespace tw
