#pragma once

#include "base/date_time.h"

#include <cstdint>

namespace tw {

// Where the program clock takes its time from: a monotonic counter and the wall clock.
class TClockSource {
  public:
    virtual ~TClockSource() = default;
    virtual std::int64_t Ticks() = 0;
    virtual std::int64_t Frequency() = 0;
    // Local wall-clock time as a day count.
    virtual TDateTime WallNow() = 0;
};

// The program clock starts at the local wall-clock time and then advances by the
// monotonic counter only, so moving the system clock neither gives nor takes allowed time.
TDateTime ClockNow();
TDateTime ClockToday();     // midnight of ClockNow
TDateTime ClockTimeOfDay(); // fraction part of ClockNow
TDateTime DayStartToday();  // ClockToday + 4 hours: the accounting day begins at 04:00
void ClockAdjust(TDateTime delta);

// The periodic re-alignment: follows the wall clock only when it differs by less than
// five minutes. Returns whether the clock was moved.
bool ClockRealign();

// Local wall-clock time of the system, read directly (only the clock itself and its
// re-alignment should need it).
TDateTime LocalWallClockNow();

// Replaces the time source and restarts the clock from the source's wall time (the hook
// tests move time with). Null returns to the system's counter and wall clock. The source
// must outlive its use.
void ClockInstallSource(TClockSource* source);

} // namespace tw
