// The add wizard's sources on the system it runs on: each system's discovery library.
#include "dialogs/program_scan.h"
#include "discovery/program_sources.h"
#include "monitor/offered_programs.h"
#include "platform/desktop.h"

namespace tw {

namespace {

// The discovery sources report progress and look at the stop flag themselves; the wizard's
// scan asks through one callback.
class TControl {
  public:
    explicit TControl(const TFolderProgress& progress) : progress_(progress) {
        control_.Stop = &stop_;
        control_.Progress = [this](const TScanProgress& now) {
            if (!progress_(now.Folders, now.Programs)) {
                stop_ = true;
            }
        };
    }
    const TScanControl& Control() const { return control_; }

  private:
    const TFolderProgress& progress_;
    std::atomic<bool> stop_{false};
    TScanControl control_;
};

} // namespace

TProgramSources SystemProgramSources(TDesktop& desktop, TErrorLog& log) {
    TProgramSources sources;
    sources.windowOwners = [&desktop] { return WindowOwningPrograms(desktop); };
    sources.fast = [](std::vector<std::string>& lines) { FastScanPrograms(lines); };
    sources.countFolders = [](const TFolderProgress& progress) {
        TControl control(progress);
        return CountCompleteScanFolders(control.Control());
    };
    sources.complete = [](std::vector<std::string>& lines, const TFolderProgress& progress) {
        TControl control(progress);
        CompleteScanPrograms(lines, control.Control());
    };
    sources.running = [&log](std::vector<std::string>& lines) { RunningProgramLines(lines, log); };
    sources.caption = [](const std::string& path) { return ProgramCaption(path); };
    sources.isProgram = [](const std::string& path) { return IsExecutableProgram(path); };
    sources.pathOf = [](const std::string& path) { return ProgramPathOf(path); };
    return sources;
}

} // namespace tw
