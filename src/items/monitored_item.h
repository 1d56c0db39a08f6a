#pragma once

#include "base/date_time.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// Kind of a watched item; also the kind of a match and the origin of a logged interval.
enum class TMonitoredItemType : std::uint8_t { mitAll = 0, mitApp = 1, mitWeb = 2 };

// Short text of a type: "all", "App", "Web".
const char* MonitoredItemTypeShortText(TMonitoredItemType type);
// Long text of a type: "all", "Application", "Web site".
const char* MonitoredItemTypeLongText(TMonitoredItemType type);

// One entry of a watched list: a website (address fragment) or an application
// (full executable path).
class TMonitoredItem {
  public:
    bool Active = true;
    std::string Caption;
    TMonitoredItemType ItemType = TMonitoredItemType::mitAll;
    std::string Name;
    bool Checked = false;
    std::int32_t Duration = 0;

    void Assign(const TMonitoredItem& other) { *this = other; }
    const char* TypeName() const { return MonitoredItemTypeShortText(ItemType); }
    TDateTime DurationAsDateTime() const { return Duration / SecondsPerDay; }
};

// A copy of its own, for a list that owns its items.
std::unique_ptr<TMonitoredItem> CopyOf(const TMonitoredItem& item);

} // namespace tw
