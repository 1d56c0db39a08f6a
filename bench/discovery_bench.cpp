// Measures program discovery on this machine, in the session it is started in: the Fast
// scan's time (first run and median of 20), the Complete scan's folder count and time, the
// longest gap between two of its progress reports, and how soon it ends once told to stop.
//
//   discovery_bench
#include "discovery/program_sources.h"
#include "storage/error_log.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using TWallClock = std::chrono::steady_clock;

double MsSince(TWallClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TWallClock::now() - start).count();
}

} // namespace

int main() {
    using namespace tw;
    std::vector<double> fast;
    size_t fastLines = 0;
    for (int run = 0; run < 21; ++run) {
        std::vector<std::string> lines;
        const auto start = TWallClock::now();
        FastScanPrograms(lines);
        fast.push_back(MsSince(start));
        fastLines = lines.size();
    }
    const double firstFast = fast.front();
    std::vector<double> later(fast.begin() + 1, fast.end());
    std::sort(later.begin(), later.end());
    std::printf("Fast scan: %zu lines, first run %.1f ms, then median %.1f ms, slowest %.1f ms\n",
                fastLines, firstFast, later[later.size() / 2], later.back());

    // The gaps between progress reports, the start and the end included.
    double longestGap = 0;
    int reports = 0;
    TWallClock::time_point last;
    const TScanControl watched{[&](const TScanProgress&) {
                                   longestGap = std::max(longestGap, MsSince(last));
                                   last = TWallClock::now();
                                   ++reports;
                               },
                               nullptr};
    last = TWallClock::now();
    auto start = TWallClock::now();
    const int folders = CountCompleteScanFolders(watched);
    const double countMs = MsSince(start);
    longestGap = std::max(longestGap, MsSince(last));
    const double countGap = longestGap;

    longestGap = 0;
    reports = 0;
    std::vector<std::string> lines;
    last = start = TWallClock::now();
    CompleteScanPrograms(lines, watched);
    const double walkMs = MsSince(start);
    longestGap = std::max(longestGap, MsSince(last));
    std::printf("Complete scan: %d folders counted in %.1f ms (longest gap between progress "
                "reports %.1f ms)\n",
                folders, countMs, countGap);
    std::printf("Complete scan: %zu lines in %.1f ms, %d progress reports, longest gap %.1f ms\n",
                lines.size(), walkMs, reports, longestGap);

    // Stop half way through: how long until the scan gives up.
    std::atomic<bool> stop{false};
    TWallClock::time_point stopped;
    const TScanControl stopping{[&](const TScanProgress& progress) {
                                    if (!stop && progress.Folders >= folders / 2) {
                                        stopped = TWallClock::now();
                                        stop = true;
                                    }
                                },
                                &stop};
    std::vector<std::string> kept;
    try {
        CompleteScanPrograms(kept, stopping);
        std::printf("Stop: the scan ended before it was stopped\n");
    } catch (const EAbort&) {
        std::printf("Stop: ended %.2f ms after the flag was set, %zu lines kept\n",
                    MsSince(stopped), kept.size());
    }

    std::vector<std::string> running;
    start = TWallClock::now();
    TErrorLog log;
    RunningProgramLines(running, log);
    std::printf("Running programs: %zu lines in %.1f ms\n", running.size(), MsSince(start));
    return 0;
}
