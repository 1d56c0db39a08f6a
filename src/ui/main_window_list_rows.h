#pragma once

#include "items/monitored_list.h"
#include "skin/item_rows.h"

#include <QStyledItemDelegate>

class QListWidget;

namespace tw {

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
