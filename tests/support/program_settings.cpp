#include "support/program_settings.h"

#include "platform/program_paths.h"
#include "storage/data_folder.h"

namespace twtest {

bool ConfigureDataFolder(const std::filesystem::path& folder,
                         const std::filesystem::path& templateFolder,
                         const std::function<void(tw::TOptions&)>& change) {
    std::filesystem::create_directories(folder);
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        std::filesystem::copy_file(templateFolder / name, folder / name);
    }
    // The program's own clock: what is stored is dated as the program would date it.
    tw::TSystemClockSource source;
    tw::TClock clock(source);
    tw::TErrorLog log;
    tw::TDataFolder data(tw::PlacesOf(folder.string(), tw::ProgramPath()), clock, log);
    tw::TOptions options(data);
    options.Edit().IsNotFirstRun = true; // past the first start's settings wizard
    change(options);
    return options.Save();
}

} // namespace twtest
