#include "dialogs/warning_form.h"

#include "skin/form_controls.h"
#include "skin/image_button.h"

#include <QApplication>
#include <QLabel>

namespace tw {

TfrmWarning::TfrmWarning(TWindowKit& kit, QWidget* parent) : TfrmNotice(kit, parent) {
    setObjectName("frmWarning");
    setWindowTitle("Warning");
    setFixedSize(363, 140);

    lblWarning = new QLabel(this);
    lblWarning->setObjectName("lblWarning");
    lblWarning->setGeometry(12, 46, 339, 38);
    lblWarning->setAlignment(Qt::AlignCenter);
    lblWarning->setWordWrap(true);
    MakeLight(lblWarning);

    btnOk = DialogButton(this, "btnOk", "OK", QRect(141, 98, 80, 28));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);

    FinishCreation();
}

void TfrmWarning::SetMessage(const QString& message) {
    lblWarning->setText(message);
}

void ShowWarning(TWindowKit& kit, const QString& message, const QString& caption) {
    // Over the window the person is answering, so that the window manager keeps the notice
    // in front of it: a notice of its own could open behind a modal prompt, which then
    // waits for an answer nobody can see.
    TfrmWarning window(kit, QApplication::activeModalWidget());
    window.setWindowTitle(caption);
    window.SetMessage(message);
    window.exec();
}

} // namespace tw
