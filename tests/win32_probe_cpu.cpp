// CPU time of one probe of the foreground window through the real Windows calls: the
// median over 1,000 probes of a window with an Edit child, as a scan sees a plain program.
//   win32_probe_cpu [count]
#include "monitor/probe.h"
#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The system's CPU clock advances in scheduler ticks (10 ms under Wine), far coarser than
// one probe: CPU time is therefore taken over the whole run, and each probe is timed on
// the high-resolution counter (on an idle machine it matches the CPU time of this
// process and the window server together).
double ProcessCpuMicroseconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto value = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(value(kernel) + value(user)) / 10.0; // 100 ns units
}

double CounterMicroseconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    HWND frame = CreateWindowExA(0, "STATIC", "Probe target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "Edit", "some text", WS_CHILD | WS_VISIBLE, 0, 0, 200, 24, frame, nullptr,
                    nullptr, nullptr);
    SetForegroundWindow(frame);
    for (int i = 0; i < 100 && GetForegroundWindow() != frame; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        Sleep(20);
        SetForegroundWindow(frame);
    }
    tw::TWin32Desktop desktop;
    tw::TOnlineTimeApplication probe(desktop);
    std::vector<double> times;
    const double cpuBefore = ProcessCpuMicroseconds();
    for (int i = 0; i < count; ++i) {
        const double before = CounterMicroseconds();
        probe.Execute(false, nullptr);
        times.push_back(CounterMicroseconds() - before);
    }
    const double cpuPerProbe = (ProcessCpuMicroseconds() - cpuBefore) / count;
    std::sort(times.begin(), times.end());
    std::printf("foreground %s: %s, kind %d\n",
                probe.Window == reinterpret_cast<UINT_PTR>(frame) ? "ours" : "another window",
                probe.ExeName.c_str(), static_cast<int>(probe.BrowserKind));
    std::printf("probes %d: median %.1f us per probe (counter), this process's CPU %.1f us per "
                "probe (whole run)\n",
                count, times[times.size() / 2], cpuPerProbe);
    return 0;
}
