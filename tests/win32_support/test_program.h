#pragma once

// What the small programs the Windows tests start (win32_test_helper, the browser stand-in)
// share: their wide command line, their window class, their message loop.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace twtest {

inline std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    wchar_t** given = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments(given, given + count);
    LocalFree(given);
    return arguments;
}

inline void RegisterWindowClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
}

// Until the quit message; its code.
inline int RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace twtest
