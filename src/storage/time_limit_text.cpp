#include "storage/time_limit_text.h"

#include "base/exception.h"
#include "base/text.h"
#include "storage/date_format.h"

#include <cctype>

namespace tw {

namespace {

// Up to two digits, blanks of a half-filled edit around them allowed.
bool ReadPart(const std::string& text, int* value) {
    const std::string part = Trim(text);
    if (part.empty() || part.size() > 2) {
        return false;
    }
    int result = 0;
    for (char c : part) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        result = result * 10 + (c - '0');
    }
    *value = result;
    return true;
}

} // namespace

TDateTime TextToTimeLimit(const std::string& text) {
    const auto colon = text.find(':');
    int hours = 0, minutes = 0;
    if (colon == std::string::npos || !ReadPart(text.substr(0, colon), &hours) ||
        !ReadPart(text.substr(colon + 1), &minutes) || minutes > 59) {
        throw EConvertError("'" + text + "' is not a valid time");
    }
    return (hours * 60 + minutes) / 1440.0;
}

std::string TimeLimitProblem(const std::string& text) {
    TDateTime value = 0;
    try {
        value = TextToTimeLimit(text);
    } catch (const EConvertError& e) {
        return e.what();
    }
    const TDateTime largest = 1439 / 1440.0;
    if (value == 0) {
        return "Limit can't be empty";
    }
    if (value <= largest) {
        return "";
    }
    return "Limit can't be greater than " + FormatHourMinute(largest);
}

} // namespace tw
