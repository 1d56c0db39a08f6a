#include "platform/program_paths.h"

#include "base/exception.h"
#include "platform/native_path.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace tw {
namespace {

std::string QuerySystemProgramPath() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    return Utf8Path(std::filesystem::path(std::wstring(buffer, length)));
#else
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
#endif
}

} // namespace

const std::string& ProgramPath() {
    static const std::string path = QuerySystemProgramPath();
    return path;
}

std::string ProgramFolder(const std::string& path) {
    auto cut = path.find_last_of(PathDelim);
    if (cut == std::string::npos) {
        return std::string();
    }
    const std::string executableFolder = path.substr(0, cut + 1);
    // The executable's path is the system's resolved one, so
    // dropping "bin/.." by the letters leaves the same folder.
    std::filesystem::path installed =
        (NativePath(executableFolder) / TALLYWICK_INSTALLED_PROGRAM_FOLDER).lexically_normal();
    std::error_code error;
    if (!std::filesystem::is_directory(installed, error)) {
        return executableFolder;
    }
    std::string folder = Utf8Path(installed.make_preferred());
    if (folder.back() != PathDelim) {
        folder += PathDelim;
    }
    return folder;
}

std::string ProgramBaseName(const std::string& path) {
    auto slash = path.find_last_of(PathDelim);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

#ifndef _WIN32
std::string UserHomeFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* entry = getpwuid(getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    return home ? std::string(home) : std::string();
}
#endif

std::string UserAppDataFolder() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, TRUE)) {
        throw Exception("Failed to get Application Data folder");
    }
    std::string folder = Utf8Path(std::filesystem::path(buffer));
#else
    std::string folder;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        folder = xdg;
    } else {
        const std::string home = UserHomeFolder();
        if (home.empty()) {
            throw Exception("Failed to get Application Data folder");
        }
        folder = home + "/.local/share";
    }
#endif
    while (folder.size() > 1 && folder.back() == PathDelim) {
        folder.pop_back();
    }
    return folder;
}

} // namespace tw
