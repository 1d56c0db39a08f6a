// The add wizard's sources on Linux, in the session the program runs in.
#include "discovery/program_sources.h"

#include "discovery/linux/desktop_programs.h"
#include "discovery/linux/program_file.h"
#include "discovery/linux/program_folders.h"
#include "discovery/linux/running_programs.h"
#include "discovery/linux/session_folders.h"

#include <unistd.h>

namespace tw {

namespace {

// Read afresh each time: a program installed since the last scan gets its menu name.
TProgramCaptions MenuCaptions(const TSessionFolders& session) {
    std::vector<std::string> menu;
    DesktopEntryPrograms(session, menu);
    return TProgramCaptions(menu);
}

} // namespace

void FastScanPrograms(std::vector<std::string>& lines) {
    DesktopEntryPrograms(SessionFoldersFromEnvironment(), lines);
}

int CountCompleteScanFolders(const TScanControl& control) {
    return CountProgramFolders(ProgramRoots(SessionFoldersFromEnvironment()), control);
}

void CompleteScanPrograms(std::vector<std::string>& lines, const TScanControl& control) {
    const TSessionFolders session = SessionFoldersFromEnvironment();
    WalkProgramFolders(ProgramRoots(session), MenuCaptions(session), session.SearchPath, lines,
                       control);
}

void RunningProgramLines(std::vector<std::string>& lines, TErrorLog& /*log*/) {
    RunningPrograms(::getuid(), MenuCaptions(SessionFoldersFromEnvironment()), lines);
}

std::string ProgramPathOf(const std::string& path) {
    return ProgramBehind(path, SessionFoldersFromEnvironment().SearchPath).value_or(path);
}

std::string ProgramCaption(const std::string& path) {
    return MenuCaptions(SessionFoldersFromEnvironment()).Caption(path);
}

} // namespace tw
