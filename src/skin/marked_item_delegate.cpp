#include "skin/marked_item_delegate.h"

#include <QPainter>

#include <algorithm>
#include <utility>

namespace tw {

TMarkedItemDelegate::TMarkedItemDelegate(QPixmap mark, QObject* owner)
    : QStyledItemDelegate(owner), mark_(std::move(mark)) {}

void TMarkedItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QRect item = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(item, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    const QRect check(item.right() - item.height() - 10, item.top(), item.height() + 10,
                      item.height());
    if (index.data(MarkedRole).toBool()) {
        // Within its own row: a row lower than the picture gets it a little smaller.
        const int side = std::min(mark_.height(), item.height());
        const QRect place(check.center().x() - side / 2 + 1,
                          item.top() + (item.height() - side) / 2, side, side);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawPixmap(place, mark_);
    }
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(
        item.adjusted(2, 0, 0, 0)
            .intersected(QRect(item.left(), item.top(), check.left() - item.left(), item.height())),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        index.data(Qt::DisplayRole).toString());
}

} // namespace tw
