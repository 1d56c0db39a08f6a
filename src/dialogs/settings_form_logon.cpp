#include "dialogs/settings_form_logon.h"

#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "dialogs/password_change_form.h"
#include "skin/base_form.h"
#include "skin/base_form_links.h"
#include "skin/image_button.h"
#include "skin/pictures.h"
#include "storage/options.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace tw {

namespace {

QLabel* Picture(QWidget* parent, const char* name, const char* picture,
                const QString& accessibleName, int left, int top) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setAccessibleName(accessibleName);
    image->setPixmap(
        QPixmap::fromImage(TPicture::FromResource(QString::fromLatin1(picture)).image));
    image->setGeometry(left, top, 16, 16);
    image->setCursor(Qt::PointingHandCursor);
    return image;
}

} // namespace

TSettingsLogonPage::TSettingsLogonPage(QWidget* s, TfrmBase& window, TOptions& options)
    : window_(window), options_(options) {
    lblStart_Description = MakeText(s, "lblStart_Description", QString(), QRect(16, 0, 448, 40));
    lblStart_Password = MakeLabel(s, "lblStart_Password", "Password:", 16, 62);
    edtStart_Password =
        MakeEdit(s, "edtStart_Password", "Password:", QRect(170, 54, 220, 30), true);
    lblStart_ConfirmPassword =
        MakeLabel(s, "lblStart_ConfirmPassword", "Confirm Password:", 16, 100);
    edtStart_ConfirmPassword =
        MakeEdit(s, "edtStart_ConfirmPassword", "Confirm Password:", QRect(170, 92, 220, 30), true);
    lblForgotPassword = MakeLink(s, "lblForgotPassword", "Forgot Password", 170, 96,
                                 [] { TfrmBase::OpenUrl(QString::fromLatin1(LoginPage)); });
    lblStorePasswordOnline =
        MakeLink(s, "lblStorePasswordOnline", "Store Password Online", 170, 130,
                 [] { TfrmBase::OpenUrl(QString::fromLatin1(LoginPage)); });
    lblNote = MakeText(s, "lblNote",
                       "Please note that you will not be able to recover a forgotten password "
                       "without storing it online.",
                       QRect(16, 156, 448, 36));
    btnChangePassword = DialogButton(s, "btnChangePassword", QStringLiteral("Change Password"),
                                     QRect(170, 126, 160, 30));
    connect(btnChangePassword, &TImageButton::clicked, this,
            [this] { Guarded(&window_, [this] { ChangePasswordClick(); }); });
    imgAllowUserToChangeSettings_Yes =
        Picture(s, "imgAllowUserToChangeSettings_Yes", "check_on",
                QStringLiteral("Allow user to change settings: yes"), 16, 208);
    imgAllowUserToChangeSettings_No =
        Picture(s, "imgAllowUserToChangeSettings_No", "check_off",
                QStringLiteral("Allow user to change settings: no"), 16, 208);
    lblAllowUserToChangeSettings =
        MakeLink(s, "lblAllowUserToChangeSettings", "Allow user to change settings", 40, 207,
                 [this] { FlipAllowToggle(); });
    QFont plain = lblAllowUserToChangeSettings->font();
    plain.setUnderline(false);
    plain.setBold(true);
    lblAllowUserToChangeSettings->setFont(plain);
    lblAllowUserToChangeSettings->adjustSize();
    lblAllowUserToChangeSettings->setAccessibleDescription(QStringLiteral("toggle"));
    for (QLabel* image : {imgAllowUserToChangeSettings_Yes, imgAllowUserToChangeSettings_No}) {
        image->installEventFilter(this);
    }
    // A stored password takes a slow derivation to check (a fifth of a second), so the check
    // waits until typing pauses instead of holding every keystroke.
    passwordPause_ = new QTimer(this);
    passwordPause_->setSingleShot(true);
    passwordPause_->setInterval(300);
    connect(passwordPause_, &QTimer::timeout, this,
            [this] { Guarded(&window_, [this] { PasswordChange(); }); });
    connect(edtStart_Password, &QLineEdit::textChanged, passwordPause_,
            qOverload<>(&QTimer::start));
}

void TSettingsLogonPage::SetUp() {
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

bool TSettingsLogonPage::Validate() {
    const QString password = edtStart_Password->text();
    auto refuse = [this](const char* warning) {
        window_.ShowWarning(QString::fromLatin1(warning), QStringLiteral("Please Note"));
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

QString TSettingsLogonPage::Password() const {
    return edtStart_Password->text();
}

void TSettingsLogonPage::PasswordChange() {
    if (firstRun_) {
        return;
    }
    // The right to hand over control is shown to the administrator only.
    ShowAllowToggle(options_.Policy().CheckPassword(edtStart_Password->text().toStdString()));
}

void TSettingsLogonPage::ShowAllowToggle(bool visible) {
    lblAllowUserToChangeSettings->setVisible(visible);
    imgAllowUserToChangeSettings_Yes->setVisible(visible &&
                                                 options_.Values().AllowUserToChangeSettings);
    imgAllowUserToChangeSettings_No->setVisible(visible &&
                                                !options_.Values().AllowUserToChangeSettings);
}

void TSettingsLogonPage::FlipAllowToggle() {
    const bool on = !AllowToggleOn();
    imgAllowUserToChangeSettings_Yes->setVisible(on);
    imgAllowUserToChangeSettings_No->setVisible(!on);
}

bool TSettingsLogonPage::AllowToggleOn() const {
    return !imgAllowUserToChangeSettings_Yes->isHidden();
}

bool TSettingsLogonPage::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == imgAllowUserToChangeSettings_Yes ||
         watched == imgAllowUserToChangeSettings_No) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        FlipAllowToggle();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TSettingsLogonPage::ChangePasswordClick() {
    TfrmPasswordChange dialog(window_.Kit(), options_, &window_);
    dialog.exec();
    ShowAllowToggle(false);
}

} // namespace tw
