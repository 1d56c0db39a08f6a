#include "discovery/linux/running_programs.h"

#include "discovery/linux/program_file.h"
#include "discovery/program_lines.h"
#include "platform/process_executable.h"

#include <dirent.h>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

namespace tw {

namespace {

// The real user id on the "Uid:" line of a process's status; nothing once it has ended.
std::optional<uid_t> RealUserOf(const std::string& pid) {
    const auto status = RegularFileHead("/proc/" + pid + "/status", 64 * 1024);
    if (!status) {
        return std::nullopt;
    }
    const auto line = status->find("\nUid:");
    if (line == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream numbers(status->substr(line + 5, 32));
    unsigned long id = 0;
    if (!(numbers >> id)) {
        return std::nullopt;
    }
    return static_cast<uid_t>(id);
}

} // namespace

void RunningPrograms(uid_t user, const TProgramCaptions& captions,
                     std::vector<std::string>& lines) {
    lines.clear();
    std::set<std::string> paths;
    std::unique_ptr<DIR, int (*)(DIR*)> processes(::opendir("/proc"), ::closedir);
    if (!processes) {
        return;
    }
    while (const dirent* item = ::readdir(processes.get())) {
        const std::string pid = item->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos ||
            RealUserOf(pid) != user) {
            continue;
        }
        const std::string path = ExecutablePathOfProcess(static_cast<pid_t>(std::stol(pid)));
        if (!path.empty() && path[0] == '/' && path.find_first_of("=\n") == std::string::npos) {
            paths.insert(path);
        }
    }
    for (const std::string& path : paths) {
        lines.push_back(ProgramLine(path, captions.Caption(path)));
    }
}

} // namespace tw
