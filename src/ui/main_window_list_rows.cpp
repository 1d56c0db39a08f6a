#include "ui/main_window_list_rows.h"

#include "storage/date_format.h"

#include <QListWidget>
#include <QPainter>

namespace tw {

TTimeListDelegate::TTimeListDelegate(int rowHeight, int nameWidth, int typeWidth, QObject* parent)
    : QStyledItemDelegate(parent), rowHeight_(rowHeight), nameWidth_(nameWidth),
      typeWidth_(typeWidth) {}

QSize TTimeListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), rowHeight_};
}

void TTimeListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QRect r = option.rect;
    painter->save();
    const int x1 = r.left() + nameWidth_ - 8;
    const int x2 = x1 + 2 + typeWidth_;
    if (const TMonitoredItem* item = PaintItemRow(*painter, option, index, {x1, x2})) {
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
