#include "storage/date_format.h"

#include "base/exception.h"
#include "base/text.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tw {
namespace {

constexpr long long MSecsPerDay = 86400000;
// Day count of 1970-01-01: the calendar arithmetic below works from the Unix epoch.
constexpr int UnixEpochDayCount = 25569;

struct TStamp {
    long long days;    // whole days since the day-count origin
    long long msOfDay; // 0 .. MSecsPerDay - 1
};

// Days and milliseconds as the conventional day-count decoding does: the date is the
// whole part, the time the rounded absolute fraction.
TStamp ToStamp(TDateTime value) {
    double whole = std::trunc(value);
    long long ms = std::llround(std::fabs(value - whole) * MSecsPerDay);
    auto days = static_cast<long long>(whole);
    if (ms >= MSecsPerDay) {
        ++days;
        ms -= MSecsPerDay;
    }
    return {days, ms};
}

std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::string DatePart(TDateTime value) {
    TDateParts d = DecodeDate(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buffer;
}

} // namespace

TDateTime EncodeDate(int year, int month, int day) {
    using namespace std::chrono;
    year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || !ymd.ok()) {
        throw EConvertError("Invalid argument to date encode");
    }
    return static_cast<double>(sys_days{ymd}.time_since_epoch().count() + UnixEpochDayCount);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / MSecsPerDay;
}

TDateParts DecodeDate(TDateTime value) {
    using namespace std::chrono;
    TStamp stamp = ToStamp(value);
    year_month_day ymd{sys_days{days{stamp.days - UnixEpochDayCount}}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

TTimeParts DecodeTime(TDateTime value) {
    long long ms = ToStamp(value).msOfDay;
    TTimeParts t;
    t.hour = static_cast<int>(ms / 3600000);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.millisecond = static_cast<int>(ms % 1000);
    return t;
}

std::string DateTimeToSQL(TDateTime value) {
    TTimeParts t = DecodeTime(value);
    return DatePart(value) + ' ' + TwoDigits(t.hour) + ':' + TwoDigits(t.minute) + ':' +
           TwoDigits(t.second);
}

std::string DateToText(TDateTime value) {
    return DatePart(value);
}

TDateTime TextToDate(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t dash = text.find('-', start);
        parts.push_back(text.substr(start, dash - start));
        if (dash == std::string::npos) {
            break;
        }
        start = dash + 1;
    }
    Require(parts.size() == 3, "DateFormat", "a date text has three parts");
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        const std::string& part = parts[i];
        int value = -1;
        auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || value < 0 ||
            value > 65535) {
            throw EConvertError("'" + part + "' is not a valid integer value");
        }
        numbers[i] = value;
    }
    return EncodeDate(numbers[0], numbers[1], numbers[2]);
}

std::string FloatToText(double value, char decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return text;
}

std::string DayCountToText(TDateTime value) {
    return FloatToText(value, ',');
}

TDateTime TextToDayCount(const std::string& text) {
    std::string number = Trim(text);
    bool sawComma = false;
    for (char& c : number) {
        if (c == '.') {
            number.clear(); // only the comma separates decimals in this form
            break;
        }
        if (c == ',') {
            if (sawComma) {
                number.clear();
                break;
            }
            sawComma = true;
            c = '.';
        }
    }
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    // from_chars also reads "nan" and "inf", which no stored day count may be.
    if (number.empty() || error != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(value)) {
        throw EConvertError("'" + text + "' is not a valid floating point value");
    }
    return value;
}

std::string FormatHourMinute(TDateTime value) {
    TTimeParts t = DecodeTime(value);
    return TwoDigits(t.hour) + ':' + TwoDigits(t.minute);
}

std::string FormatMinuteSecond(TDateTime value) {
    TTimeParts t = DecodeTime(value);
    return TwoDigits(t.minute) + ':' + TwoDigits(t.second);
}

std::string FormatClock12(TDateTime value) {
    TTimeParts t = DecodeTime(value);
    int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return TwoDigits(hour12) + ':' + TwoDigits(t.minute) + (t.hour < 12 ? " AM" : " PM");
}

} // namespace tw
