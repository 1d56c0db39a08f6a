#include "discovery/linux/program_folders.h"

#include "discovery/linux/program_file.h"
#include "discovery/linux/sandbox_apps.h"
#include "discovery/program_lines.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace tw {

namespace {

using TClock = std::chrono::steady_clock;

// Progress is told at least this often while files are looked at, well inside the
// 100 ms a progress display needs to look alive.
constexpr auto ReportInterval = std::chrono::milliseconds(25);

bool IsInside(const std::string& folder, const std::string& outer) {
    return folder == outer || folder.rfind(outer + "/", 0) == 0;
}

// The entries of a folder, sorted, hidden ones left out, split into the folders to enter
// and the rest. A folder that cannot be read has none.
struct TFolderEntries {
    std::vector<std::string> Folders;
    std::vector<std::string> Files;
};

TFolderEntries ReadFolder(const std::string& folder) {
    TFolderEntries entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        return entries;
    }
    while (const dirent* item = ::readdir(dir.get())) {
        const std::string name = item->d_name;
        if (name.empty() || name[0] == '.') {
            continue;
        }
        bool isFolder = item->d_type == DT_DIR;
        if (item->d_type == DT_UNKNOWN) {
            struct stat info {};
            const std::string path = folder + "/" + name;
            isFolder = ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        (isFolder ? entries.Folders : entries.Files).push_back(name);
    }
    std::sort(entries.Folders.begin(), entries.Folders.end());
    std::sort(entries.Files.begin(), entries.Files.end());
    return entries;
}

// Walks the folders below the roots once each, telling progress and watching the stop flag.
class TFolderWalk {
  public:
    explicit TFolderWalk(const TScanControl& control) : control_(control) {}

    // Visits the folder and everything below it; the visitor sees each folder's files.
    template <class VisitFiles> void Walk(const std::string& folder, VisitFiles& visitFiles) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 ||
            !visited_.emplace(info.st_dev, info.st_ino).second) {
            return; // gone, or met before through a mount of the same folder
        }
        ++progress_.Folders;
        Report();
        const TFolderEntries entries = ReadFolder(folder);
        visitFiles(folder, entries.Files);
        for (const std::string& name : entries.Folders) {
            Walk(folder + "/" + name, visitFiles);
        }
    }

    // Between two files: stops when asked, tells progress when it is time.
    void Tick() {
        CheckStop();
        if (TClock::now() - lastReport_ >= ReportInterval) {
            Report();
        }
    }

    void Found() { ++progress_.Programs; }

  private:
    void CheckStop() const {
        if (control_.Stop && control_.Stop->load()) {
            throw EAbort();
        }
    }
    void Report() {
        CheckStop();
        lastReport_ = TClock::now();
        if (control_.Progress) {
            control_.Progress(progress_);
        }
    }

    const TScanControl& control_;
    TScanProgress progress_;
    TClock::time_point lastReport_ = TClock::now();
    std::set<std::pair<dev_t, ino_t>> visited_;
};

std::optional<std::string> ProgramOf(const TProgramRoot& root, const std::string& path,
                                     const std::string& name, const std::string& searchPath) {
    switch (root.Kind) {
    case TProgramRoot::TKind::FlatpakExports:
        return FlatpakProgram(root.Sandbox, name, "");
    case TProgramRoot::TKind::SnapCommands:
        return SnapProgram(root.Sandbox, name);
    case TProgramRoot::TKind::Programs:
        break;
    }
    if (!IsOfferedWalkedExecutable(name)) {
        return std::nullopt;
    }
    return ProgramBehind(path, searchPath);
}

} // namespace

std::vector<TProgramRoot> ProgramRoots(const TSessionFolders& session) {
    using TKind = TProgramRoot::TKind;
    std::vector<TProgramRoot> candidates;
    for (const std::string& folder : session.SystemProgramFolders) {
        candidates.push_back({folder, TKind::Programs, {}});
    }
    if (!session.Home.empty()) {
        candidates.push_back({session.Home + "/.local/bin", TKind::Programs, {}});
    }
    for (const std::string& installation : {session.UserFlatpak(), session.SystemFlatpak}) {
        candidates.push_back({installation + "/exports/bin", TKind::FlatpakExports, installation});
    }
    candidates.push_back({session.SnapRoot + "/bin", TKind::SnapCommands, session.SnapRoot});

    std::vector<TProgramRoot> roots;
    for (TProgramRoot& candidate : candidates) {
        char real[PATH_MAX];
        struct stat info {};
        if (::realpath(candidate.Folder.c_str(), real) && ::stat(real, &info) == 0 &&
            S_ISDIR(info.st_mode)) {
            candidate.Folder = real;
            roots.push_back(std::move(candidate));
        }
    }
    std::sort(roots.begin(), roots.end(),
              [](const TProgramRoot& a, const TProgramRoot& b) { return a.Folder < b.Folder; });
    std::vector<TProgramRoot> pruned;
    for (TProgramRoot& root : roots) {
        if (std::none_of(pruned.begin(), pruned.end(), [&](const TProgramRoot& outer) {
                return IsInside(root.Folder, outer.Folder);
            })) {
            pruned.push_back(std::move(root));
        }
    }
    return pruned;
}

int CountProgramFolders(const std::vector<TProgramRoot>& roots, const TScanControl& control) {
    TFolderWalk walk(control);
    int folders = 0;
    auto count = [&](const std::string&, const std::vector<std::string>&) { ++folders; };
    for (const TProgramRoot& root : roots) {
        walk.Walk(root.Folder, count);
    }
    return folders;
}

void WalkProgramFolders(const std::vector<TProgramRoot>& roots, const TProgramCaptions& captions,
                        const std::string& searchPath, std::vector<std::string>& lines,
                        const TScanControl& control) {
    TFolderWalk walk(control);
    std::set<std::string> found;
    for (const TProgramRoot& root : roots) {
        auto visitFiles = [&](const std::string& folder, const std::vector<std::string>& files) {
            for (const std::string& name : files) {
                walk.Tick();
                const auto program = ProgramOf(root, folder + "/" + name, name, searchPath);
                if (!program || program->find_first_of("=\n") != std::string::npos ||
                    !found.insert(*program).second) {
                    continue;
                }
                lines.push_back(ProgramLine(*program, captions.Caption(*program)));
                walk.Found();
            }
        };
        walk.Walk(root.Folder, visitFiles);
    }
}

} // namespace tw
