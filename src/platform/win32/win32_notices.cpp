#include "platform/win32/win32_notices.h"

#include "platform/win32/win32_error.h"

#include <wtsapi32.h>

namespace tw {

namespace {

constexpr const char* WindowClassName = "TallywickNoticeWindow";
constexpr const char* HotKeyAtomName = "OTA_ALT_Hotkey";

HINSTANCE ModuleInstance() {
    return GetModuleHandleA(nullptr);
}

void RegisterWindowClassOnce(WNDPROC procedure) {
    WNDCLASSA windowClass{};
    if (GetClassInfoA(ModuleInstance(), WindowClassName, &windowClass)) {
        return;
    }
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.lpszClassName = WindowClassName;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        RaiseLastOSError();
    }
}

} // namespace

std::optional<TDesktopNotice> DecodeNoticeMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                  ATOM hotKeyId) {
    (void)lParam;
    switch (message) {
    case WM_POWERBROADCAST:
        switch (wParam) {
        case 4: // PBT_APMSUSPEND
        case 5: // PBT_APMSTANDBY
            return TDesktopNotice::Suspend;
        case 1: // PBT_APMQUERYSTANDBY
        case 6: // PBT_APMRESUMECRITICAL
        case 7: // PBT_APMRESUMESUSPEND
        case 8: // PBT_APMRESUMESTANDBY
            return TDesktopNotice::Resume;
        default:
            return std::nullopt;
        }
    case WM_WTSSESSION_CHANGE:
        switch (wParam) {
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT:
        case WTS_SESSION_LOGOFF:
        case WTS_SESSION_LOCK:
            return TDesktopNotice::SessionLock;
        case WTS_CONSOLE_CONNECT:
        case WTS_REMOTE_CONNECT:
        case WTS_SESSION_LOGON:
        case WTS_SESSION_UNLOCK:
            return TDesktopNotice::SessionUnlock;
        default:
            return std::nullopt;
        }
    case WM_HOTKEY:
        if (hotKeyId != 0 && wParam == hotKeyId) {
            return TDesktopNotice::HotKey;
        }
        return std::nullopt;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) {
            return TDesktopNotice::WorkAreaChange;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

TWin32Notices::TWin32Notices() {
    RegisterWindowClassOnce(&WindowProc);
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, WindowClassName, "Tallywick", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, ModuleInstance(), nullptr);
    if (!window_) {
        RaiseLastOSError();
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Without session notices the program simply never pauses for a lock; without the hot
    // key, double Alt does nothing. Neither stops the program.
    sessionRegistered_ = WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    hotKeyId_ = GlobalAddAtomA(HotKeyAtomName);
    if (hotKeyId_ != 0) {
        hotKeyRegistered_ = RegisterHotKey(window_, hotKeyId_, MOD_ALT, 0) != FALSE;
    }
}

TWin32Notices::~TWin32Notices() {
    if (hotKeyRegistered_) {
        UnregisterHotKey(window_, hotKeyId_);
    }
    if (hotKeyId_ != 0) {
        GlobalDeleteAtom(hotKeyId_);
    }
    if (sessionRegistered_) {
        WTSUnRegisterSessionNotification(window_);
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool TWin32Notices::Next(TDesktopNotice& notice) {
    // Normally the GUI's own loop dispatches our messages; a program without one (the
    // engine's headless host) gets them delivered here.
    MSG message;
    while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (queue_.empty()) {
        return false;
    }
    notice = queue_.front();
    queue_.pop_front();
    return true;
}

LRESULT CALLBACK TWin32Notices::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = reinterpret_cast<TWin32Notices*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        if (auto notice = DecodeNoticeMessage(message, wParam, lParam, self->hotKeyId_)) {
            self->queue_.push_back(*notice);
        }
    }
    if (message == WM_POWERBROADCAST) {
        return TRUE; // never veto a suspend
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace tw
