#include "platform/win32/win32_notices.h"

#include "platform/win32/hidden_window.h"
#include "platform/win32/win32_error.h"

#include <wtsapi32.h>

#include <string>

namespace tw {

namespace {

constexpr const wchar_t* WindowClassName = L"TallywickNoticeWindow";
constexpr const wchar_t* HotKeyAtomName = L"OTA_ALT_Hotkey";
// Posted by the window to itself once it has queued a notice: a posted message passes the
// loop of whoever runs this thread's messages, so a GUI toolkit's loop learns of it at once.
constexpr UINT NoticesWaitingMessage = WM_APP + 0x54;

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
    window_ = CreateHiddenWindow(WindowClassName, &WindowProc);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Without session notices the program simply never pauses for a lock; without the hot
    // key, double Alt does nothing. Neither stops the program.
    sessionRegistered_ = WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    hotKeyId_ = GlobalAddAtomW(HotKeyAtomName);
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
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool TWin32Notices::Next(TNotice& notice) {
    // Normally the GUI's own loop dispatches our messages; a program without one (the
    // engine's headless host) gets them delivered here.
    MSG message;
    while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    wakePosted_ = false;
    if (queue_.empty()) {
        return false;
    }
    notice = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

LRESULT CALLBACK TWin32Notices::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = reinterpret_cast<TWin32Notices*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == NoticesWaitingMessage) {
        // Posted, so it passes the loop of whoever runs this thread's messages (a window
        // toolkit's too), which dispatches it here.
        if (self && self->wake_) {
            self->wake_();
        }
        return 0;
    }
    if (self) {
        if (auto notice = DecodeNoticeMessage(message, wParam, lParam, self->hotKeyId_)) {
            // The power event goes to the log, which has always named it.
            const bool power = message == WM_POWERBROADCAST;
            self->queue_.emplace_back(*notice,
                                      power ? "Code: " + std::to_string(wParam) : std::string());
            if (!self->wakePosted_) {
                self->wakePosted_ = PostMessageW(window, NoticesWaitingMessage, 0, 0) != FALSE;
            }
        }
    }
    if (message == WM_POWERBROADCAST) {
        return TRUE; // never veto a suspend
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tw
