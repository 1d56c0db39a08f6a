#include "discovery/linux/desktop_programs.h"

#include "discovery/linux/desktop_entry.h"
#include "discovery/linux/program_file.h"
#include "discovery/linux/sandbox_apps.h"
#include "discovery/program_lines.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace tw {

namespace {

// Menu entries are small; anything larger is not one.
constexpr size_t EntrySizeLimit = 1024 * 1024;

// A menu entry file with its desktop-file id ("kde-org.app.desktop" for
// "kde/org.app.desktop").
struct TEntryFile {
    std::string Id;
    std::string Path;
};

// The entries under an applications folder, sorted by id. Folders that cannot be read are
// passed over; a folder met twice (through a link) is read once.
void CollectEntries(const std::string& folder, const std::string& idPrefix,
                    std::set<std::pair<dev_t, ino_t>>& visited, std::vector<TEntryFile>& entries) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        !visited.emplace(info.st_dev, info.st_ino).second) {
        return;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        return;
    }
    std::vector<std::string> subfolders;
    while (const dirent* item = ::readdir(dir.get())) {
        const std::string name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = folder + "/" + name;
        struct stat entry {};
        if (::stat(path.c_str(), &entry) != 0) {
            continue; // a broken link
        }
        if (S_ISDIR(entry.st_mode)) {
            subfolders.push_back(name);
        } else if (S_ISREG(entry.st_mode) && name.size() > 8 &&
                   name.compare(name.size() - 8, 8, ".desktop") == 0) {
            entries.push_back({idPrefix + name, path});
        }
    }
    dir.reset();
    for (const std::string& name : subfolders) {
        CollectEntries(folder + "/" + name, idPrefix + name + "-", visited, entries);
    }
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// The flatpak installations to look an application up in, the one whose exports hold the
// entry first.
std::vector<std::string> FlatpakInstallations(const TSessionFolders& session,
                                              const std::string& dataFolder) {
    if (dataFolder.rfind(session.UserFlatpak() + "/", 0) == 0) {
        return {session.UserFlatpak(), session.SystemFlatpak};
    }
    return {session.SystemFlatpak, session.UserFlatpak()};
}

// The executable an entry's Exec starts.
std::optional<std::string> EntryProgram(const TDesktopEntry& entry, const TSessionFolders& session,
                                        const std::string& dataFolder) {
    const auto arguments = ExecArguments(entry.Exec);
    if (!arguments || arguments->empty()) {
        return std::nullopt;
    }
    size_t first = 0;
    // "env NAME=value program": the program is what env starts.
    if (FileNameOf((*arguments)[0]) == "env") {
        ++first;
        while (first < arguments->size() && ((*arguments)[first].find('=') != std::string::npos ||
                                             (*arguments)[first].rfind("-", 0) == 0)) {
            ++first;
        }
    }
    if (first >= arguments->size()) {
        return std::nullopt;
    }
    if (!entry.FlatpakApp.empty()) {
        std::string command;
        for (const std::string& argument : *arguments) {
            if (argument.rfind("--command=", 0) == 0) {
                command = argument.substr(10);
            }
        }
        for (const std::string& installation : FlatpakInstallations(session, dataFolder)) {
            if (auto program = FlatpakProgram(installation, entry.FlatpakApp, command)) {
                return program;
            }
        }
        return std::nullopt;
    }
    const auto file = FindProgram((*arguments)[first], session.SearchPath);
    if (!file) {
        return std::nullopt;
    }
    const std::string snapCommands = session.SnapRoot + "/bin/";
    if (file->rfind(snapCommands, 0) == 0) {
        return SnapProgram(session.SnapRoot, file->substr(snapCommands.size()));
    }
    auto program = ProgramBehind(*file, session.SearchPath);
    if (program && IsSandboxLauncher(*program)) {
        return std::nullopt; // started through a sandbox we could not look into
    }
    return program;
}

// A caption fit for one line of text.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    return text;
}

} // namespace

void DesktopEntryPrograms(const TSessionFolders& session, std::vector<std::string>& lines) {
    std::set<std::string> ids;
    std::set<std::string> programs;
    for (const std::string& dataFolder : session.MenuDataFolders()) {
        std::vector<TEntryFile> entries;
        std::set<std::pair<dev_t, ino_t>> visited;
        CollectEntries(dataFolder + "/applications", "", visited, entries);
        std::sort(entries.begin(), entries.end(),
                  [](const TEntryFile& a, const TEntryFile& b) { return a.Id < b.Id; });
        for (const TEntryFile& file : entries) {
            if (ids.count(file.Id)) {
                continue;
            }
            const auto text = RegularFileHead(file.Path, EntrySizeLimit);
            const auto entry = text ? ParseDesktopEntry(*text, session.Locale) : std::nullopt;
            if (!entry) {
                continue; // a later entry of the id may still be read
            }
            ids.insert(file.Id);
            if (entry->Type != "Application" || entry->NoDisplay || entry->Hidden) {
                continue;
            }
            if (!entry->TryExec.empty() && !FindProgram(entry->TryExec, session.SearchPath)) {
                continue; // the menu hides it: its program is not installed
            }
            const auto program = EntryProgram(*entry, session, dataFolder);
            // A path with "=" would be cut at the wrong place when the line is read.
            if (!program || program->find_first_of("=\n") != std::string::npos ||
                !programs.insert(*program).second) {
                continue;
            }
            const std::string caption = OneLine(entry->Name);
            lines.push_back(
                ProgramLine(*program, caption.empty() ? FileNameOf(*program) : caption));
        }
    }
}

TProgramCaptions::TProgramCaptions(const std::vector<std::string>& menuLines) {
    for (const std::string& line : menuLines) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            captions_.emplace(line.substr(0, equals), line.substr(equals + 1));
        }
    }
}

std::string TProgramCaptions::Caption(const std::string& path) const {
    const auto found = captions_.find(path);
    return found != captions_.end() ? found->second : FileNameOf(path);
}

} // namespace tw
