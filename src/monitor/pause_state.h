#pragma once

#include "platform/desktop.h"

namespace tw {

// Whether the counting is paused: the computer asleep or the session locked. Either holds
// until its own end is heard of.
class TPauseState {
  public:
    // Follows a suspend, resume, lock or unlock notice; false for any other.
    bool Follow(const TNotice& notice);
    bool IsPaused() const { return isSuspended_ || isSessionLocked_; }

  private:
    bool isSuspended_ = false;
    bool isSessionLocked_ = false;
};

} // namespace tw
