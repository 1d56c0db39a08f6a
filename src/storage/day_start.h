#pragma once

#include "base/date_time.h"

namespace tw {

// The first 04:00 after the moment (today's before it, tomorrow's from it on). The
// program's day begins at 04:00 rather than at midnight, so that an evening that runs past
// midnight still counts to the day it began, and the daily reset falls while nobody is at
// the computer.
TDateTime NextDayStart(TDateTime moment);

// The least program clock between two day starts. A local clock that jumps (a new time zone,
// daylight saving, a corrected clock) must not hand out a second day's allowance early; a
// real day is never shorter than 23 hours, so 20 leaves room without letting a day repeat.
inline constexpr TDateTime MinimumDayLength = 20 * OneHour;

// The program day in force: the local window [End - 1, End) its time is counted in, and the
// moment of program clock (UTC) it counts as begun at.
struct TProgramDay {
    TDateTime End = 0;      // local 04:00 that ends it (the stored ResetDateTime)
    TDateTime StartUtc = 0; // 0 when unknown (a file from before it was kept)

    TDateTime Start() const { return End - 1; }
    // The last moment a row of the day can carry.
    TDateTime LastMoment() const { return RowTime(End); }
    // The moment of program clock the day's local start falls on, by the zone in force now.
    TDateTime StartUtcByZoneNow(TDateTime nowLocal, TDateTime nowUtc) const {
        return nowUtc - (nowLocal - Start());
    }

    // Whether the next day begins now: the local clock has left this day, and enough program
    // clock has passed since it began.
    bool NextIsDue(TDateTime nowLocal, TDateTime nowUtc) const;
    // The day that begins now: the one the local clock is in (a start at 02:00 after a night
    // off belongs to the day that began at 04:00 yesterday), counted as begun no sooner than
    // the least day length after this one.
    TProgramDay Next(TDateTime nowLocal, TDateTime nowUtc) const;
    // A day stored by a clock that was ahead (or left after a correction backwards) is pulled
    // back, so that it never ends more than a day from now nor began in the future. Returns
    // whether anything changed.
    bool PullBack(TDateTime nowLocal, TDateTime nowUtc);
    // Where a row written now belongs: inside the day, also while a jumped local clock stands
    // outside it.
    TDateTime RowTime(TDateTime nowLocal) const;
};

} // namespace tw
