#include "storage/day_start.h"

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

// The last moment a row can carry and still sort inside its day: rows keep whole seconds.
constexpr TDateTime LastMomentBefore = OneSecond;

// 04:00 of the day the moment counts to.
TDateTime DayStartOf(TDateTime moment) {
    return NextDayStart(moment) - 1;
}

// From 12 hours behind UTC to 14 ahead.
constexpr TDateTime WidestZoneChange = 26 * OneHour;

} // namespace

TDateTime NextDayStart(TDateTime moment) {
    const TDateTime start = std::floor(moment) + 4 * OneHour;
    return moment >= start ? start + 1 : start;
}

bool TProgramDay::NextIsDue(TDateTime nowLocal, TDateTime nowUtc) const {
    return nowLocal >= End && nowUtc >= StartUtc + MinimumDayLength;
}

TProgramDay TProgramDay::Next(TDateTime nowLocal, TDateTime nowUtc) const {
    TProgramDay next;
    const TDateTime start = DayStartOf(nowLocal);
    // A day begun late (after a night off, or held back by the least day length) keeps its
    // 04:00: the rows of the night before belong to it. Its windows never overlap this one.
    next.End = std::max(start, End) + 1;
    const TDateTime startUtc = next.StartUtcByZoneNow(nowLocal, nowUtc);
    next.StartUtc = StartUtc > 0 ? std::max(startUtc, StartUtc + MinimumDayLength) : startUtc;
    next.StartUtc = std::min(next.StartUtc, nowUtc);
    return next;
}

bool TProgramDay::PullBack(TDateTime nowLocal, TDateTime nowUtc) {
    // A day begun in the future was begun by a clock that was ahead. A day that ends further
    // ahead than a day plus the widest change of zone was too: a move across the date line
    // alone must keep the day it is in, or the time of the day just counted would be read
    // against an older one.
    if (StartUtc <= nowUtc && End <= nowLocal + 1 + WidestZoneChange) {
        return false;
    }
    End = std::min(End, NextDayStart(nowLocal));
    StartUtc = std::min(StartUtc, StartUtcByZoneNow(nowLocal, nowUtc));
    return true;
}

TDateTime TProgramDay::RowTime(TDateTime nowLocal) const {
    return std::clamp(nowLocal, Start(), End - LastMomentBefore);
}

} // namespace tw
