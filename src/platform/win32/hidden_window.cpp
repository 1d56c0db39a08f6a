#include "platform/win32/hidden_window.h"

#include "platform/win32/win32_error.h"

namespace tw {

HWND CreateHiddenWindow(const wchar_t* className, WNDPROC procedure) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, className, &windowClass)) {
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className;
        if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            RaiseLastOSError();
        }
    }
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, className, L"Tallywick", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) {
        RaiseLastOSError();
    }
    return window;
}

} // namespace tw
