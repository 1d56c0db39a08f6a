// A second process for the Windows tests:
//   lock PATH       takes the instance lock, says "locked" or "busy", then holds it
//   window TITLE    shows a top-level window, says "window", ends when it is closed
//   shutdown        asks for a shutdown as the reminder does, says what came of it
#include "platform/win32/win32_desktop.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowWindowUntilClosed(const char* title) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TallywickTestHelper";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                        20, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        return 3;
    }
    std::printf("window\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "lock") == 0) {
        tw::TWin32Desktop desktop;
        auto lock = desktop.AcquireInstanceLock(argv[2]);
        std::printf("%s\n", lock ? "locked" : "busy");
        std::fflush(stdout);
        if (lock) {
            Sleep(INFINITE);
        }
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "window") == 0) {
        return ShowWindowUntilClosed(argv[2]);
    }
    if (argc >= 2 && std::strcmp(argv[1], "shutdown") == 0) {
        try {
            tw::TWin32Desktop desktop;
            desktop.ShutdownComputer(1, 60);
            std::printf("shutdown requested\n");
        } catch (const std::exception& e) {
            std::printf("refused: %s\n", e.what());
            return 1;
        }
        std::fflush(stdout);
        Sleep(30000); // the session's end takes this process with it
        return 0;
    }
    std::fprintf(stderr, "usage: %s lock PATH | window TITLE | shutdown\n", argv[0]);
    return 2;
}
