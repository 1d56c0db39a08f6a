#include "platform/win32/window_styles.h"

#include "platform/win32/win32_handle.h"

namespace tw {

void RemoveTaskbarButton(TWindowHandle window) {
    const HWND hwnd = ToHwnd(window);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (style & ~LONG_PTR(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
}

} // namespace tw
