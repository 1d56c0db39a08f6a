#pragma once

#include "storage/clock.h"

#include <cstdint>

namespace twtest {

// A clock source whose counter and wall clock move only when told: installed with
// tw::ClockInstallSource, it is how tests and benchmarks move the program's time.
class TManualClockSource : public tw::TClockSource {
  public:
    explicit TManualClockSource(tw::TDateTime start) : wall_(start) {}
    std::int64_t Ticks() override { return ticks_; }
    std::int64_t Frequency() override { return 1000000; }
    tw::TDateTime WallNow() override { return wall_; }

    // Both the counter and the wall clock move on.
    void Advance(double seconds);
    // Only the wall clock moves, as when the user sets the system clock.
    void MoveWallClock(double seconds) { wall_ += seconds / tw::SecondsPerDay; }

  private:
    std::int64_t ticks_ = 0;
    tw::TDateTime wall_;
};

} // namespace twtest
