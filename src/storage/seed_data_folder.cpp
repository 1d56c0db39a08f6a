#include "storage/seed_data_folder.h"

#include "platform/program_paths.h"
#include "storage/data_folder.h"

#include <filesystem>

namespace tw {

void SeedDataFolder() {
    namespace fs = std::filesystem;
    const fs::path data = DataFolder();
    const fs::path program = ProgramFolder();
    if (fs::exists(data / "settings.sqlite") || !fs::exists(program / "settings.sqlite")) {
        return;
    }
    fs::create_directories(data); // throws the system's error
    std::error_code ignored;
    fs::copy_file(program / "settings.sqlite", data / "settings.sqlite",
                  fs::copy_options::overwrite_existing, ignored);
    fs::copy_file(program / "actmondb.sqlite", data / "actmondb.sqlite",
                  fs::copy_options::overwrite_existing, ignored);
}

} // namespace tw
