#include "discovery/linux/sandbox_apps.h"

#include "discovery/linux/program_file.h"

#include <algorithm>
#include <climits>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tw {

namespace {

// Where a flatpak application's own files appear inside its sandbox.
const std::string AppMount = "/app";
// More links than this on one path are taken for a circle, as the kernel does.
constexpr int LinkLimit = 40;

// Descriptions are small; anything larger is not one.
constexpr size_t DescriptionLimit = 1024 * 1024;

std::string FileText(const std::string& path) {
    return RegularFileHead(path, DescriptionLimit).value_or(std::string());
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::istringstream stream(path);
    std::string part;
    while (std::getline(stream, part, '/')) {
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    return parts;
}

// Resolves the links of a path inside a flatpak sandbox, where AppMount is the folder
// `files` of this system; a path that leaves AppMount cannot be followed.
std::optional<std::string> ResolveInApp(const std::string& files, const std::string& path) {
    std::vector<std::string> pending = PathParts(path);
    if (pending.empty() || "/" + pending.front() != AppMount) {
        return std::nullopt;
    }
    std::reverse(pending.begin(), pending.end());
    pending.pop_back();
    std::vector<std::string> done; // below AppMount
    int links = 0;
    while (!pending.empty()) {
        const std::string part = pending.back();
        pending.pop_back();
        if (part == "..") {
            if (done.empty()) {
                return std::nullopt;
            }
            done.pop_back();
            continue;
        }
        std::string here = files;
        for (const std::string& each : done) {
            here += "/" + each;
        }
        here += "/" + part;
        struct stat info {};
        if (::lstat(here.c_str(), &info) != 0) {
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) {
            done.push_back(part);
            continue;
        }
        if (++links > LinkLimit) {
            return std::nullopt;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(here.c_str(), target, sizeof target - 1);
        if (length <= 0) {
            return std::nullopt;
        }
        const std::string text(target, static_cast<size_t>(length));
        std::vector<std::string> parts = PathParts(text);
        if (text[0] == '/') {
            if (parts.empty() || "/" + parts.front() != AppMount) {
                return std::nullopt;
            }
            parts.erase(parts.begin());
            done.clear();
        }
        pending.insert(pending.end(), parts.rbegin(), parts.rend());
    }
    std::string resolved = AppMount;
    for (const std::string& each : done) {
        resolved += "/" + each;
    }
    return resolved;
}

// The value of a key in one group of a key file ("[Application]", "command").
std::string KeyFileValue(const std::string& text, const std::string& group,
                         const std::string& key) {
    std::istringstream lines(text);
    std::string line;
    bool inGroup = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] == '[') {
            inGroup = line == "[" + group + "]";
        } else if (inGroup && line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

size_t Indent(const std::string& line) {
    return line.find_first_not_of(' ');
}

// The command of an application in a snap's description: "apps:", then the application's
// name, then its "command:". Only as much of the description's format as these three
// levels need is read.
std::string SnapCommand(const std::string& description, const std::string& app) {
    std::istringstream lines(description);
    std::string line;
    bool inApps = false;
    size_t appIndent = std::string::npos;
    bool inApp = false;
    while (std::getline(lines, line)) {
        const size_t indent = Indent(line);
        if (indent == std::string::npos || line[indent] == '#') {
            continue;
        }
        if (indent == 0) {
            inApps = line.rfind("apps:", 0) == 0;
            inApp = false;
            continue;
        }
        if (!inApps) {
            continue;
        }
        if (appIndent == std::string::npos) {
            appIndent = indent;
        }
        if (indent == appIndent) {
            inApp = line.substr(indent) == app + ":";
        } else if (inApp && indent > appIndent && line.compare(indent, 8, "command:") == 0) {
            std::string value = line.substr(indent + 8);
            value.erase(0, value.find_first_not_of(' '));
            if (!value.empty() && (value[0] == '"' || value[0] == '\'')) {
                value = value.substr(1, value.find(value[0], 1) - 1);
            }
            return value.substr(0, value.find(' '));
        }
    }
    return {};
}

} // namespace

std::optional<std::string> FlatpakProgram(const std::string& installation, const std::string& appId,
                                          const std::string& command) {
    if (appId.empty() || appId.find('/') != std::string::npos || appId[0] == '.') {
        return std::nullopt;
    }
    const std::string deploy = installation + "/app/" + appId + "/current/active";
    const std::string files = deploy + "/files";
    std::string program = command;
    if (program.empty()) {
        program = KeyFileValue(FileText(deploy + "/metadata"), "Application", "command");
    }
    if (program.empty()) {
        return std::nullopt;
    }
    const TProgramTree tree{[&](const std::string& path) { return ResolveInApp(files, path); },
                            [&](const std::string& path) {
                                return path.rfind(AppMount + "/", 0) == 0
                                           ? files + path.substr(AppMount.size())
                                           : std::string();
                            },
                            AppMount + "/bin",
                            {}};
    const auto file = FindProgram(program, tree);
    return file ? ProgramBehind(*file, tree) : std::nullopt;
}

std::optional<std::string> SnapProgram(const std::string& snapRoot, const std::string& linkName) {
    const auto dot = linkName.find('.');
    const std::string snap = linkName.substr(0, dot);
    const std::string app = dot == std::string::npos ? snap : linkName.substr(dot + 1);
    if (snap.empty() || app.empty()) {
        return std::nullopt;
    }
    char revision[PATH_MAX];
    if (!::realpath((snapRoot + "/" + snap + "/current").c_str(), revision)) {
        return std::nullopt;
    }
    std::string command = SnapCommand(FileText(std::string(revision) + "/meta/snap.yaml"), app);
    for (const char* prefix : {"$SNAP/", "${SNAP}/"}) {
        if (command.rfind(prefix, 0) == 0) {
            command.erase(0, std::string(prefix).size());
        }
    }
    if (command.empty() || command[0] == '/' || command[0] == '$') {
        return std::nullopt;
    }
    TProgramTree tree = SystemProgramTree(std::string());
    tree.Known["SNAP"] = revision;
    return ProgramBehind(std::string(revision) + "/" + command, tree);
}

bool IsSandboxLauncher(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    return name == "flatpak" || name == "snap";
}

} // namespace tw
