#include "monitor/pause_state.h"

#include "storage/error_log.h"

#include <string>

namespace tw {

bool TPauseState::Follow(const TNotice& notice) {
    const std::string detail = notice.detail.empty() ? std::string() : " " + notice.detail;
    switch (notice.what) {
    case TDesktopNotice::Suspend:
        isSuspended_ = true;
        DiagnosticLog("Application suspended." + detail);
        return true;
    case TDesktopNotice::Resume:
        DiagnosticLog("Application resumed." + detail);
        isSuspended_ = false;
        return true;
    case TDesktopNotice::SessionLock:
        isSessionLocked_ = true;
        DiagnosticLog("Locking started");
        return true;
    case TDesktopNotice::SessionUnlock:
        DiagnosticLog("Locking finished");
        isSessionLocked_ = false;
        return true;
    default:
        return false;
    }
}

} // namespace tw
