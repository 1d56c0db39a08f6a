#pragma once

#include "platform/desktop.h"

#include <windows.h>

namespace tw {

inline HWND ToHwnd(TWindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(window));
}

inline TWindowHandle FromHwnd(HWND window) {
    return static_cast<TWindowHandle>(reinterpret_cast<UINT_PTR>(window));
}

// Closes a kernel handle when it goes out of scope.
class TKernelHandle {
  public:
    explicit TKernelHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~TKernelHandle() { Reset(); }
    TKernelHandle(const TKernelHandle&) = delete;
    TKernelHandle& operator=(const TKernelHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle = nullptr) {
        if (Valid()) {
            CloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HANDLE handle_;
};

} // namespace tw
