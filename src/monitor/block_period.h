#pragma once

#include "base/date_time.h"

namespace tw {

class TClock;

// A Block period: from its start, for its length. UTC, so that a change of zone neither
// lengthens nor shortens it. Before the first one starts, the period is one that ended as the
// program started.
class TBlockPeriod {
  public:
    // The clock must outlive the period.
    explicit TBlockPeriod(const TClock& clock);

    // Begins a period of the given length (a day fraction) now.
    void Begin(TDateTime duration);
    bool IsActive() const;
    TDateTime Start() const { return start_; }
    TDateTime End() const { return end_; }
    TDateTime Duration() const { return duration_; }
    // The program clock followed a correction: the period keeps its place in real time.
    void Shift(TDateTime step);

  private:
    const TClock& clock_;
    TDateTime start_ = 0;
    TDateTime end_;
    TDateTime duration_ = 0;
};

} // namespace tw
