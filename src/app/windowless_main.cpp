// The program without windows: one copy per user, the program object on a timer loop of its
// own, and an orderly end when the uninstaller or the session asks for it. Built with
// TALLYWICK_WINDOWLESS, and so by the Windows cross-build, which has no window toolkit.
#include "app/command_line.h"
#include "app/program.h"
#include "app/program_files.h"
#include "app/timer_loop.h"
#include "base/exception.h"
#include "base/scope_exit.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/seed_data_folder.h"

#include <cstdio>

namespace {

// What escapes a handler is reported and the program goes on, as the windowed program's
// application-wide handler does.
void ReportException(tw::TErrorLog& log, const std::exception& e) {
    log.Report(tw::ErrorReportText(e, "; ReportException:"));
    std::fprintf(stderr, "%s\n", e.what());
}

} // namespace

int main(int argc, char** argv) {
    using namespace tw;
    // Started first: the program's time counts from the start of the process.
    TSystemClockSource clockSource;
    TClock clock(clockSource);
    // Named once the data folder is known; what fails before goes nowhere.
    TErrorLog log;
    log.SetClock(&clock);
    UseCommandLine(argc, argv, log);
    const auto report = [&log](const std::exception& e) { ReportException(log, e); };
    TTimerLoop loop;
    TSystemInstanceLocks locks;
    std::unique_ptr<TDesktop> desktop;
    std::unique_ptr<TProgram> program;
    try {
        const TPlaces places = SystemPlaces();
        log.SetFilePath(places.LogFilePath());
        desktop = CreateDesktop();
        program = std::make_unique<TProgram>(*desktop, locks, loop, clock, places, log);
        if (!program->TakeInstanceLock()) {
            std::fprintf(stderr, "Please Note: Application is already running\n");
            RemoveFlagFile(places);
            return 1;
        }
        program->WatchForTheEnd([&loop] { loop.Quit(); });
    } catch (const std::exception& e) {
        report(e);
        return 1;
    }

    int result = 0;
    try {
        program->LoadOptions();
        program->Start();
        program->ListenToNotices();
        loop.Run(program->SessionEnd(), report);
    } catch (const ETemplatesMissing& e) {
        // A broken install: no empty databases are made in place of the templates.
        std::fprintf(stderr, "Please Note: %s\n", e.what());
        result = 1;
    } catch (const std::exception& e) {
        // Start-up failed: the lock file stays, unlocked; the next start takes it.
        report(e);
        result = 1;
    }
    program->Finish();
    return result;
}
