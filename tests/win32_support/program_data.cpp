#include "win32_support/program_data.h"

#include "platform/native_path.h"
#include "platform/win32/win32_text.h"
#include "storage/data_folder.h"

#include <shlobj.h>
#include <windows.h>

#include <filesystem>

namespace twtest {

namespace fs = std::filesystem;

std::string RoamingFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return tw::Utf8Text(path, MAX_PATH);
}

std::string ProgramDataFolder() {
    return RoamingFolder() + "\\Tallywick.V3\\";
}

std::string ProcessTempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return tw::Utf8Text(temp, MAX_PATH) + name + "-" + std::to_string(GetCurrentProcessId());
}

std::string SystemFile(const char* name) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return tw::Utf8Text(folder, MAX_PATH) + "\\" + name;
}

bool ConfigureProgramData(const std::string& programFolder,
                          const std::function<void(tw::TOptions&)>& change) {
    const std::string data = ProgramDataFolder();
    fs::create_directories(tw::NativePath(data));
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        fs::copy_file(tw::NativePath(programFolder + name), tw::NativePath(data + name),
                      fs::copy_options::overwrite_existing);
    }
    // The program's own clock: what is stored is dated as the program would date it.
    tw::TSystemClockSource source;
    tw::TClock clock(source);
    tw::TErrorLog log;
    tw::TDataFolder folder(tw::PlacesOf(data, programFolder + "tallywick.exe"), clock, log);
    tw::TOptions options(folder);
    options.Edit().IsNotFirstRun = true;
    change(options);
    return options.Save();
}

} // namespace twtest
