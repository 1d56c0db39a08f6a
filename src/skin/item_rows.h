#pragma once

#include "items/monitored_list.h"

#include <Qt>

class QListWidget;

namespace tw {

// Where a list row keeps its watched item (null for a filler row).
inline constexpr int ItemRole = Qt::UserRole + 1;

// Fills a list box with the items of a list that pass the type filter (mitAll for all), in
// list order: the row text is the caption and the row refers to the item itself, so the
// list must outlive the rows. Inactive items lose their check mark on the way.
void FillListItems(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter);

// The watched item a row refers to; null for a filler row or no row.
TMonitoredItem* RowItem(const QListWidget& box, int row);

} // namespace tw
