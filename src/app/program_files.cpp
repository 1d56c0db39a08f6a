#include "app/program_files.h"

#include "platform/native_path.h"

#include <filesystem>

namespace tw {
std::string LockPath(const TPlaces& places) {
    return places.dataFolder + "Tallywick.lock";
}
std::string FlagPath(const TPlaces& places) {
    return places.dataFolder + "Tallywick.flag";
}
std::string UninstallFlagPath(const TPlaces& places) {
    return places.programFolder + "uninstall.flag";
}

std::unique_ptr<TInstanceLock> AcquireInstanceLock(TDesktop& desktop, const TPlaces& places) {
    // The backend makes the lock file's folder when it is missing.
    return desktop.AcquireInstanceLock(LockPath(places));
}

bool UninstallRequested(const TPlaces& places) {
    std::error_code ignored;
    return std::filesystem::exists(NativePath(UninstallFlagPath(places)), ignored);
}

void RemoveFlagFile(const TPlaces& places) {
    std::error_code ignored;
    std::filesystem::remove(NativePath(FlagPath(places)), ignored);
}

} // namespace tw
