#pragma once

#include "items/monitored_list.h"
#include "storage/sqlite_table.h"

#include <memory>

namespace tw {

// Where a watched list's columns (caption, name, active) stand in a result.
struct TListColumns {
    explicit TListColumns(const TSQLiteTable& table);
    int caption;
    int name;
    int active;
};

// The watched item of the table's current row: active only for a stored 1.
std::unique_ptr<TMonitoredItem>
ListItemFromRow(const TSQLiteTable& table, const TListColumns& columns, TMonitoredItemType type);

} // namespace tw
