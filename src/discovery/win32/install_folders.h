#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tw {

// Told once per folder entered; false stops the scan by raising EAbort.
using TKeepGoing = std::function<bool()>;

// The local computer's name, read once.
const std::string& LocalComputerName();

// The Program Files folder as the registry of the named computer records it. Throws
// tw::Exception "Can't open registry on computer NAME" when the registry cannot be
// reached, "Can't open registry values on computer NAME" when the value cannot be read.
std::string ProgramFilesDir(const std::string& computerName);

// The folders a Complete scan walks: the install folders named by the Uninstall entries
// and Program Files, without excluded, duplicate and nested ones.
std::vector<std::string> ScanRoots();

// The number of folders under the roots (for the progress bar).
int CountInstallFolders(const TKeepGoing& keepGoing);
int CountFolders(const std::vector<std::string>& roots, const TKeepGoing& keepGoing);

// A line "path=caption" for each program in the folders under the roots.
void WalkInstallFolders(std::vector<std::string>& lines, const TKeepGoing& keepGoing);
void WalkFolders(const std::vector<std::string>& roots, std::vector<std::string>& lines,
                 const TKeepGoing& keepGoing);

} // namespace tw
