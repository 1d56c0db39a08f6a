#pragma once

#include "items/monitored_list.h"

#include <Qt>

#include <initializer_list>

class QListWidget;
class QModelIndex;
class QPainter;
class QStyleOptionViewItem;

namespace tw {

// Where a list row keeps its watched item (null for a filler row).
inline constexpr int ItemRole = Qt::UserRole + 1;
// Where it keeps the item's name and type, which stay readable after the list the row
// refers to was rebuilt (a new day's list).
inline constexpr int ItemKeyRole = Qt::UserRole + 2;

// Fills a list box with the items of a list that pass the type filter (mitAll for all), in
// list order: the row text is the caption and the row refers to the item itself, so the
// list must outlive the rows. Inactive items lose their check mark on the way.
void FillListItems(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter);

// Fills the box as FillListItems does for a list the program refreshes on its own while the
// person reads it: the item chosen before (by its name and type, whichever row it moves to)
// stays chosen, and the box keeps its scroll position.
void RefillListItems(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter);

// The watched item a row refers to; null for a filler row or no row.
TMonitoredItem* RowItem(const QListWidget& box, int row);

// The look every list of watched items shares: white and light grey stripes (a selected row
// in the selection's colour), grid lines at the given x positions, a line under the last row.
// Returns the row's item (null for a filler row), with the painter's pen and font set for its
// texts: grey for an item waiting for its removal.
const TMonitoredItem* PaintItemRow(QPainter& painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index, std::initializer_list<int> gridLines);

} // namespace tw
