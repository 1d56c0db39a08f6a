#include "app/instance_watch.h"

#include "app/program_files.h"
#include "base/scope_exit.h"
#include "storage/error_log.h"

namespace tw {

namespace {

constexpr int UninstallWatchMs = 900; // the uninstaller's marker ends the program

} // namespace

TInstanceWatch::TInstanceWatch(TInstanceLocks& locks, TProgramTimers& timers, const TPlaces& places,
                               TErrorLog& log)
    : locks_(locks), timers_(timers), places_(places), log_(log) {}

bool TInstanceWatch::TakeLock() {
    lock_ = AcquireInstanceLock(locks_, places_);
    return lock_ != nullptr;
}

void TInstanceWatch::Watch(std::function<void()> end) {
    end_ = std::move(end);
    staleMarker_ = SetAsideStaleUninstallFlag(places_, log_);
    tmrShutdown_ = timers_.Add("tmrShutdown", UninstallWatchMs, true, [this] { WatchTimer(); });
}

void TInstanceWatch::Release() {
    if (lock_) {
        lock_->Release();
        lock_.reset();
    }
}

void TInstanceWatch::WatchTimer() {
    // A handler that fails or opens a window must not be entered again meanwhile.
    timers_.SetEnabled(tmrShutdown_, false);
    TScopeExit again([this] { timers_.SetEnabled(tmrShutdown_, true); });
    // Two copies would each count every scan: the one that lost its lock file to the other
    // ends as it would for the uninstaller, keeping what it counted.
    if (lock_ && !lock_->Reassert()) {
        lock_.reset();
        log_.Report("Another copy of Tallywick took the lock file " + LockPath(places_) +
                    " after it was deleted; this copy ends");
        end_();
        return;
    }
    if (UninstallRequested(places_, staleMarker_)) {
        end_();
    }
}

} // namespace tw
