#pragma once

#include "items/monitored_list.h"

#include <QStyledItemDelegate>

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

// Draws the rows of the two time lists: white and light grey stripes, grid lines between
// the columns Name, Type and Time (widths of the header strips above the list), a line
// under the last row, and dimmed text for items waiting for their removal.
class TTimeListDelegate : public QStyledItemDelegate {
  public:
    TTimeListDelegate(int rowHeight, int nameWidth, int typeWidth, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    int rowHeight_;
    int nameWidth_;
    int typeWidth_;
};

} // namespace tw
