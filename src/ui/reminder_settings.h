#pragma once

#include "skin/base_form.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tw {

class TImageButton;
class TImagePanel;
class TOptions;

// "Time-Up Settings": the daily limit and what happens when it is reached.
class TfrmReminderSettings : public TfrmBase {
    Q_OBJECT
  public:
    explicit TfrmReminderSettings(TWindowKit& kit, QWidget* parent = nullptr);

    // Runs the dialog over the options' limit and action; on OK they take the new values.
    bool Execute(TOptions& options);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void btnOkClick();

    QLabel* lblAppsDescription = nullptr;
    QLabel* lblAction = nullptr;
    TImagePanel* pnlExpirationCombo = nullptr;
    QComboBox* cbxExpirationAction = nullptr;
    TImageButton* btnCombo = nullptr;
    QLabel* lblTimeLimit = nullptr;
    TImagePanel* pnlAfter = nullptr;
    QLineEdit* medTimeLimit = nullptr;
    QLabel* lblTimeFormat = nullptr;
    TImageButton* btnOk = nullptr;
    TImageButton* btnCancel = nullptr;
};

// Edits the limit and the action. The starting values are those that will hold tomorrow:
// below full access, a change waiting for the daily reset is shown rather than the value in
// force. On OK the options take the new values (now or at the reset, as their rules say);
// true when OK closed the dialog.
bool ExecuteReminderSettings(TOptions& options, QWidget* owner);

} // namespace tw
