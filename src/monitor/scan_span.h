#pragma once

#include "base/date_time.h"

namespace tw {

class TClock;

// The stretch of time a listed cycle adds: from the end of the last completed cycle to the
// end of this one. UTC: a length of time must not change with the zone.
class TScanSpan {
  public:
    // The clock must outlive the span.
    explicit TScanSpan(const TClock& clock);

    TDateTime LastScanTime() const { return lastScanTime_; }
    // The counting starts afresh now (also the end of a cycle).
    void Restart();
    void BeginCycle();
    // The program clock followed a correction: the gap was measured by the counter.
    void Shift(TDateTime step) { lastScanTime_ += step; }
    // The seconds since the last cycle, at most two scan periods, and the time this cycle has
    // taken so far.
    int CreditedSeconds(int scanPeriodSeconds) const;

  private:
    const TClock& clock_;
    TDateTime lastScanTime_;
    TDateTime cycleStart_ = 0;
};

// Whole seconds between two clock values, rounded to the nearest (halves to even).
int SecondsBetween(TDateTime from, TDateTime to);

} // namespace tw
