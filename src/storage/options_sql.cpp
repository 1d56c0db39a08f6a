#include "storage/options_sql.h"

namespace tw {

const char* MonitoredListTable(TMonitoredItemType type) {
    return type == TMonitoredItemType::mitWeb ? "websites_list" : "applications_list";
}

} // namespace tw
