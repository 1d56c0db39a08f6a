#include "ui/main_window_time_text.h"

#include "storage/date_format.h"

#include <algorithm>
#include <cmath>

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

constexpr TFormatTexts BlockTexts[] = {
    {"Focus Started", "Show Focus End Time"},
    {"Focus Ends In", "Show Time Now"},
    {"Time Now", "Show Focus Start Time"},
};

} // namespace

THeaderTimeFormat NextHeaderTimeFormat(THeaderTimeFormat format) {
    return static_cast<THeaderTimeFormat>((static_cast<int>(format) + 1) % 3);
}

const char* HeaderTimeTitle(THeaderTimeFormat format) {
    return FormatTexts[static_cast<int>(format)].title;
}
const char* HeaderTimeLink(THeaderTimeFormat format) {
    return FormatTexts[static_cast<int>(format)].link;
}

std::string HeaderTimeValue(THeaderTimeFormat format, std::int32_t secondsOnList, TDateTime limit,
                            TDateTime now) {
    const TDateTime onList = (std::max(secondsOnList, 0) / 60) / (24.0 * 60.0);
    switch (format) {
    case THeaderTimeFormat::TimeToLimit:
        return FormatHourMinute(std::max(limit - onList, 0.0));
    case THeaderTimeFormat::TimeNow:
        return FormatClock12(now);
    case THeaderTimeFormat::TimeOnList:
        break;
    }
    return FormatHourMinute(onList);
}

TBlockTimeFormat NextBlockTimeFormat(TBlockTimeFormat format) {
    return static_cast<TBlockTimeFormat>((static_cast<int>(format) + 1) % 3);
}

const char* BlockTimeTitle(TBlockTimeFormat format) {
    return BlockTexts[static_cast<int>(format)].title;
}

const char* BlockTimeLink(TBlockTimeFormat format) {
    return BlockTexts[static_cast<int>(format)].link;
}

std::string BlockTimeValue(TBlockTimeFormat format, TDateTime start, TDateTime length,
                           TDateTime utcNow, TDateTime localNow) {
    switch (format) {
    case TBlockTimeFormat::Started:
        // The start as the clock showed it, whole minutes as the period counts them.
        return FormatHourMinute(localNow - (utcNow - start));
    case TBlockTimeFormat::TimeNow:
        return FormatHourMinute(localNow);
    default:
        break;
    }
    const TDateTime gone = std::floor((utcNow - start) * 1440.0) / 1440.0;
    return FormatHourMinute(std::max(length - gone, 0.0));
}

} // namespace tw
