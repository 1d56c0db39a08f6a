#pragma once

#include "app/program_timers.h"

#include <functional>
#include <memory>

namespace tw {

class TDataFolder;
class TLogPurge;
class TOptions;
class TRollupBuild;

// The clean-up of old activity on a timer of the program: it waits until the start is over,
// goes on in short slices, and so does the roll-up's first build after it; then the clock is
// judged again now and then. Nothing is done while the count is paused.
class TActivityCleanUp {
  public:
    // Made before this run writes rows: in a folder that keeps no trusted time yet, the
    // newest stored row tells whether the clock can judge which rows are old.
    TActivityCleanUp(TProgramTimers& timers, TDataFolder& data, const TOptions& options,
                     std::function<bool()> paused);
    ~TActivityCleanUp();
    TActivityCleanUp(const TActivityCleanUp&) = delete;
    TActivityCleanUp& operator=(const TActivityCleanUp&) = delete;

    // No slice runs after this; the timer stays, doing nothing.
    void Stop();

  private:
    void Slice();

    TProgramTimers& timers_;
    TDataFolder& data_;
    const TOptions& options_;
    std::function<bool()> paused_;
    std::unique_ptr<TLogPurge> logPurge_;       // the clean-up of old activity
    std::unique_ptr<TRollupBuild> rollupBuild_; // then the roll-up's first build
    int tmrLogPurge_ = -1;
};

} // namespace tw
