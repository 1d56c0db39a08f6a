#pragma once

#include "platform/desktop.h"

namespace tw {

class TErrorLog;

// Whether the counting is paused: the computer asleep or the session locked. Either holds
// until its own end is heard of. Each change is traced in the log.
class TPauseState {
  public:
    explicit TPauseState(TErrorLog& log) : log_(log) {}

    // Follows a suspend, resume, lock or unlock notice; false for any other.
    bool Follow(const TNotice& notice);
    bool IsPaused() const { return isSuspended_ || isSessionLocked_; }

  private:
    TErrorLog& log_;
    bool isSuspended_ = false;
    bool isSessionLocked_ = false;
};

} // namespace tw
