#pragma once

#include "app/program_files.h"
#include "app/program_timers.h"
#include "platform/instance_lock.h"
#include "storage/places.h"

#include <functional>
#include <memory>

namespace tw {

class TErrorLog;

// The single-instance lock, and the watch that ends this copy when another took the lock
// or the uninstaller left its marker.
class TInstanceWatch {
  public:
    // The places must outlive the watch.
    TInstanceWatch(TInstanceLocks& locks, TProgramTimers& timers, const TPlaces& places,
                   TErrorLog& log);
    TInstanceWatch(const TInstanceWatch&) = delete;
    TInstanceWatch& operator=(const TInstanceWatch&) = delete;

    // False when another copy holds the lock. Throws when the lock file cannot be created.
    bool TakeLock();
    // From now on, within about a second of either, calls `end`. An uninstall marker that
    // is there already is no order (SetAsideStaleUninstallFlag).
    void Watch(std::function<void()> end);
    // Closes the lock and deletes its file, once.
    void Release();

  private:
    void WatchTimer();

    TInstanceLocks& locks_;
    TProgramTimers& timers_;
    const TPlaces& places_;
    TErrorLog& log_;
    std::unique_ptr<TInstanceLock> lock_;
    std::function<void()> end_;
    TStaleMarker staleMarker_;
    int tmrShutdown_ = -1;
};

} // namespace tw
