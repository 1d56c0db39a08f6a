#include "platform/file_privacy.h"

#ifndef _WIN32
#include <sys/stat.h>

#include <filesystem>
#include <system_error>
#endif

namespace tw {

#ifdef _WIN32

bool MakePrivate(const std::string&) noexcept {
    return false;
}

std::vector<std::string> MakeFolderPrivate(const std::string&) noexcept {
    return {};
}

#else

bool MakePrivate(const std::string& path) noexcept {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0 || S_ISLNK(facts.st_mode)) {
        return false;
    }
    const mode_t others = facts.st_mode & (S_IRWXG | S_IRWXO);
    if (others == 0) {
        return false;
    }
    return ::chmod(path.c_str(), facts.st_mode & ~others & 07777) == 0;
}

std::vector<std::string> MakeFolderPrivate(const std::string& folder) noexcept {
    namespace fs = std::filesystem;
    std::vector<std::string> opened;
    try {
        if (MakePrivate(folder)) {
            opened.push_back(folder);
        }
        std::error_code error;
        for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (MakePrivate(it->path().string())) {
                opened.push_back(it->path().string());
            }
        }
    } catch (const std::exception&) {
        // What was made private stays so; the rest is tried again at the next start.
    }
    return opened;
}

#endif

} // namespace tw
