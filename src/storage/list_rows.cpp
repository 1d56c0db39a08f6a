#include "storage/list_rows.h"

namespace tw {

TListColumns::TListColumns(const TSQLiteTable& table)
    : caption(table.ColumnIndex("caption")), name(table.ColumnIndex("name")),
      active(table.ColumnIndex("active")) {}

std::unique_ptr<TMonitoredItem>
ListItemFromRow(const TSQLiteTable& table, const TListColumns& columns, TMonitoredItemType type) {
    auto item = std::make_unique<TMonitoredItem>();
    item->Caption = table.ValueAsText(columns.caption);
    item->Name = table.ValueAsText(columns.name);
    item->ItemType = type;
    item->Active = table.ValueAsInteger(columns.active) == 1;
    return item;
}

} // namespace tw
