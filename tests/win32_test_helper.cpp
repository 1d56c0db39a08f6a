// A second process for the Windows tests:
//   lock PATH               takes the instance lock, says "locked" or "busy", then holds it
//   window TITLE            shows a top-level window, says "window", ends when it is closed
//   browser TITLE ADDRESS   the same, shaped like a browser whose address field shows ADDRESS
//   asked FILE              shows a window that notes in FILE each question of the session's end
//   shutdown SECONDS        asks for a shutdown after SECONDS, says what came of it
// Arguments are taken in UTF-16 and windows made with the wide calls, so that texts in any
// script reach the desktop as given.
#include "platform/instance_lock.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_text.h"
#include "win32_support/test_program.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

// Where a window with work to save notes that the session's end asked it; none when empty.
std::wstring askedFile;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && GetParent(window) == nullptr) {
        PostQuitMessage(0);
        return 0;
    }
    // Only a shutdown that asks gives a program the chance to save its work.
    if (message == WM_QUERYENDSESSION && !askedFile.empty()) {
        if (FILE* file = _wfopen(askedFile.c_str(), L"a")) {
            std::fprintf(file, "asked\n");
            std::fclose(file);
        }
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Shows the window (with an address field when given one) until it is closed.
int ShowWindowUntilClosed(const std::wstring& title, const std::wstring* address) {
    const wchar_t* frameClass = address ? L"Chrome_WidgetWin_1" : L"TallywickTestHelper";
    twtest::RegisterWindowClass(frameClass, Procedure);
    HWND window =
        CreateWindowExW(0, frameClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300,
                        200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        return 3;
    }
    if (address) {
        twtest::RegisterWindowClass(L"Chrome_AutocompleteEditView", Procedure);
        CreateWindowExW(0, L"Chrome_AutocompleteEditView", address->c_str(), WS_CHILD | WS_VISIBLE,
                        0, 0, 280, 24, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    std::printf("window\n");
    std::fflush(stdout);
    return twtest::RunMessageLoop();
}

} // namespace

int main() {
    const std::vector<std::wstring> arguments = twtest::CommandLineArguments();
    const std::wstring command = arguments.size() >= 2 ? arguments[1] : L"";
    if (arguments.size() >= 3 && command == L"lock") {
        tw::TSystemInstanceLocks locks;
        auto lock = locks.Acquire(tw::Utf8Text(arguments[2]));
        std::printf("%s\n", lock ? "locked" : "busy");
        std::fflush(stdout);
        if (lock) {
            Sleep(INFINITE);
        }
        return 0;
    }
    if (arguments.size() >= 3 && command == L"window") {
        return ShowWindowUntilClosed(arguments[2], nullptr);
    }
    if (arguments.size() >= 4 && command == L"browser") {
        return ShowWindowUntilClosed(arguments[2], &arguments[3]);
    }
    if (arguments.size() >= 3 && command == L"asked") {
        askedFile = arguments[2];
        return ShowWindowUntilClosed(L"Unsaved work", nullptr);
    }
    if (arguments.size() >= 3 && command == L"shutdown") {
        const int seconds = std::stoi(arguments[2]);
        try {
            tw::TWin32Desktop desktop;
            desktop.ShutdownComputer(tw::TShutdownKind::PowerOff, seconds);
            std::printf("shutdown requested\n");
        } catch (const std::exception& e) {
            std::printf("refused: %s\n", e.what());
            return 1;
        }
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(seconds + 30) *
              1000); // the session's end takes this process with it
        return 0;
    }
    std::fprintf(stderr, "usage: win32_test_helper lock PATH | window TITLE | "
                         "browser TITLE ADDRESS | asked FILE | shutdown SECONDS\n");
    return 2;
}
