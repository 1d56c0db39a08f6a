#include "app/activity_clean_up.h"

#include "base/slice_runner.h"
#include "storage/clock.h"
#include "storage/data_folder.h"
#include "storage/log_purge.h"
#include "storage/options.h"
#include "storage/rollup_build.h"

namespace tw {

namespace {

constexpr int LogPurgeFirstSliceMs = 2000; // the clean-up waits until the start is over,
constexpr int LogPurgeNextSlicesMs = 10;   // then goes on in short slices, and so does the
                                           // roll-up's first build;
constexpr int ClockRejudgeMs = 600000;     // then the clock is judged again now and then

} // namespace

TActivityCleanUp::TActivityCleanUp(TProgramTimers& timers, TDataFolder& data,
                                   const TOptions& options, std::function<bool()> paused,
                                   std::unique_ptr<TSliceRunner> runner)
    : timers_(timers), data_(data), paused_(std::move(paused)), path_(options.LogDBPath()),
      runner_(std::move(runner)) {
    const TDateTime now = data_.Clock().Now();
    // The clean-up keeps its own copy of the kept names; the list itself it reads from the
    // file in every slice.
    logPurge_ = std::make_unique<TLogPurge>(
        data_.Log(), path_, now, options.ListTrusted(),
        TLogPurge::ClockRight(data_.Log(), path_, data_.Settings(), data_.Clock()),
        options.KeptHistoryNames(), &data_.SliceTurns());
    tmrLogPurge_ = timers_.Add("tmrLogPurge", LogPurgeFirstSliceMs, true, [this] { Slice(); });
}

TActivityCleanUp::~TActivityCleanUp() {
    runner_->Stop();
}

void TActivityCleanUp::Stop() {
    runner_->Stop();
    logPurge_.reset();
}

bool TActivityCleanUp::Work(TDateTime now) {
    if (logPurge_->Step()) {
        return true;
    }
    if (!rollupBuild_) {
        // After the clean-up, so that it builds no day the clean-up then changes.
        rollupBuild_ = std::make_unique<TRollupBuild>(data_.Log(), path_, now, &data_.SliceTurns());
    }
    return rollupBuild_->Step();
}

void TActivityCleanUp::Slice() {
    timers_.SetInterval(tmrLogPurge_, LogPurgeNextSlicesMs);
    // A slice still running is looked at again at the next tick.
    if (!logPurge_ || !runner_->Idle() || paused_()) {
        return;
    }
    if (more_) {
        runner_->Run([this, now = data_.Clock().Now()] { more_ = Work(now); });
        if (!runner_->Idle() || more_) {
            return;
        }
    }
    // Judged again now and then, the clock keeps its last trusted time close to now, and old
    // rows left at start (a start before the system had set its clock) go once it is right.
    timers_.SetInterval(tmrLogPurge_, ClockRejudgeMs);
    if (logPurge_->JudgeAgain(data_.Settings(), data_.Clock())) {
        timers_.SetInterval(tmrLogPurge_, LogPurgeNextSlicesMs);
        more_ = true;
    }
}

} // namespace tw
