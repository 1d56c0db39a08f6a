// CPU time of one probe of the foreground window through the real Windows calls: the
// median over 1,000 probes of a window with an Edit child, as a scan sees a plain program;
// or, given a browser stand-in's program name and arguments, of that browser in front (the
// first probe, which looks for the address bar, timed apart from the rest, which find it
// kept).
//   win32_probe_cpu [count [PROGRAM STAND-IN-ARGUMENTS...]]
#include "monitor/probe.h"
#include "platform/win32/win32_desktop.h"
#include "storage/error_log.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// Starts the stand-in under the program name, in a folder of its own; its shown window.
HWND StartStandIn(int argc, char** argv, PROCESS_INFORMATION& started) {
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    std::string folder = own;
    folder = folder.substr(0, folder.find_last_of('\\') + 1);
    const std::string copyFolder = folder + "bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(copyFolder.c_str(), nullptr);
    const std::string copy = copyFolder + "\\" + argv[2];
    CopyFileA((folder + TALLYWICK_STANDIN_NAME).c_str(), copy.c_str(), FALSE);
    std::string line = "\"" + copy + "\"";
    for (int i = 3; i < argc; ++i) {
        line += std::string(" \"") + argv[i] + "\"";
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return nullptr;
    }
    WaitForInputIdle(started.hProcess, 10000);
    for (int i = 0; i < 500; ++i) {
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == started.dwProcessId && IsWindowVisible(window)) {
                return window;
            }
        }
        Sleep(20);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    PROCESS_INFORMATION standIn{};
    HWND frame = nullptr;
    if (argc > 3) {
        frame = StartStandIn(argc, argv, standIn);
        if (!frame) {
            std::fprintf(stderr, "the stand-in showed no window\n");
            return 1;
        }
    } else {
        frame = CreateWindowExA(0, "STATIC", "Probe target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                400, 300, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExA(0, "Edit", "some text", WS_CHILD | WS_VISIBLE, 0, 0, 200, 24, frame,
                        nullptr, nullptr, nullptr);
    }
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
    tw::TErrorLog log;
    tw::TOnlineTimeApplication probe(desktop, log);
    std::vector<double> times;
    if (standIn.hProcess) {
        const double before = CounterMicroseconds();
        probe.Execute(false, nullptr);
        std::printf("first probe %.1f us: address \"%s\", problem %d\n",
                    CounterMicroseconds() - before, probe.Url.c_str(),
                    static_cast<int>(probe.AddressProblem));
    }
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
    if (standIn.hProcess) {
        std::printf("address \"%s\", problem %d\n", probe.Url.c_str(),
                    static_cast<int>(probe.AddressProblem));
        PostMessageA(frame, WM_CLOSE, 0, 0);
        WaitForSingleObject(standIn.hProcess, 5000);
        CloseHandle(standIn.hThread);
        CloseHandle(standIn.hProcess);
    }
    return 0;
}
