// tallywick-probe [--watch]: prints what Tallywick sees in the foreground window, as one
// line of JSON, and which item of the user's list covers it. With --watch, a line every
// scan period until interrupted. It only looks: nothing in the data folder is written.
//
// tallywick-probe --programs [--complete]: "why is my program not offered?": prints the
// lines path=caption the add wizard's Fast scan offers, or with --complete those of the
// Complete scan followed by the running programs it offers (those owning a window).
#include "base/scope_exit.h"
#include "discovery/program_sources.h"
#include "monitor/offered_programs.h"
#include "monitor/probe.h"
#include "monitor/probe_report.h"
#include "platform/native_path.h"
#include "storage/data_folder.h"
#include "storage/error_log.h"
#include "storage/options.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Each report is said on standard error as well, for the person at the terminal.
class TTerminalLog : public tw::TErrorLog {
  protected:
    void Heard(const std::string& text) noexcept override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
};

void PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
}

void PrintPrograms(bool complete, tw::TErrorLog& log) {
    std::vector<std::string> lines;
    if (!complete) {
        tw::FastScanPrograms(lines);
        PrintLines(lines);
        return;
    }
    tw::CompleteScanPrograms(lines, {});
    PrintLines(lines);
    // The wizard offers the running programs that own a window, as its desktop tells; where
    // no desktop answers here (a terminal without a display), every running program is listed,
    // as the wizard would offer them without one.
    std::optional<std::vector<std::string>> owners;
    try {
        owners = tw::WindowOwningPrograms(*tw::CreateDesktop());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Every running program is listed: %s\n", e.what());
    }
    tw::OfferedRunningPrograms(
        [&log](std::vector<std::string>& running) { tw::RunningProgramLines(running, log); },
        owners ? &*owners : nullptr, lines);
    PrintLines(lines);
}

} // namespace

int main(int argc, char** argv) {
    using namespace tw;
    bool watch = false;
    bool programs = false;
    bool complete = false;
    bool unknown = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--watch") == 0) {
            watch = true;
        } else if (std::strcmp(argv[i], "--programs") == 0) {
            programs = true;
        } else if (std::strcmp(argv[i], "--complete") == 0) {
            complete = true;
        } else {
            unknown = true;
        }
    }
    if (unknown || (programs && watch) || (complete && !programs)) {
        std::fprintf(stderr, "usage: %s [--watch]\n       %s --programs [--complete]\n", argv[0],
                     argv[0]);
        return 2;
    }
    TTerminalLog log;
    TSystemClockSource clockSource;
    TClock clock(clockSource);
    log.SetClock(&clock);
    try {
        if (programs) {
            PrintPrograms(complete, log);
            return 0;
        }
        auto desktop = CreateDesktop();
        if (const std::string problem = desktop->WindowsProblem(); !problem.empty()) {
            std::fprintf(stderr, "Windows cannot be seen: %s\n", problem.c_str());
        }
        // Opening a missing database would create an empty one, which the program would
        // then take for the user's: look only when the program has seeded the folder.
        TDataFolder data(SystemPlaces(), clock, log);
        log.SetFilePath(data.Places().LogFilePath());
        std::unique_ptr<TOptions> options;
        if (std::filesystem::exists(NativePath(data.Places().SettingsDatabasePath()))) {
            options = std::make_unique<TOptions>(data);
            options->MakeReadOnly();
        } else {
            std::fprintf(stderr, "No settings in %s yet: nothing is listed.\n",
                         data.Places().dataFolder.c_str());
        }
        const int period = options ? options->Values().ScanPeriodSeconds : 3;
        const TMonitoredList* list = options ? &options->Values().MonitoredList : nullptr;
        TOnlineTimeApplication probe(*desktop, log);
        do {
            probe.Execute(false, nullptr);
            std::printf("%s\n", ProbeReportJson(desktop->Name(), probe, list).c_str());
            std::fflush(stdout);
            if (watch) {
                std::this_thread::sleep_for(std::chrono::seconds(period));
            }
        } while (watch);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
