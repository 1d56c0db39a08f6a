// Measures one scan cycle on the real desktop backend with a listed window in front: the
// probe, the two list matches and one insert on its own connection. Prints the median CPU
// and wall time per cycle over 1,000 cycles and the process's resident memory.
//
//   scan_cycle_bench <path of a client program that opens a window and takes the focus>
//                    [its arguments...]
// Run it on an X display (scripts/with-x-server.sh --window-manager openbox ...).
#include "monitor/scan_engine.h"
#include "storage/clock.h"
#include "storage/data_folder.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/manual_clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace tw;

class BenchHost : public TScanHost {
  public:
    bool ShowReminder(const TOnlineTimeApplication&, bool, bool) override { return false; }
    void SelectDayPart(int) override {}
    void SetBlockDisplay(bool) override {}
    void RedisplayAfterReset() override {}
    void SetScanTimerEnabled(bool) override {}
    void EnableReminderOnlyTimer() override {}
    void DisableReminderOnlyTimer() override {}
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

std::string ResidentMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return line.substr(6);
        }
    }
    return "?";
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s client [arguments...]\n", argv[0]);
        return 2;
    }
    pid_t client = fork();
    if (client == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1)); // let it map and take the focus

    fs::path folder = fs::temp_directory_path() / ("scan-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / name, folder / name);
    }
    SetDataFolderForTest(folder.string());
    twtest::TManualClockSource clock(EncodeDate(2026, 12, 7) + 10 * OneHour);
    ClockInstallSource(&clock);

    int result = 0;
    {
        auto desktop = CreateDesktop();
        TOptions options;
        options.TimeLimitSeconds = 86400;
        auto item = std::make_unique<TMonitoredItem>();
        item->Name = fs::canonical(argv[1]).string();
        item->Caption = "Bench client";
        item->ItemType = TMonitoredItemType::mitApp;
        options.MonitoredList.Add("Bench client", std::move(item));
        options.MonitoredItemsSave();

        BenchHost host;
        TScanEngine engine(*desktop, options, host, true);
        std::vector<double> cpu;
        std::vector<double> wall;
        for (int i = 0; i < 1000; ++i) {
            clock.Advance(3);
            const double cpuStart = CpuSeconds();
            const auto wallStart = std::chrono::steady_clock::now();
            engine.ScanTimer();
            wall.push_back(std::chrono::duration<double, std::milli>(
                               std::chrono::steady_clock::now() - wallStart)
                               .count());
            cpu.push_back((CpuSeconds() - cpuStart) * 1000);
        }
        const int logged = engine.Logger().Total / 3;
        std::printf("backend %s, %d of 1000 cycles logged the listed window\n", desktop->Name(),
                    logged);
        std::printf("per cycle: CPU %.3f ms, wall %.3f ms (medians)\n", Median(cpu), Median(wall));
        std::printf("resident memory:%s\n", ResidentMemory().c_str());
        result = logged == 1000 ? 0 : 1;
    }
    ClockInstallSource(nullptr);
    kill(client, SIGTERM);
    waitpid(client, nullptr, 0);
    fs::remove_all(folder);
    return result;
}
