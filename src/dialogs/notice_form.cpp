#include "dialogs/notice_form.h"

#include <QKeyEvent>

namespace tw {

void TfrmNotice::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        accept();
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

} // namespace tw
