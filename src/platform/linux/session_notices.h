#pragma once

#include "platform/desktop.h"
#include "platform/linux/bus_connection.h"

#include <bitset>
#include <deque>
#include <string>
#include <vector>

namespace tw {

// What the session's services announce, in order. Sleep passes straight through. A lock is
// announced by several services at once (the session manager's hint, one screen saver or
// two), so the session counts as locked while any of them says so, and each change of that
// is one notice.
class TSessionNoticeQueue {
  public:
    // Unscoped: a source is its bit among the locked ones.
    enum TLockSource { lsLogind = 0, lsScreenSaver, lsGnomeScreenSaver, lsSourceCount };

    void Push(TDesktopNotice notice) { waiting_.push_back(notice); }
    void SetLocked(TLockSource source, bool locked);
    bool Pop(TDesktopNotice& notice);

  private:
    std::deque<TDesktopNotice> waiting_;
    std::bitset<lsSourceCount> locked_;
};

// Suspend/resume and lock/unlock of this program's session: from the session manager
// (logind) on the system bus, and from the screen savers on the session bus. A bus that is
// missing means fewer notices, never a failure.
class TSessionNotices {
  public:
    TSessionNotices();
    TSessionNotices(const TSessionNotices&) = delete;
    TSessionNotices& operator=(const TSessionNotices&) = delete;

    // Readable when notices may be waiting (the open buses only).
    std::vector<int> Descriptors() const;
    bool Next(TDesktopNotice& notice);
    // Why a lock of the session may go unnoticed; empty when every source is watched.
    const std::string& LockDetectionProblem() const { return lockProblem_; }

  private:
    TSessionNoticeQueue queue_;
    TBusConnection system_;
    TBusConnection session_;
    std::string lockProblem_;
};

} // namespace tw
