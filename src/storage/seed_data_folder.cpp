#include "storage/seed_data_folder.h"

#include "platform/native_path.h"

#include <filesystem>

namespace tw {

void SeedDataFolder(const TPlaces& places) {
    namespace fs = std::filesystem;
    const fs::path data = NativePath(places.dataFolder);
    const fs::path program = NativePath(places.programFolder);
    if (fs::exists(data / "settings.sqlite")) {
        return;
    }
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        if (!fs::exists(program / name)) {
            // Two lines in the notice: the path on a line of its own.
            throw ETemplatesMissing("Please reinstall Tallywick: no template databases in\n" +
                                    Utf8Path(program));
        }
    }
    fs::create_directories(data); // throws the system's error
    std::error_code ignored;
    fs::copy_file(program / "settings.sqlite", data / "settings.sqlite",
                  fs::copy_options::overwrite_existing, ignored);
    fs::copy_file(program / "actmondb.sqlite", data / "actmondb.sqlite",
                  fs::copy_options::overwrite_existing, ignored);
}

std::string CopyTemplateDatabase(const TPlaces& places, const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path source = NativePath(places.programFolder) / name;
    std::error_code error;
    if (!fs::is_regular_file(source, error)) {
        return "no template \"" + Utf8Path(source) + "\" beside the program";
    }
    fs::create_directories(NativePath(places.dataFolder), error);
    fs::copy_file(source, NativePath(places.dataFolder) / name,
                  fs::copy_options::overwrite_existing, error);
    return error ? error.message() : std::string();
}

} // namespace tw
