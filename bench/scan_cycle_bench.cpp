// Measures one scan cycle on the real desktop backend with a listed window in front: the
// probe, the two list matches and one insert on its own connection. Prints the median CPU
// and wall time per cycle over 1,000 cycles and the process's resident memory.
//
//   scan_cycle_bench <path of a client program that opens a window and takes the focus>
//                    [its arguments...]
//
// With --browsers first, it also starts a desktop session of its own (session bus,
// accessibility bus, pages on 127.0.0.1) with Chromium and Firefox, and prints for the client
// window and each browser window in front: the median and the worst time of one probe, and
// the median and the worst CPU time of one scan cycle that logs the listed page or program.
//
// Run it on an X display (scripts/with-x-server.sh --window-manager openbox ...).
#include "monitor/scan_engine.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/browser_session.h"
#include "support/test_data_folder.h"
#include "support/x11_screen.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace tw;
namespace fs = std::filesystem;

class BenchHost : public TScanHost, public TScanTimers {
  public:
    TReminderChoice ShowReminder(const TOnlineTimeApplication&, bool, bool) override { return {}; }
    void SelectDayPart(TDayPart) override {}
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

double Worst(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

// Milliseconds of CPU and of wall time that each run of the step took.
struct TTimes {
    std::vector<double> cpu;
    std::vector<double> wall;
};

TTimes Time(int runs, const std::function<void()>& step) {
    TTimes times;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = CpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        step();
        times.wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
                .count());
        times.cpu.push_back((CpuSeconds() - cpuStart) * 1000);
    }
    return times;
}

void AddItem(TOptions& options, const std::string& name, TMonitoredItemType type) {
    auto item = std::make_unique<TMonitoredItem>();
    item->Name = name;
    item->Caption = name;
    item->ItemType = type;
    options.Edit().MonitoredList.Add(name, std::move(item));
}

