#pragma once

#include "platform/desktop.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace tw {

// The notice a window message carries, if any: suspend and resume from
// WM_POWERBROADCAST, lock and unlock from WM_WTSSESSION_CHANGE, a press of the hot key
// with the given id from WM_HOTKEY, and a work-area change from WM_SETTINGCHANGE with
// SPI_SETWORKAREA.
std::optional<TDesktopNotice> DecodeNoticeMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                  ATOM hotKeyId);

// A hidden top-level window of our own that the system's notices are sent to (power and
// setting broadcasts reach only top-level windows, so it cannot be a message-only one).
// It registers for session notices and the Alt hot key, and queues what arrives.
class TWin32Notices {
  public:
    TWin32Notices();
    ~TWin32Notices();
    TWin32Notices(const TWin32Notices&) = delete;
    TWin32Notices& operator=(const TWin32Notices&) = delete;

    // Delivers what is waiting for our window, then hands out the oldest notice; a suspend
    // or resume with its power broadcast's event as "Code: n".
    bool Next(TNotice& notice);
    // Called when the window's own announcement that notices wait is dispatched, by whoever
    // runs this thread's messages.
    void WakeOnNotices(std::function<void()> wake) { wake_ = std::move(wake); }
    HWND Window() const { return window_; }
    ATOM HotKeyId() const { return hotKeyId_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    ATOM hotKeyId_ = 0;
    bool sessionRegistered_ = false;
    bool hotKeyRegistered_ = false;
    bool wakePosted_ = false;
    std::deque<TNotice> queue_;
    std::function<void()> wake_;
};

} // namespace tw
