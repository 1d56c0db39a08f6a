#include "app/program_files.h"

#include "platform/native_path.h"
#include "storage/error_log.h"

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

TStaleMarker SetAsideStaleUninstallFlag(const TPlaces& places, TErrorLog& log) {
    namespace fs = std::filesystem;
    const fs::path marker = NativePath(UninstallFlagPath(places));
    std::error_code error;
    if (!fs::exists(marker, error)) {
        return std::nullopt;
    }
    if (fs::remove(marker, error)) {
        log.Report("The uninstall marker \"" + UninstallFlagPath(places) +
                   "\" was there before this start; it was removed, and only one made while the "
                   "program runs ends it");
        return std::nullopt;
    }
    const fs::file_time_type written = fs::last_write_time(marker, error);
    log.Report("The uninstall marker \"" + UninstallFlagPath(places) +
               "\" was there before this start and cannot be removed (" + error.message() +
               "); it is ignored until it is written anew");
    return written;
}

bool UninstallRequested(const TPlaces& places, const TStaleMarker& stale) {
    namespace fs = std::filesystem;
    const fs::path marker = NativePath(UninstallFlagPath(places));
    std::error_code error;
    if (!fs::exists(marker, error)) {
        return false;
    }
    if (!stale) {
        return true;
    }
    const fs::file_time_type written = fs::last_write_time(marker, error);
    return !error && written != *stale;
}

void RemoveFlagFile(const TPlaces& places) {
    std::error_code ignored;
    std::filesystem::remove(NativePath(FlagPath(places)), ignored);
}

} // namespace tw
