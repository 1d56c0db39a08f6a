#pragma once

#include <string>
#include <vector>

namespace tw {

// How a listed program's name covers an executable.
enum class TProgramMatch { None, ByFileName, ByPath };

// How two paths of program files compare: letters A-Z in any case (Windows, whose file
// systems fold them), or exactly (elsewhere, where two such paths are two files).
enum class TPathCase { Exact, AnyCase };
// This system's way; the scan and the usage totals both compare so.
TPathCase NativePathCase();

// Whether the name is a bare file name ("notepad.exe", "mygame"), without "/", "\" or ":":
// it then stands for every executable of that name, wherever it is installed or moved to.
bool IsBareProgramName(const std::string& itemName);

// ByPath where a name with a folder is the executable's path, ByFileName where a bare name
// is the executable's file name, both compared as the paths' case says; None otherwise, and
// for a blank executable.
TProgramMatch MatchProgram(const std::string& itemName, const std::string& exePath,
                           TPathCase pathCase = NativePathCase());

// Whether two executable paths (or file names) name the same file, as the case says.
bool SameProgramFile(const std::string& a, const std::string& b,
                     TPathCase pathCase = NativePathCase());

// Only the bare-name half of MatchProgram, for SQL joins that compare full paths themselves.
bool ProgramFileNameMatches(const std::string& itemName, const std::string& exePath);

// The known executables that the name covers, each once, in the order given.
std::vector<std::string> ProgramsCovered(const std::string& itemName,
                                         const std::vector<std::string>& knownPaths);

} // namespace tw
