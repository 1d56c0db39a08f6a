#include "app/activity_clean_up.h"

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
                                   const TOptions& options, std::function<bool()> paused)
    : timers_(timers), data_(data), options_(options), paused_(std::move(paused)) {
    const TDateTime now = ClockNow();
    const std::string activity = options_.LogDBPath();
    logPurge_ = std::make_unique<TLogPurge>(
        data_.Log(), activity, now, options_.ListTrusted(),
        TLogPurge::ClockRight(data_.Log(), activity, data_.Settings(), now),
        options_.KeptHistoryNames());
    tmrLogPurge_ = timers_.Add("tmrLogPurge", LogPurgeFirstSliceMs, true, [this] { Slice(); });
}

TActivityCleanUp::~TActivityCleanUp() = default;

void TActivityCleanUp::Stop() {
    logPurge_.reset();
}

void TActivityCleanUp::Slice() {
    timers_.SetInterval(tmrLogPurge_, LogPurgeNextSlicesMs);
    if (!logPurge_ || paused_()) {
        return;
    }
    if (logPurge_->Step()) {
        return;
    }
    if (!rollupBuild_) {
        // After the clean-up, so that it builds no day the clean-up then changes.
        rollupBuild_ =
            std::make_unique<TRollupBuild>(data_.Log(), options_.LogDBPath(), ClockNow());
    }
    if (rollupBuild_->Step()) {
        return;
    }
    // Judged again now and then, the clock keeps its last trusted time close to now, and old
    // rows left at start (a start before the system had set its clock) go once it is right.
    timers_.SetInterval(tmrLogPurge_, ClockRejudgeMs);
    if (logPurge_->JudgeAgain(data_.Settings(), ClockNow())) {
        timers_.SetInterval(tmrLogPurge_, LogPurgeNextSlicesMs);
    }
}

} // namespace tw
