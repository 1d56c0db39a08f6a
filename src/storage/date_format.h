#pragma once

#include "base/date_time.h"

#include <string>

namespace tw {

struct TDateParts {
    int year = 0, month = 0, day = 0;
};
struct TTimeParts {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Builds a day count from a calendar date; throws EConvertError for an impossible date.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
// The calendar date and time of day of a day count, to the nearest millisecond.
TDateParts DecodeDate(TDateTime value);
TTimeParts DecodeTime(TDateTime value);

// "yyyy-mm-dd hh:nn:ss": the stored and compared form of activity rows.
std::string DateTimeToSQL(TDateTime value);
// "yyyy-mm-dd": the stored form of the next reset day.
std::string DateToText(TDateTime value);
// Inverse of DateToText. Not exactly three '-' separated parts: EAssertionFailed;
// a part that is no number in 0..65535 or an impossible date: EConvertError.
TDateTime TextToDate(const std::string& text);

// A day count with up to 15 significant digits and a comma as decimal separator.
std::string DayCountToText(TDateTime value);
// Inverse of DayCountToText; EConvertError for anything else.
TDateTime TextToDayCount(const std::string& text);

// "hh:nn" of a day fraction (so 25 hours show as 01:00).
std::string FormatHourMinute(TDateTime value);
// "nn:ss", the reminder's countdown.
std::string FormatMinuteSecond(TDateTime value);
// "hh:nn AM/PM": a clock time in 12-hour form, e.g. "06:05 PM".
std::string FormatClock12(TDateTime value);

// Shortest general text of a double with up to 15 significant digits and the given
// decimal separator.
std::string FloatToText(double value, char decimalSeparator);

} // namespace tw
