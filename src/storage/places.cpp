#include "storage/places.h"

#include "platform/file_privacy.h"
#include "platform/native_path.h"
#include "platform/program_paths.h"

#include <filesystem>
#include <system_error>

namespace tw {
namespace {

std::string WithSeparator(std::string folder) {
    if (folder.empty() || (folder.back() != PathDelim && folder.back() != '/')) {
        folder += PathDelim;
    }
    return folder;
}

} // namespace

std::string TPlaces::ProgramBaseName() const {
    return tw::ProgramBaseName(programPath);
}

TPlaces PlacesOf(const std::string& dataFolder, const std::string& programPath) {
    TPlaces places{WithSeparator(dataFolder), ProgramFolder(programPath), programPath};
    // A folder that cannot be created is not reported here: the files later opened in it
    // fail and report for themselves.
    std::error_code ignored;
    if (std::filesystem::create_directories(NativePath(places.dataFolder), ignored)) {
        MakePrivate(places.dataFolder);
    }
    return places;
}

TPlaces SystemPlaces() {
    return PlacesOf(WithSeparator(UserAppDataFolder()) + "Tallywick.V3", ProgramPath());
}

} // namespace tw
