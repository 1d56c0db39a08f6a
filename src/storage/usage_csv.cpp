#include "storage/usage_csv.h"

namespace tw {
namespace {

std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

} // namespace

std::string UsageCsv(const std::vector<TDailyItemUsage>& days) {
    std::string text = "date,caption,name,type,seconds\r\n";
    for (const TDailyItemUsage& usage : days) {
        text += Field(usage.day) + ',' + Field(usage.caption) + ',' + Field(usage.name) + ',' +
                Field(MonitoredItemTypeLongText(usage.type)) + ',' + std::to_string(usage.seconds) +
                "\r\n";
    }
    return text;
}

} // namespace tw
