#include "dialogs/password_check_form.h"

#include "dialogs/dialog_controls.h"
#include "skin/base_form_links.h"
#include "skin/image_button.h"
#include "storage/options.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace tw {

TfrmPasswordCheck::TfrmPasswordCheck(TWindowKit& kit, TOptions& options, QWidget* parent)
    : TfrmBase(kit, parent), options_(options) {
    setObjectName(QStringLiteral("frmPasswordCheck"));
    setWindowTitle(QStringLiteral("Enter Password"));
    setFixedSize(420, 176);

    lblDescription =
        MakeText(this, "lblDescription", "Please enter your Administrator password to continue",
                 QRect(16, 42, 388, 20));
    lblPassword = MakeLabel(this, "lblPassword", "Password:", 16, 80);
    edPassword = MakeEdit(this, "edPassword", "Password:", QRect(106, 72, 298, 30), true);
    lblForgotPassword = MakeLink(this, "lblForgotPassword", "Forgot Password", 106, 108,
                                 [] { OpenUrl(QString::fromLatin1(LoginPage)); });

    btnOk = DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(123, 136, 80, 28));
    btnCancel = DialogButton(this, "btnCancel", QStringLiteral("Cancel"), QRect(216, 136, 80, 28));
    connect(btnOk, &TImageButton::clicked, this, &TfrmPasswordCheck::btnOkClick);
    connect(btnCancel, &TImageButton::clicked, this, &QDialog::reject);
    FinishCreation();
    CentreOnScreen(this);
    edPassword->setFocus();
}

void TfrmPasswordCheck::btnOkClick() {
    if (options_.Policy().CheckPassword(edPassword->text().toStdString())) {
        accept();
        return;
    }
    ShowWarning(QStringLiteral("Invalid password"), QStringLiteral("Please Note"));
    edPassword->setFocus();
}

void TfrmPasswordCheck::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnOkClick();
        return;
    }
    TfrmBase::keyPressEvent(event); // Escape cancels
}

} // namespace tw
