#pragma once

#include "base/date_time.h"

#include <cstdint>
#include <string>

namespace tw {

// The three forms of the main window's header time, chosen by clicking its link.
enum THeaderTimeFormat : int { htTimeOnList = 0, htTimeToLimit = 1, htTimeNow = 2 };

// Title (without the colon) and link text of a header time format.
const char* HeaderTimeTitle(int format);
const char* HeaderTimeLink(int format);

// The header value: whole minutes on the list today ("hh:nn", seconds truncated), the
// limit minus those minutes (never below 00:00), or the clock as "hh:nn AM/PM".
std::string HeaderTimeValue(int format, std::int32_t secondsOnList, TDateTime limit, TDateTime now);

} // namespace tw
