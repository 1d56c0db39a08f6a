#include "storage/option_ranges.h"

#include "base/exception.h"
#include "base/text.h"
#include "storage/date_format.h"

namespace tw {

int StoredInteger(const std::string& text, int low, int high, int def) {
    try {
        const int value = StrToInt(text);
        return value >= low && value <= high ? value : def;
    } catch (const EConvertError&) {
        return def;
    }
}

TDateTime StoredDayCount(const std::string& text, TDateTime def) {
    try {
        const TDateTime value = TextToDayCount(text);
        return value >= EncodeDate(1900, 1, 1) && value < EncodeDate(9999, 12, 31) ? value : def;
    } catch (const EConvertError&) {
        return def;
    }
}

} // namespace tw