pid_t StartClient(char** argv) {
    const pid_t client = fork();
    if (client == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    return client;
}

void StopClient(pid_t client) {
    kill(client, SIGTERM);
    waitpid(client, nullptr, 0);
}

int MeasureClient(char** clientArgv) {
    const pid_t client = StartClient(clientArgv);
    std::this_thread::sleep_for(std::chrono::seconds(1)); // let it map and take the focus
    int result = 0;
    {
        twtest::TestDataFolder folder(EncodeDate(2026, 12, 7) + 10 * OneHour);
        auto desktop = CreateDesktop();
        TOptions options(folder.Data());
        options.Edit().TimeLimitSeconds = 86400;
        AddItem(options, fs::canonical(clientArgv[0]).string(), TMonitoredItemType::mitApp);
        options.MonitoredItemsSave();

        BenchHost host;
        TScanEngine engine(*desktop, options, host, host, true);
        const TTimes times = Time(1000, [&] {
            folder.Clock().Advance(3);
            engine.ScanTimer();
        });
        const int logged = engine.Logger().Total / 3;
        std::printf("backend %s, %d of 1000 cycles logged the listed window\n", desktop->Name(),
                    logged);
        std::printf("per cycle: CPU %.3f ms, wall %.3f ms (medians)\n", Median(times.cpu),
                    Median(times.wall));
        std::printf("resident memory:%s\n", ResidentMemory().c_str());
        result = logged == 1000 ? 0 : 1;
    }
    StopClient(client);
    return result;
}

// Runs the step the given number of times, a pause apart that is not counted: a browser
// that did not answer in time is left alone for a moment, as between two scans.
TTimes Paced(int runs, const std::function<void()>& step) {
    TTimes all;
    for (int i = 0; i < runs; ++i) {
        const TTimes one = Time(1, step);
        all.cpu.push_back(one.cpu.front());
        all.wall.push_back(one.wall.front());
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    return all;
}

// The client window, then Chromium and Firefox, each in front in turn.
int MeasureBrowsers(char** clientArgv) {
    constexpr int Runs = 150;
    twtest::TDesktopSession session;
    session.SetAccessibility(true);
    twtest::TLocalWebServer server;
    twtest::TScreen screen;
    const pid_t client = StartClient(clientArgv);
    twtest::TBrowser chromium(twtest::TBrowser::Chromium, session, server.Url("q.html"));
    twtest::TBrowser firefox(twtest::TBrowser::Firefox, session, server.Url("q.html"));

    twtest::TestDataFolder folder(EncodeDate(2026, 12, 7) + 10 * OneHour);
    auto desktop = CreateDesktop();
    TOptions options(folder.Data());
    options.Edit().TimeLimitSeconds = 86400;
    AddItem(options, fs::canonical(clientArgv[0]).string(), TMonitoredItemType::mitApp);
    AddItem(options, server.Host(), TMonitoredItemType::mitWeb);
    options.MonitoredItemsSave();
    BenchHost host;
    TScanEngine engine(*desktop, options, host, host, true);
    TOnlineTimeApplication probe(*desktop, folder.Log());

    struct TSubject {
        const char* name;
        pid_t pid;
        twtest::TXWindow window = 0;
    };
    std::vector<TSubject> subjects{
        {"client", client}, {"Chromium", chromium.Pid()}, {"Firefox", firefox.Pid()}};
    // Everything up, each page read once (the paths are then known, as after the first scan
    // with that window in front), before anything is measured: a window that comes up later
    // would take the front.
    for (TSubject& subject : subjects) {
        std::vector<twtest::TXWindow> windows;
        twtest::WaitUntil([&] { return !(windows = screen.ClientsOf(subject.pid)).empty(); },
                          60000);
        if (windows.empty()) {
            std::fprintf(stderr, "%s showed no window\n", subject.name);
            return 1;
        }
        subject.window = windows.front();
        screen.Activate(subject.window);
        const bool ready = twtest::WaitUntil(
            [&] {
                probe.Execute(false, nullptr);
                return probe.Window == subject.window &&
                       (probe.BrowserKind == TBrowserKind::Desktop ||
                        probe.Url.find(server.Host()) != std::string::npos);
            },
            60000);
        if (!ready) {
            std::fprintf(stderr, "%s: the probe did not read it (address \"%s\")\n", subject.name,
                         probe.Url.c_str());
            return 1;
        }
    }

    int result = 0;
    std::printf("%d probes and %d scan cycles with each window in front\n", Runs, Runs);
    std::printf("%-9s %13s %13s %9s %13s %13s %7s\n", "in front", "probe median", "probe worst",
                "unread", "cycle CPU med", "cycle CPU max", "logged");
    for (const TSubject& subject : subjects) {
        screen.Activate(subject.window);
        twtest::WaitUntil([&] { return desktop->WhatIsInFront().window == subject.window; });
        int unread = 0;
        const TTimes probes = Paced(Runs, [&] {
            probe.Execute(false, nullptr);
            unread += probe.AddressProblem != TAddressProblem::NoProblem;
        });
        const int before = engine.Logger().Total;
        const TTimes cycles = Paced(Runs, [&] {
            folder.Clock().Advance(3);
            engine.ScanTimer();
        });
        const int logged = (engine.Logger().Total - before) / 3;
        std::printf("%-9s %10.3f ms %10.3f ms %9d %10.3f ms %10.3f ms %7d\n", subject.name,
                    Median(probes.wall), Worst(probes.wall), unread, Median(cycles.cpu),
                    Worst(cycles.cpu), logged);
        if (logged == 0) {
            result = 1;
        }
    }
    std::printf("resident memory:%s\n", ResidentMemory().c_str());
    StopClient(client);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const bool browsers = argc > 1 && std::strcmp(argv[1], "--browsers") == 0;
    const int first = browsers ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: %s [--browsers] client [arguments...]\n", argv[0]);
        return 2;
    }
    try {
        return browsers ? MeasureBrowsers(argv + first) : MeasureClient(argv + first);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
