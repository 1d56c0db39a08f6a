// The settings wizard's Logon page, in the administrator-managed edition: setting or entering
// the administrator password, changing it, and handing the right to change settings to the
// user.
#include "dialogs/password_change_form.h"
#include "dialogs/settings_form.h"
#include "skin/image_button.h"
#include "storage/options.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace tw {

void TfrmSettings::SetUpLogonPage() {
    const bool passwordSet = !options_.Values().Password.empty();
    const QString description =
        QStringLiteral("Please %1 Admin Password. Admin sets sites and apps "
                       "to watch, but can opt to give this control to the user")
            .arg(passwordSet ? QStringLiteral("enter") : QStringLiteral("set"));
    lblStart_Description->setText(description);
    lblStart_Description->setAccessibleName(description);
    for (QWidget* control : std::initializer_list<QWidget*>{
             edtStart_ConfirmPassword, lblStart_ConfirmPassword, lblStorePasswordOnline, lblNote}) {
        control->setVisible(!passwordSet);
    }
    lblForgotPassword->setVisible(passwordSet);
    btnChangePassword->setVisible(passwordSet);
}

bool TfrmSettings::ValidateLogonPage() {
    const QString password = edtStart_Password->text();
    auto refuse = [this](const char* warning) {
        ShowWarning(QString::fromLatin1(warning), QStringLiteral("Please Note"));
        edtStart_Password->setFocus();
        return false;
    };
    // Setting a password, the two entries must be the same exactly, letter case included.
    if (!edtStart_ConfirmPassword->isHidden() && password != edtStart_ConfirmPassword->text()) {
        return refuse("The passwords entered are not the same");
    }
    if (password.trimmed().isEmpty()) {
        return refuse("A password is required");
    }
    if (options_.Policy().LogOn(password.toStdString())) {
        return true;
    }
    return refuse("Invalid password");
}

void TfrmSettings::edtStart_PasswordChange() {
    if (firstRun_) {
        return;
    }
    // The right to hand over control is shown to the administrator only.
    ShowAllowToggle(options_.Policy().CheckPassword(edtStart_Password->text().toStdString()));
}

void TfrmSettings::ShowAllowToggle(bool visible) {
    lblAllowUserToChangeSettings->setVisible(visible);
    imgAllowUserToChangeSettings_Yes->setVisible(visible &&
                                                 options_.Values().AllowUserToChangeSettings);
    imgAllowUserToChangeSettings_No->setVisible(visible &&
                                                !options_.Values().AllowUserToChangeSettings);
}

void TfrmSettings::FlipAllowToggle() {
    const bool on = !AllowToggleOn();
    imgAllowUserToChangeSettings_Yes->setVisible(on);
    imgAllowUserToChangeSettings_No->setVisible(!on);
}

bool TfrmSettings::AllowToggleOn() const {
    return !imgAllowUserToChangeSettings_Yes->isHidden();
}

bool TfrmSettings::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == imgAllowUserToChangeSettings_Yes ||
         watched == imgAllowUserToChangeSettings_No) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        FlipAllowToggle();
        return true;
    }
    return TfrmBase::eventFilter(watched, event);
}

void TfrmSettings::btnChangePasswordClick() {
    TfrmPasswordChange dialog(options_, this);
    dialog.exec();
    ShowAllowToggle(false);
}

} // namespace tw
