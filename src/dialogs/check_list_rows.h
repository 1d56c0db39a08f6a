#pragma once

#include "items/monitored_list.h"

#include <QImage>
#include <QStyledItemDelegate>

#include <functional>

class QListWidget;

namespace tw {

// The wizards' lists: one row per item, its caption and its type ("App" or "Web") in two
// columns, and on the configuration lists a check mark at the right end. Stripes, grid lines
// and grey text for items waiting for their removal, like the main window's lists.
class TCheckListDelegate : public QStyledItemDelegate {
  public:
    static constexpr int RowHeight = 18;
    // Width of the check mark's place at the right end of a row.
    static constexpr int CheckWidth = 18;

    TCheckListDelegate(int nameWidth, bool checkMarks, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The check mark changes only through the wizard's own rules, never by the view.
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                     const QModelIndex&) override {
        return false;
    }

  private:
    int nameWidth_;
    bool checkMarks_;
    QImage checked_;
    QImage unchecked_;
};

// Shows a list in a box made by MakeListBox, with the rows' check state also told to the
// accessibility tools, and pads it with empty rows to its bottom.
void ShowCheckList(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter);

// Calls onCheck(row) for a press on the check mark of a row that holds an item; the row
// then is the only one selected, unless onCheck answers false. Presses elsewhere only select.
void WatchCheckMarks(QListWidget& box, std::function<bool(int row)> onCheck);

} // namespace tw
