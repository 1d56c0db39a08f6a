#include "discovery/linux/session_folders.h"

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tw {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Folder texts compare without their trailing "/".
std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string HomeFolder() {
    const std::string home = Variable("HOME");
    if (!home.empty() && home[0] == '/') {
        return WithoutTrailingSlash(home);
    }
    // The reentrant form: scans may run on a worker thread.
    passwd entry{};
    passwd* user = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &user) != 0 || !user ||
        !user->pw_dir) {
        return {};
    }
    return WithoutTrailingSlash(user->pw_dir);
}

std::string SystemSearchPath() {
    const size_t length = ::confstr(_CS_PATH, nullptr, 0);
    std::string path(length, '\0');
    if (length == 0 || ::confstr(_CS_PATH, path.data(), length) == 0) {
        return "/usr/bin:/bin";
    }
    path.resize(length - 1);
    return path;
}

} // namespace

std::vector<std::string> AbsoluteFolders(const std::string& list) {
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= list.size()) {
        auto end = list.find(':', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string folder = list.substr(start, end - start);
        if (!folder.empty() && folder[0] == '/') {
            folders.push_back(WithoutTrailingSlash(folder));
        }
        start = end + 1;
    }
    return folders;
}

std::vector<std::string> TSessionFolders::MenuDataFolders() const {
    std::vector<std::string> folders{DataHome};
    folders.insert(folders.end(), DataDirs.begin(), DataDirs.end());
    for (const std::string& exports :
         {UserFlatpak() + "/exports/share", SystemFlatpak + "/exports/share"}) {
        if (std::find(folders.begin(), folders.end(), exports) == folders.end()) {
            folders.push_back(exports);
        }
    }
    return folders;
}

TSessionFolders SessionFoldersFromEnvironment() {
    TSessionFolders folders;
    folders.Home = HomeFolder();
    const std::string dataHome = Variable("XDG_DATA_HOME");
    folders.DataHome = !dataHome.empty() && dataHome[0] == '/' ? WithoutTrailingSlash(dataHome)
                                                               : folders.Home + "/.local/share";
    folders.DataDirs = AbsoluteFolders(Variable("XDG_DATA_DIRS"));
    if (folders.DataDirs.empty()) {
        folders.DataDirs = {"/usr/local/share", "/usr/share"};
    }
    const char* path = std::getenv("PATH");
    folders.SearchPath = path ? path : SystemSearchPath();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        folders.Locale = Variable(name);
        if (!folders.Locale.empty()) {
            break;
        }
    }
    return folders;
}

} // namespace tw
