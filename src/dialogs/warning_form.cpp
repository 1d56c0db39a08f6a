#include "dialogs/warning_form.h"

#include "ui/image_button.h"

#include <QKeyEvent>
#include <QLabel>

namespace tw {

TfrmWarning::TfrmWarning(QWidget* parent) : TfrmBase(parent) {
    setObjectName("frmWarning");
    setWindowTitle("Warning");
    setFixedSize(363, 140);

    lblWarning = new QLabel(this);
    lblWarning->setObjectName("lblWarning");
    lblWarning->setGeometry(12, 46, 339, 38);
    lblWarning->setAlignment(Qt::AlignCenter);
    lblWarning->setWordWrap(true);
    QPalette white = lblWarning->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lblWarning->setPalette(white);

    btnOk = DialogButton(this, "btnOk", "OK", QRect(141, 98, 80, 28));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);

    FinishCreation();
}

void TfrmWarning::keyPressEvent(QKeyEvent* event) {
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

void ShowWarning(const QString& message, const QString& caption) {
    TfrmWarning window;
    window.setWindowTitle(caption);
    window.lblWarning->setText(message);
    window.exec();
}

} // namespace tw
