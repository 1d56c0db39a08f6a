#pragma once

#include "base/date_time.h"

#include <cstdint>

namespace tw {

// Where the program clock takes its time from: a counter that goes on while the machine
// sleeps, the system's UTC time, and the system's time-zone rules of the moment.
class TClockSource {
  public:
    virtual ~TClockSource() = default;
    virtual std::int64_t Ticks() = 0;
    virtual std::int64_t Frequency() = 0;
    // The system's UTC time as a day count.
    virtual TDateTime UtcNow() = 0;
    // The local time of a UTC moment, by the rules in force now (a changed zone or a
    // daylight-saving change is followed at the next call).
    virtual TDateTime LocalTime(TDateTime utc) = 0;
    // Whether the system says its clock is set from a time server. A correction made when
    // that begins is one to follow, however large.
    virtual bool Synchronised() { return false; }
};

// The program clock keeps UTC: it starts at the system's UTC time and then advances by the
// counter only, so moving the system clock neither gives nor takes allowed time, while a
// night of sleep is counted as the night it was. Every local time (the 04:00 day start, the
// rows' dates, the day parts, the texts) is that UTC time converted by the current zone.
TDateTime ClockNow();       // local time
TDateTime ClockUtcNow();    // the same moment in UTC
TDateTime ClockToday();     // midnight of ClockNow
TDateTime ClockTimeOfDay(); // fraction part of ClockNow
TDateTime DayStartToday();  // ClockToday + 4 hours: the accounting day begins at 04:00
void ClockAdjust(TDateTime delta);

// The periodic re-alignment: follows the system's UTC time only when it differs by less
// than five minutes. Returns whether the clock was moved.
bool ClockRealign();
// Follows the system's UTC time by any step, but only soon after boot or when the system has
// just said its clock became synchronised: that is when a clock wrong at start (a second
// system's offset, a clock battery run down) is put right, and not by the person. Cheap
// enough for every scan. Returns the step taken, 0 for none.
TDateTime ClockFollowCorrection();

// The system's own UTC time and its local time of a UTC moment, read directly (only clock
// sources should need them).
TDateTime SystemUtcNow();
TDateTime SystemLocalTime(TDateTime utc);
TDateTime LocalWallClockNow(); // SystemLocalTime(SystemUtcNow())

// Replaces the time source and restarts the clock from the source's UTC time (the hook
// tests move time with). Null returns to the system's counter and clocks. The source must
// outlive its use.
void ClockInstallSource(TClockSource* source);

} // namespace tw
