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

std::unique_ptr<TInstanceLock> AcquireInstanceLock(TInstanceLocks& locks, const TPlaces& places) {
    // The lock makes its file's folder when it is missing.
    return locks.Acquire(LockPath(places));
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
