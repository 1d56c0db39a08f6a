// The add wizard's sources on Windows: the Start menu, the install folders, the management
// service's process list and the version resources.
#include "discovery/program_sources.h"

#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/win32/file_caption.h"
#include "discovery/win32/install_folders.h"
#include "discovery/win32/running_programs.h"
#include "discovery/win32/start_menu.h"
#include "platform/file_checks.h"

#include <objbase.h>

namespace tw {

namespace {

// The shell links and the management service need COM on the calling thread, which may
// be a worker's; a thread that has it already keeps it as it is.
class TComScope {
  public:
    TComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

  private:
    HRESULT result_;
};

// The walk reports per folder entered; the stop flag is looked at there too.
TKeepGoing KeepGoing(const TScanControl& control, TScanProgress& progress) {
    return [&control, &progress] {
        ++progress.Folders;
        if (control.Progress) {
            control.Progress(progress);
        }
        return !(control.Stop && control.Stop->load());
    };
}

} // namespace

void FastScanPrograms(std::vector<std::string>& lines) {
    TComScope com;
    StartMenuPrograms(lines);
}

int CountCompleteScanFolders(const TScanControl& control) {
    TScanProgress progress;
    return CountInstallFolders(KeepGoing(control, progress));
}

void CompleteScanPrograms(std::vector<std::string>& lines, const TScanControl& control) {
    TScanProgress progress;
    const size_t before = lines.size();
    WalkInstallFolders(lines, [&] {
        progress.Programs = static_cast<int>(lines.size() - before);
        return KeepGoing(control, progress)();
    });
}

void RunningProgramLines(std::vector<std::string>& lines, TErrorLog& log) {
    TComScope com;
    ProcessesExeNamesGet(LocalComputerName(), lines, log);
    KeepProgramsWithDesktopWindows(lines);
}

std::string ProgramCaption(const std::string& path) {
    return FileCaption(path);
}

std::string ProgramPathOf(const std::string& path) {
    return path;
}

bool IsExecutableProgram(const std::string& path) {
    return SameText(ExtractFileExt(path), ".exe") && FileExistsChecked(path);
}

} // namespace tw
