#pragma once

#include "platform/desktop.h"

namespace tw {

// Enables a privilege of the process's own token (the shutdown privilege unless told
// otherwise). Throws EOSError with the system's text when the token cannot be opened,
// the privilege is unknown, or the token does not hold it.
void EnableShutdownPrivilege(const char* privilege = "SeShutdownPrivilege");

// Powers the computer off or restarts it after timeoutSeconds, with every
// program asked to close first so that it can save its work; only one that hangs is ended
// without its answer. The privilege is taken at once (a refusal throws EOSError); the wait
// runs on the system's timer thread, so the caller goes on. A second request while one
// waits is the same request.
void ShutdownWindows(TShutdownKind kind, int timeoutSeconds);

} // namespace tw
