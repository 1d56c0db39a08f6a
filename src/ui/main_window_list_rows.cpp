#include "ui/main_window_list_rows.h"

#include "storage/date_format.h"

#include <QListWidget>
#include <QPainter>

namespace tw {

namespace {

const QColor OddRowColour(0xF1, 0xF1, 0xF1);
const QColor GridColour(0xD4, 0xD4, 0xD4);
const QColor InactiveTextColour(0x80, 0x80, 0x80);

} // namespace

TTimeListDelegate::TTimeListDelegate(int rowHeight, int nameWidth, int typeWidth, QObject* parent)
    : QStyledItemDelegate(parent), rowHeight_(rowHeight), nameWidth_(nameWidth),
      typeWidth_(typeWidth) {}

QSize TTimeListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), rowHeight_};
}

void TTimeListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(r, selected          ? option.palette.highlight().color()
                         : index.row() % 2 ? OddRowColour
                                           : QColor(Qt::white));

    const int x1 = r.left() + nameWidth_ - 8;
    const int x2 = x1 + 2 + typeWidth_;
    painter->setPen(GridColour);
    painter->drawLine(x1, r.top(), x1, r.bottom());
    painter->drawLine(x2, r.top(), x2, r.bottom());
    if (index.row() == index.model()->rowCount() - 1) {
        painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }

    const auto* item =
        reinterpret_cast<const TMonitoredItem*>(index.data(ItemRole).value<quintptr>());
    if (item) {
        QColor text = option.palette.text().color();
        if (selected) {
            text = option.palette.highlightedText().color();
        } else if (!item->Active) {
            text = InactiveTextColour;
        }
        painter->setPen(text);
        painter->setFont(option.font);
        const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
        const QRect name(r.left() + 2, r.top(), x1 - 2 - (r.left() + 2), r.height());
        painter->drawText(name, flags | Qt::AlignLeft,
                          painter->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight,
                                                            name.width()));
        painter->drawText(QRect(x1 + 4, r.top(), x2 - 2 - (x1 + 4), r.height()),
                          flags | Qt::AlignHCenter, QString::fromLatin1(item->TypeName()));
        painter->drawText(QRect(x2 + 4, r.top(), r.right() - 2 - (x2 + 4), r.height()),
                          flags | Qt::AlignHCenter,
                          QString::fromStdString(FormatHourMinute(item->DurationAsDateTime())));
    }
    painter->restore();
}

} // namespace tw
