#pragma once

#include "base/date_time.h"

#include <cstdint>
#include <string>

namespace tw {

// The three forms of the main window's header time, chosen by clicking its link.
enum class THeaderTimeFormat { TimeOnList, TimeToLimit, TimeNow };

// The form the link switches to: each in turn, back to the first.
THeaderTimeFormat NextHeaderTimeFormat(THeaderTimeFormat format);
// Title (without the colon) and link text of a header time format.
const char* HeaderTimeTitle(THeaderTimeFormat format);
const char* HeaderTimeLink(THeaderTimeFormat format);

// The header value: whole minutes on the list today ("hh:nn", seconds truncated), the
// limit minus those minutes (never below 00:00), or the clock as "hh:nn AM/PM".
std::string HeaderTimeValue(THeaderTimeFormat format, std::int32_t secondsOnList, TDateTime limit,
                            TDateTime now);

// The three forms of the Block time: when the period started, the time left (the length
// less the whole minutes gone, never below 00:00) and the clock, all as "hh:nn".
enum class TBlockTimeFormat { Started, EndsIn, TimeNow };

TBlockTimeFormat NextBlockTimeFormat(TBlockTimeFormat format);
const char* BlockTimeTitle(TBlockTimeFormat format);
const char* BlockTimeLink(TBlockTimeFormat format);
// start and utcNow are UTC; localNow is utcNow in local time, which the start is shown in.
std::string BlockTimeValue(TBlockTimeFormat format, TDateTime start, TDateTime length,
                           TDateTime utcNow, TDateTime localNow);

} // namespace tw
