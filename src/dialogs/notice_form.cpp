#include "dialogs/notice_form.h"

#include <QKeyEvent>
#include <QLabel>

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

void SetWhiteText(QLabel* label) {
    QPalette white = label->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(white);
}

} // namespace tw
