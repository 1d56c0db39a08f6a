#include "skin/item_rows.h"

#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

namespace tw {

namespace {

const QColor OddRowColour(0xF1, 0xF1, 0xF1);
const QColor GridColour(0xD4, 0xD4, 0xD4);
const QColor InactiveTextColour(0x80, 0x80, 0x80);

QStringList ItemKey(const TMonitoredItem& item) {
    return {QString::fromStdString(item.Name), QString::number(static_cast<int>(item.ItemType))};
}

} // namespace

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
            row->setData(ItemKeyRole, ItemKey(item));
            box.addItem(row);
        }
    }
    box.setUpdatesEnabled(true);
}

void RefillListItems(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter) {
    const QListWidgetItem* current = box.currentItem();
    // Only the row's key is read: the item it refers to may be gone (a new day's list).
    const QVariant chosen =
        current != nullptr && current->isSelected() ? current->data(ItemKeyRole) : QVariant();
    const int scrolled = box.verticalScrollBar()->value();
    FillListItems(box, list, typeFilter);
    for (int row = 0; chosen.isValid() && row < box.count(); ++row) {
        if (box.item(row)->data(ItemKeyRole) == chosen) {
            box.setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            break;
        }
    }
    box.verticalScrollBar()->setValue(scrolled);
}

TMonitoredItem* RowItem(const QListWidget& box, int row) {
    const QListWidgetItem* entry = row >= 0 ? box.item(row) : nullptr;
    return entry ? reinterpret_cast<TMonitoredItem*>(entry->data(ItemRole).value<quintptr>())
                 : nullptr;
}

const TMonitoredItem* PaintItemRow(QPainter& painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index, std::initializer_list<int> gridLines) {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter.fillRect(r, selected          ? option.palette.highlight().color()
                        : index.row() % 2 ? OddRowColour
                                          : QColor(Qt::white));
    painter.setPen(GridColour);
    for (const int x : gridLines) {
        painter.drawLine(x, r.top(), x, r.bottom());
    }
    if (index.row() == index.model()->rowCount() - 1) {
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }
    const auto* item =
        reinterpret_cast<const TMonitoredItem*>(index.data(ItemRole).value<quintptr>());
    if (item) {
        painter.setPen(selected        ? option.palette.highlightedText().color()
                       : !item->Active ? InactiveTextColour
                                       : option.palette.text().color());
        painter.setFont(option.font);
    }
    return item;
}

} // namespace tw
