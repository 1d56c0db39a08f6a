#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace tw {

class TfrmBase;
class TImageButton;
class TOptions;

// The settings wizard's Logon page, in the administrator-managed edition: setting or entering
// the administrator password, changing it, and handing the right to change settings to the
// user.
class TSettingsLogonPage : public QObject {
  public:
    TSettingsLogonPage(QWidget* sheet, TfrmBase& window, TOptions& options);

    // At the first start the password is being set, and the right to hand over control is
    // shown whatever is typed.
    void SetFirstRun(bool firstRun) { firstRun_ = firstRun; }
    // Asks to set the password when there is none, else to enter it.
    void SetUp();
    // A refusal is shown, and the focus goes back to the password.
    bool Validate();
    void ShowAllowToggle(bool visible);
    bool AllowToggleOn() const;
    QString Password() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PasswordChange();
    void FlipAllowToggle();
    void ChangePasswordClick();

    TfrmBase& window_;
    TOptions& options_;
    bool firstRun_ = false;
    QLabel *lblStart_Description = nullptr, *lblStart_Password = nullptr,
           *lblStart_ConfirmPassword = nullptr, *lblStorePasswordOnline = nullptr,
           *lblNote = nullptr, *lblForgotPassword = nullptr,
           *lblAllowUserToChangeSettings = nullptr, *imgAllowUserToChangeSettings_Yes = nullptr,
           *imgAllowUserToChangeSettings_No = nullptr;
    QLineEdit *edtStart_Password = nullptr, *edtStart_ConfirmPassword = nullptr;
    TImageButton* btnChangePassword = nullptr;
    QTimer* passwordPause_ = nullptr; // the check of the typed password, once typing pauses
};

} // namespace tw
