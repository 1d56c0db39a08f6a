#pragma once

#include <string>
#include <vector>

namespace tw {

class TErrorLog;

// Replaces the lines with "path=caption" for every program running under the user's own
// name on the computer, as the management service (WMI) lists them, each path once.
// A failure (no service, the computer not reached) goes to the log; the lines keep what
// was found before it.
void ProcessesExeNamesGet(const std::string& computerName, std::vector<std::string>& lines,
                          TErrorLog& log);

// Keeps the lines "path=caption" of programs that show a window on the desktop: a visible
// top-level window that no other window owns and that is no tool window, as the taskbar
// counts them. Every GUI program also has hidden windows, so owning one says nothing.
void KeepProgramsWithDesktopWindows(std::vector<std::string>& lines);

} // namespace tw
