#include "platform/event_wait.h"

#include <windows.h>

namespace tw {

void WaitForSystemEvents(int timeoutMs, const std::vector<int>&) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeoutMs < 0 ? 0 : timeoutMs),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace tw
