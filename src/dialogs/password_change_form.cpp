#include "dialogs/password_change_form.h"

#include "dialogs/dialog_controls.h"
#include "skin/base_form_links.h"
#include "skin/image_button.h"
#include "storage/options.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace tw {

TfrmPasswordChange::TfrmPasswordChange(TWindowKit& kit, TOptions& options, QWidget* parent)
    : TfrmBase(kit, parent), options_(options) {
    setObjectName(QStringLiteral("frmPasswordChange"));
    setWindowTitle(QStringLiteral("Change Password"));
    setFixedSize(363, 222);

    const struct {
        const char *label, *box, *text;
        QLabel** labelField;
        QLineEdit** boxField;
    } rows[] = {
        {"lblOldPassword", "edOldPassword", "Old Password:", &lblOldPassword, &edOldPassword},
        {"lblNewPassword", "edNewPassword", "New Password:", &lblNewPassword, &edNewPassword},
        {"lblConfirmPassword", "edConfirmPassword", "Confirm Password:", &lblConfirmPassword,
         &edConfirmPassword},
    };
    int top = 46;
    for (const auto& row : rows) {
        *row.labelField = MakeLabel(this, row.label, row.text, 16, top + 8);
        *row.boxField = MakeEdit(this, row.box, row.text, QRect(150, top, 197, 30), true);
        top += 38;
    }
    setTabOrder(edOldPassword, edNewPassword);
    setTabOrder(edNewPassword, edConfirmPassword);
    lblSavePassword = MakeLink(this, "lblSavePassword", "Save Password Online", 150, top,
                               [] { OpenUrl(QString::fromLatin1(LoginPage)); });

    btnOk = DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(95, 182, 80, 28));
    btnCancel = DialogButton(this, "btnCancel", QStringLiteral("Cancel"), QRect(188, 182, 80, 28));
    connect(btnOk, &TImageButton::clicked, this, &TfrmPasswordChange::btnOkClick);
    connect(btnCancel, &TImageButton::clicked, this, &QDialog::reject);
    FinishCreation();
    CentreOnScreen(this);
    edOldPassword->setFocus();
}

void TfrmPasswordChange::btnOkClick() {
    if (!options_.Policy().CheckPassword(edOldPassword->text().toStdString())) {
        ShowWarning(QStringLiteral("Invalid old password"), QStringLiteral("Please Note"));
        edOldPassword->setFocus();
        return;
    }
    // Typed twice to catch a slip of the finger; letter case is forgiven here.
    if (edNewPassword->text().compare(edConfirmPassword->text(), Qt::CaseInsensitive) != 0) {
        ShowWarning(QStringLiteral("Passwords do not match"), QStringLiteral("Please Note"));
        edNewPassword->setFocus();
        return;
    }
    options_.Policy().SetPassword(edNewPassword->text().toStdString());
    if (!options_.Save()) {
        // The failure itself went to the error log; the person must not be told otherwise.
        ShowWarning(QStringLiteral("The new password could not be saved"),
                    QStringLiteral("Please Note"));
        return;
    }
    ShowWarning(QStringLiteral("Password was successfully changed"), QStringLiteral("Information"));
    accept();
}

void TfrmPasswordChange::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnOkClick();
        return;
    }
    TfrmBase::keyPressEvent(event);
}

} // namespace tw
