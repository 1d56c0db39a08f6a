#include "skin/item_rows.h"

#include <QListWidget>

namespace tw {

void FillListItems(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter) {
    box.setUpdatesEnabled(false);
    box.clear();
    for (int i = 0; i < list.Count(); ++i) {
        TMonitoredItem& item = list.Items(i);
        if (!item.Active) {
            item.Checked = false;
        }
        if (typeFilter == TMonitoredItemType::mitAll || typeFilter == item.ItemType) {
            auto* row = new QListWidgetItem(QString::fromStdString(item.Caption));
            row->setData(ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
            box.addItem(row);
        }
    }
    box.setUpdatesEnabled(true);
}

TMonitoredItem* RowItem(const QListWidget& box, int row) {
    const QListWidgetItem* entry = row >= 0 ? box.item(row) : nullptr;
    return entry ? reinterpret_cast<TMonitoredItem*>(entry->data(ItemRole).value<quintptr>())
                 : nullptr;
}

} // namespace tw
