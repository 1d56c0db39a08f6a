#pragma once

#include "discovery/program_lines.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// The programs of this computer that the add wizard offers, as lines "path=caption", from
// each system's own sources; each system's discovery library defines these.

namespace tw {

class TErrorLog;

// How far a Complete scan has got.
struct TScanProgress {
    int Folders = 0;  // folders entered (counted, while counting)
    int Programs = 0; // lines found so far
};

// Watches and stops a Complete scan, which may run on any thread: Progress is called on
// that thread (on Linux at least every 100 ms while it works); setting Stop from any
// thread makes it raise EAbort soon after, the lines found so far kept.
struct TScanControl {
    std::function<void(const TScanProgress&)> Progress;
    const std::atomic<bool>* Stop = nullptr;
};

// The Fast scan: the programs of the menu (the Start menu's shortcuts; the menu entries of
// the XDG application folders), captioned by the menu. Appends to the lines.
void FastScanPrograms(std::vector<std::string>& lines);

// The number of folders the Complete scan walks, for a progress total.
int CountCompleteScanFolders(const TScanControl& control);

// The Complete scan: the programs in the folders programs are installed in. Appends to
// the lines as they are found.
void CompleteScanPrograms(std::vector<std::string>& lines, const TScanControl& control);

// Replaces the lines with the programs running under the user's own account, each once; on
// Windows only those that show a window on the desktop, since there every program owns
// hidden windows (elsewhere the add wizard asks the desktop which own one).
// A failure of the system's process list is reported to the log, never raised.
void RunningProgramLines(std::vector<std::string>& lines, TErrorLog& log);

// The caption the lists give a program file.
std::string ProgramCaption(const std::string& path);

// Whether a file a person picked is a program the system can start.
bool IsExecutableProgram(const std::string& path);

// The path the system will give a program started from the file a person picked, which is
// what a listed program must name: on Linux with links resolved and shell wrappers
// followed (the file itself where that cannot be told without running it); on Windows
// the file itself.
std::string ProgramPathOf(const std::string& path);

} // namespace tw
