#pragma once

#include "storage/options.h"

#include <functional>
#include <string>

namespace twtest {

// The user's roaming application-data folder, where the Windows program keeps its data.
std::string RoamingFolder();
// The program's data folder in it, with a trailing backslash.
std::string ProgramDataFolder();
// A folder in the user's temporary folder named for this test process, without a trailing
// backslash; created by the caller.
std::string ProcessTempFolder(const std::string& name);
// A program of the system's own folder (notepad.exe).
std::string SystemFile(const char* name);
// A fresh data folder from the template databases in programFolder, with the settings changed
// as the settings wizard would (and its first start done). False when they were not saved.
bool ConfigureProgramData(const std::string& programFolder,
                          const std::function<void(tw::TOptions&)>& change);

} // namespace twtest
