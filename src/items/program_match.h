#pragma once

#include <string>
#include <vector>

namespace tw {

// How a listed program's name covers an executable.
enum class TProgramMatch { None, ByFileName, ByPath };

// Whether the name is a bare file name ("notepad.exe", "mygame"), without "/", "\" or ":":
// it then stands for every executable of that name, wherever it is installed or moved to.
bool IsBareProgramName(const std::string& itemName);

// ByPath where a name with a folder equals the executable's path (letters A-Z in any case);
// ByFileName where a bare name equals the executable's file name (any case on Windows,
// exactly elsewhere, as the systems' own file names compare); None otherwise, and for a
// blank executable.
TProgramMatch MatchProgram(const std::string& itemName, const std::string& exePath);

// Whether two executable paths (or file names) name the same file, as the system compares
// them: any letter case on Windows, exactly elsewhere.
bool SameProgramFile(const std::string& a, const std::string& b);

// Only the bare-name half of MatchProgram, for SQL joins that compare full paths themselves.
bool ProgramFileNameMatches(const std::string& itemName, const std::string& exePath);

// The known executables that the name covers, each once, in the order given.
std::vector<std::string> ProgramsCovered(const std::string& itemName,
                                         const std::vector<std::string>& knownPaths);

} // namespace tw
