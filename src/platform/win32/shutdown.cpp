#include "platform/win32/shutdown.h"

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"

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

void ShutdownWindows(int mode, int timeoutSeconds) {
    EnableShutdownPrivilege();
    const UINT how = (mode == 0 ? EWX_REBOOT : EWX_SHUTDOWN) | EWX_FORCE | EWX_FORCEIFHUNG;
    if (!ExitWindowsEx(how, 0)) {
        RaiseLastOSError();
    }
    char message[1] = {'\0'};
    if (!InitiateSystemShutdownA(nullptr, message,
                                 static_cast<DWORD>(timeoutSeconds < 0 ? 0 : timeoutSeconds), TRUE,
                                 mode == 0 ? TRUE : FALSE)) {
        RaiseLastOSError();
    }
}

} // namespace tw
