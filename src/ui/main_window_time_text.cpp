#include "ui/main_window_time_text.h"

#include "storage/date_format.h"

#include <algorithm>

namespace tw {

namespace {

struct TFormatTexts {
    const char* title;
    const char* link;
};
constexpr TFormatTexts FormatTexts[] = {
    {"Time on List", "Show Time to Limit"},
    {"Time to Limit", "Show Time Now"},
    {"Time Now", "Show Time on List"},
};

const TFormatTexts& Texts(int format) {
    return FormatTexts[format >= htTimeOnList && format <= htTimeNow ? format : htTimeOnList];
}

} // namespace

const char* HeaderTimeTitle(int format) {
    return Texts(format).title;
}
const char* HeaderTimeLink(int format) {
    return Texts(format).link;
}

std::string HeaderTimeValue(int format, std::int32_t secondsOnList, TDateTime limit,
                            TDateTime now) {
    const TDateTime onList = (std::max(secondsOnList, 0) / 60) / (24.0 * 60.0);
    switch (format) {
    case htTimeToLimit:
        return FormatHourMinute(std::max(limit - onList, 0.0));
    case htTimeNow:
        return FormatClock12(now);
    default:
        return FormatHourMinute(onList);
    }
}

} // namespace tw
