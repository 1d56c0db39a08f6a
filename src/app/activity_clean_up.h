#pragma once

#include "app/program_timers.h"
#include "base/date_time.h"

#include <functional>
#include <memory>
#include <string>

namespace tw {

class TDataFolder;
class TLogPurge;
class TOptions;
class TRollupBuild;
class TSliceRunner;

// The clean-up of old activity on a timer of the program: it waits until the start is over,
// goes on in short slices, and so does the roll-up's first build after it; then the clock is
// judged again now and then. Nothing is started while the count is paused. The slices run
// through the runner (in the program, on a thread of its own); everything else, the decision
// to start a slice included, stays on the timer's thread.
class TActivityCleanUp {
  public:
    // Made before this run writes rows: in a folder that keeps no trusted time yet, the
    // newest stored row tells whether the clock can judge which rows are old.
    TActivityCleanUp(TProgramTimers& timers, TDataFolder& data, const TOptions& options,
                     std::function<bool()> paused, std::unique_ptr<TSliceRunner> runner);
    ~TActivityCleanUp();
    TActivityCleanUp(const TActivityCleanUp&) = delete;
    TActivityCleanUp& operator=(const TActivityCleanUp&) = delete;

    // Waits for the slice in flight to end; no slice runs after this, and the timer stays,
    // doing nothing.
    void Stop();

  private:
    void Slice();
    // On the runner: the next slice of the clean-up, then of the roll-up's build. False once
    // both are done.
    bool Work(TDateTime now);

    TProgramTimers& timers_;
    TDataFolder& data_;
    std::function<bool()> paused_;
    const std::string path_;                    // the activity database, for the runner's thread
    std::unique_ptr<TLogPurge> logPurge_;       // the clean-up of old activity
    std::unique_ptr<TRollupBuild> rollupBuild_; // then the roll-up's first build
    bool more_ = true;                          // what the last slice said
    int tmrLogPurge_ = -1;
    // Last, so that it goes first: no slice outlives what it works on.
    std::unique_ptr<TSliceRunner> runner_;
};

} // namespace tw
