#include "monitor/pause_state.h"

#include "storage/error_log.h"

#include <string>

namespace tw {

bool TPauseState::Follow(const TNotice& notice) {
    const std::string detail = notice.detail.empty() ? std::string() : " " + notice.detail;
    switch (notice.what) {
    case TDesktopNotice::Suspend:
        isSuspended_ = true;
        log_.Trace("Application suspended." + detail);
        return true;
    case TDesktopNotice::Resume:
        log_.Trace("Application resumed." + detail);
        isSuspended_ = false;
        return true;
    case TDesktopNotice::SessionLock:
        isSessionLocked_ = true;
        log_.Trace("Locking started");
        return true;
    case TDesktopNotice::SessionUnlock:
        log_.Trace("Locking finished");
        isSessionLocked_ = false;
        return true;
    default:
        return false;
    }
}

} // namespace tw
