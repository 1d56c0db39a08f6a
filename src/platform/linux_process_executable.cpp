#include "platform/process_executable.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

std::string ErrorText(int error) {
    return std::string("Error: ") + std::strerror(error);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

std::string ExecutablePathOfProcess(pid_t pid) {
    if (pid <= 0) {
        return ErrorText(ESRCH);
    }
    const std::string folder = "/proc/" + std::to_string(pid);
    const std::string link = folder + "/exe";
    char buffer[PATH_MAX + 1];
    const ssize_t length = ::readlink(link.c_str(), buffer, PATH_MAX);
    if (length < 0) {
        const int error = errno;
        // The process ended (or is a zombie whose image is gone): say so rather than
        // "No such file or directory" about a path the user never named.
        struct stat info {};
        if (error == ENOENT && ::stat(folder.c_str(), &info) != 0) {
            return ErrorText(ESRCH);
        }
        return ErrorText(error);
    }
    std::string path(buffer, static_cast<std::size_t>(length));
    static const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() &&
        path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0 &&
        !SameFile(path, link)) {
        path.erase(path.size() - deleted.size());
    }
    return path;
}

} // namespace tw
