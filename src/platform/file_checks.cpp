#include "platform/file_checks.h"

#ifdef _WIN32
#include "platform/native_path.h"

#include <windows.h>
#else
#include <filesystem>
#include <system_error>
#endif

namespace tw {
namespace {

#ifdef _WIN32

// "X:\" for a drive-letter path, "\\server\share\" for a network path, empty for a
// path without a root (it is relative to the current drive, which is known to answer).
std::string DriveRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        return path.substr(0, 2) + "\\";
    }
    if (path.size() > 2 && (path[0] == '\\' || path[0] == '/') &&
        (path[1] == '\\' || path[1] == '/')) {
        auto server = path.find_first_of("\\/", 2);
        if (server == std::string::npos) {
            return std::string();
        }
        auto share = path.find_first_of("\\/", server + 1);
        return (share == std::string::npos ? path : path.substr(0, share)) + "\\";
    }
    return std::string();
}

bool RootAnswers(const std::string& path) {
    std::string root = DriveRoot(path);
    if (root.empty()) {
        return true;
    }
    // No "insert a disk" box for an empty drive: the query simply fails.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    BOOL answered = GetVolumeInformationW(NativePath(root).c_str(), nullptr, 0, nullptr, nullptr,
                                          nullptr, nullptr, 0);
    SetThreadErrorMode(oldMode, nullptr);
    return answered != FALSE;
}

// The path's attributes, or INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD Attributes(const std::string& path) {
    if (path.empty() || !RootAnswers(path)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return GetFileAttributesW(NativePath(path).c_str());
}

#endif

} // namespace

bool FileExistsChecked(const std::string& path) noexcept {
    try {
#ifdef _WIN32
        DWORD attributes = Attributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
        std::error_code error;
        auto status = std::filesystem::status(path, error);
        return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
#endif
    } catch (...) {
        return false;
    }
}

bool DirectoryExistsChecked(const std::string& path) noexcept {
    try {
#ifdef _WIN32
        DWORD attributes = Attributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
        std::error_code error;
        return !path.empty() && std::filesystem::is_directory(path, error) && !error;
#endif
    } catch (...) {
        return false;
    }
}

} // namespace tw
