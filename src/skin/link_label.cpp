#include "skin/link_label.h"

#include "skin/accessible_controls.h"

#include <QMouseEvent>

namespace tw {

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {
    InstallAccessibleControls();
    setCursor(Qt::PointingHandCursor);
    QFont link = font();
    link.setUnderline(true);
    setFont(link);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace tw
