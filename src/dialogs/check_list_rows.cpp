#include "dialogs/check_list_rows.h"

#include "skin/base_form.h"
#include "skin/item_rows.h"
#include "skin/pictures.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>

namespace tw {

namespace {

class TCheckMarkFilter : public QObject {
  public:
    TCheckMarkFilter(QListWidget& box, std::function<bool(int)> onCheck)
        : QObject(&box), box_(box), onCheck_(std::move(onCheck)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick) {
            return QObject::eventFilter(watched, event);
        }
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QModelIndex index = box_.indexAt(at);
        if (!index.isValid() || RowItem(box_, index.row()) == nullptr ||
            at.x() < box_.visualRect(index).right() - TCheckListDelegate::CheckWidth) {
            return QObject::eventFilter(watched, event);
        }
        const bool select = onCheck_(index.row());
        box_.clearSelection();
        if (select && index.row() < box_.count()) {
            box_.setCurrentRow(index.row());
        }
        return true;
    }

  private:
    QListWidget& box_;
    std::function<bool(int)> onCheck_;
};

} // namespace

TCheckListDelegate::TCheckListDelegate(int nameWidth, bool checkMarks, QObject* parent)
    : QStyledItemDelegate(parent), nameWidth_(nameWidth), checkMarks_(checkMarks),
      checked_(PreparePicture(TPicture::FromResource(QStringLiteral("check_on")))),
      unchecked_(PreparePicture(TPicture::FromResource(QStringLiteral("check_off")))) {}

QSize TCheckListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), RowHeight};
}

void TCheckListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QRect r = option.rect;
    painter->save();
    const int x1 = r.left() + nameWidth_;
    const int checkLeft = r.right() - CheckWidth;
    const TMonitoredItem* item = checkMarks_
                                     ? PaintItemRow(*painter, option, index, {x1, checkLeft})
                                     : PaintItemRow(*painter, option, index, {x1});
    if (item) {
        const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
        const QRect name(r.left() + 4, r.top(), x1 - r.left() - 8, r.height());
        painter->drawText(name, flags | Qt::AlignLeft,
                          painter->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight,
                                                            name.width()));
        const int typeRight = checkMarks_ ? checkLeft : r.right();
        painter->drawText(QRect(x1 + 2, r.top(), typeRight - x1 - 4, r.height()),
                          flags | Qt::AlignHCenter, QString::fromLatin1(item->TypeName()));
        if (checkMarks_) {
            const QImage& mark = item->Checked ? checked_ : unchecked_;
            painter->drawImage(checkLeft + (CheckWidth - mark.width()) / 2 + 1,
                               r.top() + (r.height() - mark.height()) / 2, mark);
        }
    }
    painter->restore();
}

void ShowCheckList(QListWidget& box, TMonitoredList& list, TMonitoredItemType typeFilter) {
    FillListItems(box, list, typeFilter);
    for (int row = 0; row < box.count(); ++row) {
        QListWidgetItem* entry = box.item(row);
        if (const TMonitoredItem* item = RowItem(box, row)) {
            entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
            entry->setData(Qt::CheckStateRole, item->Checked ? Qt::Checked : Qt::Unchecked);
            entry->setData(Qt::AccessibleDescriptionRole,
                           QString::fromLatin1(item->TypeName()) +
                               (item->Active ? QString() : QStringLiteral(", inactive")));
        }
    }
    TfrmBase::PadListRows(&box);
}

void WatchCheckMarks(QListWidget& box, std::function<bool(int row)> onCheck) {
    box.viewport()->installEventFilter(new TCheckMarkFilter(box, std::move(onCheck)));
}

} // namespace tw
