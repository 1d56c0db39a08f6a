#include "monitor/block_period.h"

#include "storage/clock.h"

namespace tw {

TBlockPeriod::TBlockPeriod() : end_(ClockUtcNow()) {}

void TBlockPeriod::Begin(TDateTime duration) {
    duration_ = duration;
    start_ = ClockUtcNow();
    end_ = start_ + duration_;
}

bool TBlockPeriod::IsActive() const {
    return ClockUtcNow() <= end_;
}

void TBlockPeriod::Shift(TDateTime step) {
    end_ += step;
    start_ += step;
}

} // namespace tw
