#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

namespace tw {

// The item data telling that a row carries the mark.
inline constexpr int MarkedRole = Qt::UserRole + 1;

// Draws an open list's rows with a mark picture at the right end of each row whose
// MarkedRole data is true: the memo selectors' "this part of the day has a memo". The
// closed box shows the name only; its style draws that.
class TMarkedItemDelegate : public QStyledItemDelegate {
  public:
    TMarkedItemDelegate(QPixmap mark, QObject* owner);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    QPixmap mark_;
};

} // namespace tw
