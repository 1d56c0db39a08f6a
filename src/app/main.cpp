// The program's entry while it has no windows: one copy per user, the engine on its
// timers, an orderly end when the uninstaller asks for it.
#include "app/headless_host.h"
#include "app/program_files.h"
#include "app/timer_loop.h"
#include "base/exception.h"
#include "monitor/scan_engine.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<tw::TTimerLoop*> runningLoop = nullptr;

// What escapes a handler is reported and the program goes on, as the window toolkit's
// application-wide handler will do.
void ReportException(const std::exception& e) {
    tw::ErrorLog(tw::ErrorReportText(e, "; TApplicationErrorMessage.OnException:"));
    std::fprintf(stderr, "%s\n", e.what());
}

void Finalise() {
    tw::ReleaseGOptions_Local(); // saves
    tw::RemoveFlagFile();
    tw::ReleaseSettingsFile();
}

} // namespace

int main() {
    using namespace tw;
    std::unique_ptr<TDesktop> desktop;
    try {
        desktop = CreateDesktop();
        if (!InstanceLockAcquire(*desktop)) {
            std::fprintf(stderr, "Please Note: Application is already running\n");
            RemoveFlagFile();
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    // A session that ends asks the program to end, as the system does with windows.
    std::signal(SIGTERM, [](int) {
        if (tw::TTimerLoop* loop = runningLoop.load()) {
            loop->Quit();
        }
    });

    // Declared out here so that, as with the main window later, the engine goes last.
    std::unique_ptr<TTimerLoop> loop;
    std::unique_ptr<THeadlessHost> host;
    std::unique_ptr<TScanEngine> engine;
    int result = 0;
    try {
        SeedDataFolder();
        TOptions& options = GOptions_Local();
        loop = std::make_unique<TTimerLoop>();
        runningLoop = loop.get();
        host = std::make_unique<THeadlessHost>(*loop, options);
        engine = std::make_unique<TScanEngine>(
            *desktop, options, *host, SettingsFile().ReadBool("Common", "Show5MinButton", true));
        host->Attach(*engine);
        options.LogDBPurge();
        loop->Add("tmrShutdown", 900, true, [&loop] {
            if (UninstallRequested()) {
                loop->Quit();
            }
        });
        loop->Add("tmrSaveOptions", 240025, true, [&] {
            if (!engine->IsPaused()) {
                options.Save();
            }
        });
        loop->Run(
            *desktop, [&](TDesktopNotice notice) { engine->HandleNotice(notice); },
            ReportException);
        runningLoop = nullptr;
        InstanceLockRelease();
    } catch (const std::exception& e) {
        // Start-up failed: the lock file stays, unlocked; the next start takes it.
        runningLoop = nullptr;
        ReportException(e);
        result = 1;
    }
    Finalise();
    engine.reset(); // the probe and the logger go with it
    host.reset();
    loop.reset();
    return result;
}
