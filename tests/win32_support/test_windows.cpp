#include "win32_support/test_windows.h"

#include "platform/win32/com_ids.h"
#include "platform/win32/win32_text.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace twtest {

namespace {

void RegisterClassNamed(const std::string& className, WNDPROC procedure) {
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), className.c_str(), &existing)) {
        return;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
}

} // namespace

void PumpMessages(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (milliseconds > 0) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    } while (std::chrono::steady_clock::now() < end);
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        PumpMessages(20);
    }
    return true;
}

TTestWindow::TTestWindow(const std::string& className, const std::string& text, HWND parent) {
    // Standard classes ("Edit") are the system's own; any other name is made ours.
    if (className != "Edit" && className != "STATIC") {
        RegisterClassNamed(className, &Procedure);
    }
    const DWORD style = parent ? (WS_CHILD | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    window_ =
        CreateWindowExA(0, className.c_str(), text.c_str(), style, 10, 10, parent ? 200 : 400,
                        parent ? 24 : 300, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window_) {
        throw std::runtime_error("cannot create a window of class " + className);
    }
    SetPropA(window_, "TallywickTestWindow", this);
}

TTestWindow::~TTestWindow() {
    Destroy();
}

void TTestWindow::Destroy() {
    if (window_ && IsWindow(window_)) {
        RemovePropA(window_, "TallywickTestWindow");
        DestroyWindow(window_);
    }
    window_ = nullptr;
}

tw::TWindowHandle TTestWindow::Id() const {
    return static_cast<tw::TWindowHandle>(reinterpret_cast<UINT_PTR>(window_));
}

LRESULT CALLBACK TTestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_WINDOW) {
        auto* self = static_cast<TTestWindow*>(GetPropA(window, "TallywickTestWindow"));
        if (self && self->accessible_) {
            return LresultFromObject(tw::IidAccessible, wParam, self->accessible_);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool MakeForeground(HWND window) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() != window) {
                ShowWindow(window, SW_SHOW);
                SetForegroundWindow(window);
            }
            return GetForegroundWindow() == window;
        },
        10000);
}

std::vector<HWND> WindowsOf(DWORD processId) {
    struct TSearch {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(DWORD processId, int milliseconds) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : WindowsOf(processId)) {
                if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        milliseconds);
    return found;
}

TTestProcess::TTestProcess(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        throw std::runtime_error("cannot create a pipe");
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring line = tw::WideText(commandLine);
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info_);
    CloseHandle(writeEnd);
    output_ = readEnd;
    if (!started) {
        CloseHandle(readEnd);
        throw std::runtime_error("cannot start " + commandLine);
    }
}

TTestProcess::~TTestProcess() {
    Kill();
    CloseHandle(output_);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::string TTestProcess::ReadLine(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (auto newline = pending_.find('\n'); newline != std::string::npos) {
            std::string line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr)) {
            return pending_; // the program ended
        }
        if (available > 0) {
            char buffer[512];
            DWORD got = 0;
            ReadFile(output_, buffer, sizeof buffer < available ? sizeof buffer : available, &got,
                     nullptr);
            pending_.append(buffer, got);
            continue;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool TTestProcess::Running() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

long TTestProcess::ExitCodeWithin(int milliseconds) {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

void TTestProcess::Kill() {
    if (info_.hProcess && Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string QuotedCommand(const std::string& program, const std::string& arguments) {
    // Appended piece by piece: a quote put before a temporary string makes GCC 12's
    // optimiser see an overlapping copy that is not there (-Wrestrict), an error in
    // optimised builds.
    std::string command = "\"";
    command += program;
    command += "\" ";
    command += arguments;
    return command;
}

TBrowserStandIns::TBrowserStandIns()
    : folder_(OwnFolder() + "standins-" + std::to_string(GetCurrentProcessId()) + "\\") {
    std::filesystem::create_directories(folder_);
}

TBrowserStandIns::~TBrowserStandIns() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string TBrowserStandIns::Copy(const std::string& programName) {
    // A folder for each copy: the image of one just ended may still be held for a moment.
    const std::string folder = folder_ + std::to_string(++copies_) + "\\";
    std::filesystem::create_directories(folder);
    lastCopy_ = folder + programName;
    std::filesystem::copy_file(OwnFolder() + TALLYWICK_STANDIN_NAME, lastCopy_);
    return lastCopy_;
}

std::unique_ptr<TTestProcess> TBrowserStandIns::Start(const std::string& programName,
                                                      const std::string& arguments) {
    auto process = std::make_unique<TTestProcess>(QuotedCommand(Copy(programName), arguments));
    if (process->ReadLine() != "window") {
        throw std::runtime_error("the stand-in " + programName + " showed no window");
    }
    return process;
}

} // namespace twtest
