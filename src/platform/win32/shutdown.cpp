#include "platform/win32/shutdown.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"

#include <atomic>
#include <cstdio>

namespace tw {

void EnableShutdownPrivilege(const char* privilege) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        RaiseLastOSError();
    }
    TKernelHandle held(token);
    TOKEN_PRIVILEGES wanted{};
    if (!LookupPrivilegeValueA(nullptr, privilege, &wanted.Privileges[0].Luid)) {
        RaiseLastOSError();
    }
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Room for the previous state of the one privilege.
    alignas(TOKEN_PRIVILEGES) unsigned char previous[16] = {};
    DWORD previousLength = 0;
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(held.Get(), FALSE, &wanted, sizeof previous,
                               reinterpret_cast<TOKEN_PRIVILEGES*>(previous), &previousLength)) {
        RaiseLastOSError();
    }
    // The call succeeds even when the token lacks the privilege and only says so here;
    // going on would make the shutdown fail later with a less telling error.
    if (GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
        RaiseOSError(ERROR_NOT_ALL_ASSIGNED);
    }
}

namespace {

UINT ShutdownFlags(TShutdownKind kind) {
    // Never EWX_FORCE: it ends every program without asking, and their unsaved work with
    // them.
    return (kind == TShutdownKind::Restart ? EWX_REBOOT : EWX_POWEROFF) | EWX_FORCEIFHUNG;
}

constexpr DWORD PlannedShutdown =
    SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

// Process-wide because the thread pool's timer callback that clears it has no object to
// reach; the machine has one shutdown to wait for, so one flag serves every caller.
std::atomic<bool> shutdownWaiting{false};

// The kind travels in the timer's context pointer, as its number.
void CALLBACK ShutdownTimerFired(void* kind, BOOLEAN) {
    if (!ExitWindowsEx(ShutdownFlags(static_cast<TShutdownKind>(reinterpret_cast<INT_PTR>(kind))),
                       PlannedShutdown)) {
        // Nobody waits on this thread to hear of it: the error stream is all there is.
        std::fprintf(stderr, "Shutdown refused: %s\n", SystemErrorText(GetLastError()).c_str());
    }
    shutdownWaiting = false;
}

} // namespace

void ShutdownWindows(TShutdownKind kind, int timeoutSeconds) {
    EnableShutdownPrivilege();
    if (shutdownWaiting.exchange(true)) {
        return;
    }
    HANDLE timer = nullptr;
    const DWORD waitMs = static_cast<DWORD>(timeoutSeconds < 0 ? 0 : timeoutSeconds) * 1000u;
    if (!CreateTimerQueueTimer(&timer, nullptr, ShutdownTimerFired,
                               reinterpret_cast<void*>(static_cast<INT_PTR>(kind)), waitMs, 0,
                               WT_EXECUTEONLYONCE)) {
        shutdownWaiting = false;
        RaiseLastOSError();
    }
}

} // namespace tw
