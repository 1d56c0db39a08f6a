#include "support/program_settings.h"

#include "storage/data_folder.h"
#include "storage/settings_file.h"

namespace twtest {

bool ConfigureDataFolder(const std::filesystem::path& folder,
                         const std::filesystem::path& templateFolder,
                         const std::function<void(tw::TOptions&)>& change) {
    std::filesystem::create_directories(folder);
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        std::filesystem::copy_file(templateFolder / name, folder / name);
    }
    tw::SetDataFolderForTest(folder.string());
    bool saved = false;
    {
        tw::TOptions options;
        options.IsNotFirstRun = true; // past the first start's settings wizard
        change(options);
        saved = options.Save();
    }
    tw::ReleaseSettingsFile();
    tw::SetDataFolderForTest("");
    return saved;
}

} // namespace twtest
