#include "monitor/block_period.h"

#include "storage/clock.h"

namespace tw {

TBlockPeriod::TBlockPeriod(const TClock& clock) : clock_(clock), end_(clock.UtcNow()) {}

void TBlockPeriod::Begin(TDateTime duration) {
    duration_ = duration;
    start_ = clock_.UtcNow();
    end_ = start_ + duration_;
}

bool TBlockPeriod::IsActive() const {
    return clock_.UtcNow() <= end_;
}

void TBlockPeriod::Shift(TDateTime step) {
    end_ += step;
    start_ += step;
}

} // namespace tw
