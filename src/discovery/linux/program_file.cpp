#include "discovery/linux/program_file.h"

#include "discovery/linux/session_folders.h"
#include "discovery/linux/shell_wrapper.h"
#include "discovery/program_sources.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

// Longer scripts than this are no wrappers.
constexpr size_t WrapperSizeLimit = 256 * 1024;
// How many wrappers may hand over to one another before the chain is taken for a circle.
constexpr int WrapperDepthLimit = 8;

constexpr unsigned ElfExecutable = 2;
constexpr unsigned ElfShared = 3;
constexpr std::uint32_t ProgramInterpreter = 3;

// An open file, closed when it goes out of scope.
class TFile {
  public:
    explicit TFile(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)) {}
    ~TFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Whether it opened a regular file; a device or a pipe is never read.
    bool IsRegular() const {
        struct stat info {};
        return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    }
    std::string Read(size_t offset, size_t length) const {
        std::string bytes(length, '\0');
        size_t done = 0;
        while (done < length) {
            const ssize_t got =
                ::pread(fd_, bytes.data() + done, length - done, static_cast<off_t>(offset + done));
            if (got <= 0) {
                break;
            }
            done += static_cast<size_t>(got);
        }
        bytes.resize(done);
        return bytes;
    }

  private:
    int fd_;
};

// Reads unsigned numbers of the width and byte order an ELF header declares.
struct TElfNumbers {
    bool bigEndian;
    std::uint64_t At(const std::string& bytes, size_t offset, size_t width) const {
        std::uint64_t value = 0;
        for (size_t i = 0; i < width; ++i) {
            const auto byte =
                static_cast<unsigned char>(bytes[offset + (bigEndian ? i : width - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }
};

bool HasElfMagic(const std::string& bytes) {
    return bytes.size() >= 4 && bytes.compare(0, 4,
                                              "\x7f"
                                              "ELF") == 0;
}

bool LooksLikeLibraryName(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const auto so = name.find(".so");
    return so != std::string::npos && (so + 3 == name.size() || name[so + 3] == '.');
}

bool HasProgramInterpreter(const TFile& file, const std::string& header, bool wide,
                           const TElfNumbers& numbers) {
    const std::uint64_t table = wide ? numbers.At(header, 32, 8) : numbers.At(header, 28, 4);
    const std::uint64_t entrySize = numbers.At(header, wide ? 54 : 42, 2);
    const std::uint64_t count = numbers.At(header, wide ? 56 : 44, 2);
    if (entrySize < 4 || count == 0 || count > 512) {
        return false;
    }
    const std::string entries = file.Read(table, entrySize * count);
    for (std::uint64_t i = 0; (i + 1) * entrySize <= entries.size(); ++i) {
        if (numbers.At(entries, i * entrySize, 4) == ProgramInterpreter) {
            return true;
        }
    }
    return false;
}

bool HasExecuteBit(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

std::optional<std::string> RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
        return std::nullopt; // broken, looping or unreadable on the way
    }
    return std::string(resolved);
}

// Whether the path names a file with an execute bit, links followed as the tree sees them.
bool IsExecutableIn(const std::string& path, const TProgramTree& tree) {
    const auto resolved = tree.Resolve(path);
    const std::string location = resolved ? tree.Location(*resolved) : std::string();
    return !location.empty() && HasExecuteBit(location);
}

} // namespace

bool IsElfProgram(const std::string& path) {
    TFile file(path);
    if (!file.IsRegular()) {
        return false;
    }
    const std::string header = file.Read(0, 64);
    if (header.size() < 52 || !HasElfMagic(header)) {
        return false;
    }
    const bool wide = header[4] == 2;
    if ((!wide && header[4] != 1) || (wide && header.size() < 64) ||
        (header[5] != 1 && header[5] != 2)) {
        return false;
    }
    const TElfNumbers numbers{header[5] == 2};
    const auto type = numbers.At(header, 16, 2);
    if (type == ElfExecutable) {
        return true;
    }
    return type == ElfShared &&
           (HasProgramInterpreter(file, header, wide, numbers) || !LooksLikeLibraryName(path));
}

std::optional<std::string> RegularFileHead(const std::string& path, size_t limit) {
    TFile file(path);
    if (!file.IsRegular()) {
        return std::nullopt;
    }
    return file.Read(0, limit);
}

bool IsExecutableProgram(const std::string& path) {
    if (!HasExecuteBit(path)) {
        return false;
    }
    TFile file(path);
    return file.IsRegular() && (file.Read(0, 2) == "#!" || IsElfProgram(path));
}

std::optional<std::string> FindProgram(const std::string& name, const TProgramTree& tree) {
    if (name.empty()) {
        return std::nullopt;
    }
    if (name.find('/') != std::string::npos) {
        // A relative path depends on the folder the program is started in.
        if (name[0] != '/') {
            return std::nullopt;
        }
        return IsExecutableIn(name, tree) ? std::optional<std::string>(name) : std::nullopt;
    }
    // An empty or relative entry means the current folder, which is nobody's menu.
    for (const std::string& folder : AbsoluteFolders(tree.SearchPath)) {
        const std::string candidate = folder + "/" + name;
        if (IsExecutableIn(candidate, tree)) {
            return candidate;
        }
    }
    return std::nullopt;
}

TProgramTree SystemProgramTree(const std::string& searchPath) {
    return {RealPath, [](const std::string& path) { return path; }, searchPath, {}};
}

std::optional<std::string> FindProgram(const std::string& name, const std::string& searchPath) {
    return FindProgram(name, SystemProgramTree(searchPath));
}

std::optional<std::string> ProgramBehind(const std::string& path, const std::string& searchPath) {
    return ProgramBehind(path, SystemProgramTree(searchPath));
}

std::optional<std::string> ProgramBehind(const std::string& path, const TProgramTree& tree) {
    std::set<std::string> met;
    std::string current = path;
    for (int step = 0; step < WrapperDepthLimit; ++step) {
        const auto real = tree.Resolve(current);
        if (!real || !met.insert(*real).second) {
            return std::nullopt;
        }
        const std::string location = tree.Location(*real);
        if (location.empty() || !HasExecuteBit(location)) {
            return std::nullopt;
        }
        TFile file(location);
        if (!file.IsRegular()) {
            return std::nullopt;
        }
        const std::string head = file.Read(0, 4);
        if (HasElfMagic(head)) {
            return IsElfProgram(location) ? real : std::nullopt;
        }
        if (head.rfind("#!", 0) != 0) {
            return std::nullopt;
        }
        const std::string script = file.Read(0, WrapperSizeLimit);
        if (script.size() == WrapperSizeLimit || !IsShellScript(script)) {
            return std::nullopt;
        }
        const auto target = WrapperExecProgram(script, tree.Known);
        const auto next = target ? FindProgram(*target, tree) : std::nullopt;
        if (!next) {
            return std::nullopt;
        }
        current = *next;
    }
    return std::nullopt;
}

} // namespace tw
