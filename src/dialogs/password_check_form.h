#pragma once

#include "skin/base_form.h"

class QLabel;
class QLineEdit;

namespace tw {

class TImageButton;
class TOptions;

// "Enter Password": the administrator's password before a guarded change. A wrong one is
// refused with a notice and the prompt stays, as often as the person tries.
class TfrmPasswordCheck : public TfrmBase {
    Q_OBJECT
  public:
    TfrmPasswordCheck(TWindowKit& kit, TOptions& options, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* lblDescription = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* edPassword = nullptr;
    QLabel* lblForgotPassword = nullptr;
    TImageButton* btnOk = nullptr;
    TImageButton* btnCancel = nullptr;

    void btnOkClick();

    TOptions& options_;
};

} // namespace tw
