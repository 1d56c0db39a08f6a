#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tw {

// Whether the file is an ELF program: an executable, or a position-independent one (a
// shared object with a program interpreter, or without one but not named like a library:
// "libx.so", "x.so.1").
bool IsElfProgram(const std::string& path);

// The first bytes of a regular file, at most `limit` (never a device or a pipe, whose
// reading could wait for ever); nothing when it cannot be read.
std::optional<std::string> RegularFileHead(const std::string& path, size_t limit);

// The file a program name stands for: an absolute path as it is, a bare name as the first
// file of that name in the search path's folders (a list like PATH, ":"-separated); in
// both cases only a file with an execute bit. Nothing when there is none, or for a
// relative path (which depends on the folder the program would be started in).
std::optional<std::string> FindProgram(const std::string& name, const std::string& searchPath);

// The executable the kernel runs when the file is started, as /proc/PID/exe then names
// it: symbolic links resolved and shell wrappers followed to the program on their last
// exec line, until an ELF program. Nothing when it ends anywhere else (a link loop or a
// broken link, a script that does not exec or whose exec line cannot be read, a wrapper
// chain that goes round).
std::optional<std::string> ProgramBehind(const std::string& path, const std::string& searchPath);

// A tree of files as a program sees it, where that differs from the system's (a sandbox).
struct TProgramTree {
    // The path with every link resolved as the program would see it; nothing when a link
    // is broken or goes round.
    std::function<std::optional<std::string>(const std::string&)> Resolve;
    // Where the file a resolved path names lies on this system; empty when nowhere.
    std::function<std::string(const std::string&)> Location;
    // The program's search path for bare names.
    std::string SearchPath;
    // Variables its environment is known to hold, for the exec lines of wrappers.
    std::map<std::string, std::string> Known;
};

// The system's own tree with this search path.
TProgramTree SystemProgramTree(const std::string& searchPath);

// FindProgram and ProgramBehind inside such a tree: the paths are the program's own view.
std::optional<std::string> FindProgram(const std::string& name, const TProgramTree& tree);
std::optional<std::string> ProgramBehind(const std::string& path, const TProgramTree& tree);

} // namespace tw
