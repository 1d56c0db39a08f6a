#include "items/monitored_item.h"

namespace tw {

const char* MonitoredItemTypeShortText(TMonitoredItemType type) {
    switch (type) {
    case TMonitoredItemType::mitAll:
        return "all";
    case TMonitoredItemType::mitApp:
        return "App";
    case TMonitoredItemType::mitWeb:
        return "Web";
    }
    // A byte read from storage may hold a value no type has; it has no text.
    return "";
}

const char* MonitoredItemTypeLongText(TMonitoredItemType type) {
    switch (type) {
    case TMonitoredItemType::mitAll:
        return "all";
    case TMonitoredItemType::mitApp:
        return "Application";
    case TMonitoredItemType::mitWeb:
        return "Web site";
    }
    return "";
}

std::unique_ptr<TMonitoredItem> CopyOf(const TMonitoredItem& item) {
    auto copy = std::make_unique<TMonitoredItem>();
    copy->Assign(item);
    return copy;
}

} // namespace tw
