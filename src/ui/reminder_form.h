#pragma once

#include "base/date_time.h"
#include "monitor/scan_host.h"
#include "skin/base_form.h"
#include "storage/expiration_action.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace tw {

class TClock;
class TImageButton;
class TImagePanel;
class TOptions;

// The reminder's height by the part of the day it appears in: the memos of the parts
// already over are left out.
int ReminderHeight(TDayPart dayPart);

// What the reminder is shown for.
struct TReminderRequest {
    bool isBlock = false;            // a listed window came to the front during Block mode
    bool fiveMinutesAllowed = false; // offer "Give me 5 Minutes"
    // What closing the window carries out unless the person picks otherwise (offered only
    // for "Reminder Only" outside Block mode).
    TExpirationAction action = TExpirationAction::ReminderOnly;
};

// The reminder's text: Block mode's, or the one for the action at the limit.
const char* ReminderText(bool isBlock, TExpirationAction action);

// "Reminder": the time is up. It shows the to-do memos for the rest of the day, counts a
// minute down or lets the person choose what happens.
class TfrmReminder : public TfrmBase {
    Q_OBJECT
  public:
    explicit TfrmReminder(TWindowKit& kit, QWidget* owner);

    // Disables the owner, shows the window modally and enables the owner again. Returns
    // what the person chose: five more minutes, or, when OK or the end of the countdown
    // closed it, the action to carry out. A window ended by the program's own end answers
    // neither.
    TReminderChoice ShowReminder(const TOptions& options, const TReminderRequest& request);

    int CountdownSeconds() const { return countdownSeconds_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void LayOutForDayPart(TDayPart dayPart);
    void tmrCountdownTimer();

    QLabel* lblReminderText;
    QLabel *lblReminderMorning, *lblReminderAfternoon, *lblReminderEvening;
    TImagePanel *pnlReminderMorning, *pnlReminderAfternoon, *pnlReminderEvening;
    QPlainTextEdit *memReminderMorning, *memReminderAfternoon, *memReminderEvening;
    TImageButton* btnFiveMinutes;
    QLabel* lblAction;
    TImagePanel* pnlExpirationCombo;
    QComboBox* cbxExpirationAction;
    TImageButton* btnComboExpirationAction;
    QLabel *lblTimeLeft, *lblTimeValue;
    TImageButton* btnOk;
    QTimer* tmrCountdown;

    int countdownSeconds_ = 60;
    // The countdown runs on the program clock from the moment the window appears, so a
    // late or skipped timer tick never lengthens it.
    // The options' clock, from the reminder shown.
    const TClock* clock_ = nullptr;
    TDateTime countdownStart_ = 0;
};

} // namespace tw
