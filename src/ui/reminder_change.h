#pragma once

#include "dialogs/notice_form.h"

class QComboBox;
class QLabel;

namespace tw {

class TImageButton;
class TImagePanel;
class TOptions;

// "Please change reminders": asks the person to refresh memos left unchanged for a while,
// and how often to ask.
class TfrmReminderChange : public TfrmNotice {
    Q_OBJECT
  public:
    explicit TfrmReminderChange(TWindowKit& kit, QWidget* owner);

    // Shows the prompt over the options' memo dates and stores the frequency chosen.
    void Execute(TOptions& options);

  protected:
    // Enter and Escape answer it as OK does (TfrmNotice); so does a close request.
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* lblWarningText;
    QLabel* lblRemindMe;
    TImagePanel* pnlReportFrequency;
    QComboBox* cbxReminderChangeFrequency;
    TImageButton* btnCombo;
    TImageButton* btnOk;
};

// Shows the prompt with the days since the memos last changed, records that it was shown,
// and stores the frequency chosen (kept by the options' next save). Always true: the prompt
// only closes as OK.
bool ExecuteReminderChange(TOptions& options, QWidget* owner);

} // namespace tw
