// Measures KWin and GNOME Shell as the Wayland tests start them (headless, in a session of
// their own, a real Qt Wayland client in front): the time until each is ready and its resident
// memory then, how long connecting takes (loading our script, turning our extension on), and
// the CPU time spent in this process and in the compositor beyond its idle rate, over 1,000
// calls, of one question "which window is in front" (TCompositorWindows::Focused) and of one
// scan's look at the desktop (TWaylandDesktop::WhatIsInFront: that question, then the
// executable of the process). The compositor's figure has the kernel's tick (10 ms) over
// 1,000 as its grain.
//
//   compositor_bench [kwin|gnome]...     (both when none is named)
//
// It needs the compositors' packages (scripts/setup-debian.sh test).
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/kwin_windows.h"
#include "platform/wayland/wayland_desktop.h"
#include "support/compositor_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace twtest;

namespace {

constexpr int Questions = 1000;

// User and system CPU seconds of a process so far.
double ProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; fields >> field && index <= 15; ++index) {
        if (index >= 14) {
            ticks += std::stod(field);
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double OwnCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

void Measure(TCompositorSession::TKind kind) {
    TCompositorSession session(kind);
    const long memory = ResidentKilobytes(session.CompositorPid());
    auto client = session.StartClient("Measured window");
    const auto connecting = std::chrono::steady_clock::now();
    auto windows = kind == TCompositorSession::KWin
                       ? tw::ConnectKWin(std::string(TALLYWICK_TEMPLATE_DIR) + "/kwin/")
                       : tw::ConnectGnomeShell();
    const double connected =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - connecting).count();
    if (!WaitUntil([&] { return windows->Focused().pid == client->Pid(); })) {
        std::printf("%s: the client never came in front (%s)\n", windows->Name(),
                    windows->Problem().c_str());
        return;
    }
    // What the compositor spends anyway (drawing, its timers) is not the question's.
    constexpr double IdleSeconds = 2;
    const double idleBefore = ProcessCpuSeconds(session.CompositorPid());
    usleep(static_cast<useconds_t>(IdleSeconds * 1e6));
    const double idleRate = (ProcessCpuSeconds(session.CompositorPid()) - idleBefore) / IdleSeconds;
    // CPU here and in the compositor, and wall time, of one of Questions calls to ask.
    struct TCost {
        double own, compositor, wall;
    };
    auto costOf = [&](const std::function<void()>& ask) {
        const double ownBefore = OwnCpuSeconds();
        const double compositorBefore = ProcessCpuSeconds(session.CompositorPid());
        const auto started = std::chrono::steady_clock::now();
        for (int question = 0; question < Questions; ++question) {
            ask();
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return TCost{(OwnCpuSeconds() - ownBefore) / Questions * 1e6,
                     std::max(0.0, ProcessCpuSeconds(session.CompositorPid()) - compositorBefore -
                                       idleRate * wall) /
                         Questions * 1e6,
                     wall / Questions * 1e6};
    };
    const TCost question = costOf([&] { windows->Focused(); });
    std::printf("%s: ready after %.2f s, %ld MB resident; connected in %.0f ms; one question: "
                "%.1f us here, %.1f us in the compositor, %.1f us wall\n",
                windows->Name(), session.StartSeconds(), memory / 1024, connected * 1e3,
                question.own, question.compositor, question.wall);
    // What a scan asks of the desktop: the window in front, its process's executable.
    const std::string name = windows->Name();
    tw::TWaylandDesktop desktop(std::move(windows));
    const TCost scan = costOf([&] { desktop.WhatIsInFront(); });
    std::printf("%s: one scan's look at the desktop: %.1f us here, %.1f us in the compositor, "
                "%.1f us wall\n",
                name.c_str(), scan.own, scan.compositor, scan.wall);
}

} // namespace

int main(int argc, char** argv) {
    bool kwin = argc == 1;
    bool gnome = argc == 1;
    for (int index = 1; index < argc; ++index) {
        kwin = kwin || std::string(argv[index]) == "kwin";
        gnome = gnome || std::string(argv[index]) == "gnome";
    }
    if (kwin) {
        Measure(TCompositorSession::KWin);
    }
    if (gnome) {
        Measure(TCompositorSession::GnomeShell);
    }
}
