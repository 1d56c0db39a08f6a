// The program without windows: one copy per user, the engine on a timer loop of its own,
// and an orderly end when the uninstaller or the session asks for it. Built with
// TALLYWICK_WINDOWLESS, and so by the Windows cross-build, which has no window toolkit.
#include "app/command_line.h"
#include "app/program_files.h"
#include "app/timer_loop.h"
#include "app/windowless_host.h"
#include "base/exception.h"
#include "monitor/scan_engine.h"
#include "platform/session_end.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"

#include <cstdio>

namespace {

// What escapes a handler is reported and the program goes on, as the windowed program's
// application-wide handler does.
void ReportException(const std::exception& e) {
    tw::ErrorLog(tw::ErrorReportText(e, "; ReportException:"));
    std::fprintf(stderr, "%s\n", e.what());
}

} // namespace

int main(int argc, char** argv) {
    using namespace tw;
    UseCommandLine(argc, argv);
    TTimerLoop loop;
    TOptions* options = nullptr; // once loaded
    std::unique_ptr<TDesktop> desktop;
    std::unique_ptr<TSessionEndWatch> sessionEnd;
    try {
        desktop = CreateDesktop();
        if (!InstanceLockAcquire(*desktop)) {
            std::fprintf(stderr, "Please Note: Application is already running\n");
            RemoveFlagFile();
            return 1;
        }
        sessionEnd = std::make_unique<TSessionEndWatch>([&] {
            SecureForSessionEnd(options);
            loop.Quit();
        });
    } catch (const std::exception& e) {
        ReportException(e);
        return 1;
    }

    // Declared out here so that, as with the main window, the engine goes last.
    std::unique_ptr<TWindowlessHost> host;
    std::unique_ptr<TScanEngine> engine;
    int result = 0;
    try {
        SeedDataFolder();
        options = &GOptions_Local();
        host = std::make_unique<TWindowlessHost>(loop, *options);
        engine = std::make_unique<TScanEngine>(
            *desktop, *options, *host, SettingsFile().ReadBool("Common", "Show5MinButton", true));
        host->Attach(*engine);
        // The activity database's clean-up in slices, so that the first scans need not
        // wait for a large one.
        TLogPurge purge(ClockNow());
        int purgeTimer = -1;
        purgeTimer = loop.Add("tmrLogPurge", 10, true, [&] {
            if (!engine->IsPaused() && !purge.Step()) {
                loop.SetEnabled(purgeTimer, false);
            }
        });
        loop.Add("tmrShutdown", 900, true, [&loop] {
            if (UninstallRequested()) {
                loop.Quit();
            }
        });
        loop.Add("tmrSaveOptions", 240025, true, [&] {
            if (!engine->IsPaused()) {
                options->Save();
            }
        });
        loop.Run(
            *desktop, *sessionEnd, [&](TDesktopNotice notice) { engine->HandleNotice(notice); },
            ReportException);
        InstanceLockRelease();
    } catch (const ETemplatesMissing& e) {
        // A broken install: no empty databases are made in place of the templates.
        std::fprintf(stderr, "Please Note: %s\n", e.what());
        InstanceLockRelease();
        result = 1;
    } catch (const std::exception& e) {
        // Start-up failed: the lock file stays, unlocked; the next start takes it.
        ReportException(e);
        result = 1;
    }
    sessionEnd.reset();
    options = nullptr;
    FinishProgram();
    engine.reset(); // the probe and the logger go with it
    host.reset();
    return result;
}
