#pragma once

#include "skin/base_form.h"

class QLabel;
class QLineEdit;

namespace tw {

class TImageButton;
class TOptions;

// "Change Password", opened from the settings wizard's Logon page: the old password, then
// the new one twice. A successful change is saved at once.
class TfrmPasswordChange : public TfrmBase {
    Q_OBJECT
  public:
    TfrmPasswordChange(TWindowKit& kit, TOptions& options, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel *lblOldPassword = nullptr, *lblNewPassword = nullptr, *lblConfirmPassword = nullptr;
    QLineEdit *edOldPassword = nullptr, *edNewPassword = nullptr, *edConfirmPassword = nullptr;
    QLabel* lblSavePassword = nullptr;
    TImageButton* btnOk = nullptr;
    TImageButton* btnCancel = nullptr;

    void btnOkClick();

    TOptions& options_;
};

} // namespace tw
