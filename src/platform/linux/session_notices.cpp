#include "platform/linux/session_notices.h"

#include "platform/linux/logind.h"
#include "platform/linux/screen_saver.h"

namespace tw {

void TSessionNoticeQueue::SetLocked(TLockSource source, bool locked) {
    const bool before = locked_.any();
    locked_.set(source, locked);
    if (locked_.any() != before) {
        Push(locked ? TDesktopNotice::SessionLock : TDesktopNotice::SessionUnlock);
    }
}

bool TSessionNoticeQueue::Pop(TDesktopNotice& notice) {
    if (waiting_.empty()) {
        return false;
    }
    notice = waiting_.front();
    waiting_.pop_front();
    return true;
}

TSessionNotices::TSessionNotices()
    : system_(TBusConnection::TBus::System), session_(TBusConnection::TBus::Session) {
    for (const std::string& problem :
         {WatchLogind(system_, queue_), WatchScreenSavers(session_, queue_)}) {
        if (!problem.empty()) {
            lockProblem_ += (lockProblem_.empty() ? "" : "; ") + problem;
        }
    }
}

std::vector<int> TSessionNotices::Descriptors() const {
    std::vector<int> descriptors;
    for (const TBusConnection* bus : {&system_, &session_}) {
        if (bus->IsOpen()) {
            descriptors.push_back(bus->Descriptor());
        }
    }
    return descriptors;
}

bool TSessionNotices::Next(TDesktopNotice& notice) {
    if (queue_.Pop(notice)) {
        return true;
    }
    system_.ProcessWaiting();
    session_.ProcessWaiting();
    return queue_.Pop(notice);
}

} // namespace tw
