#pragma once

namespace tw {

// Enables a privilege of the process's own token (the shutdown privilege unless told
// otherwise). Throws EOSError with the system's text when the token cannot be opened,
// the privilege is unknown, or the token does not hold it.
void EnableShutdownPrivilege(const char* privilege = "SeShutdownPrivilege");

// Shuts the computer down (mode 1) or restarts it (mode 0), forcing programs closed,
// and asks for the same again with the time-out. Throws EOSError on refusal.
void ShutdownWindows(int mode, int timeoutSeconds);

} // namespace tw
