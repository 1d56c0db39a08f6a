#include "ui/reminder_change.h"

#include "monitor/memo_prompt.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/clock.h"
#include "storage/options.h"
#include "storage/settings_changes.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>

namespace tw {

TfrmReminderChange::TfrmReminderChange(TWindowKit& kit, QWidget* owner) : TfrmNotice(kit, owner) {
    setObjectName(QStringLiteral("frmReminderChange"));
    setWindowTitle(QStringLiteral("Please change reminders"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(328, 140);

    lblWarningText = BodyLabel(this, "lblWarningText", QString(), 10, 40);
    lblWarningText->setGeometry(10, 40, 308, 20);
    lblRemindMe = BodyLabel(this, "lblRemindMe", QStringLiteral("Remind me:"), 10, 70);
    const TSkinnedCombo frequency = SkinnedCombo(
        this, "pnlReportFrequency", "cbxReminderChangeFrequency", "btnCombo",
        QRect(100, 64, 140, 28), {"Never", "Daily", "Weekly", "Fortnightly", "Monthly"},
        QStringLiteral("Remind me"));
    pnlReportFrequency = frequency.panel;
    cbxReminderChangeFrequency = frequency.combo;
    btnCombo = frequency.arrow;
    lblRemindMe->setBuddy(cbxReminderChangeFrequency);
    btnOk = DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(125, 102, 78, 28));
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);
    FinishCreation();
}

void TfrmReminderChange::closeEvent(QCloseEvent* event) {
    // A close request answers the prompt as OK does, keeping the choice shown.
    event->ignore();
    accept();
}

void TfrmReminderChange::Execute(TOptions& options) {
    const TDateTime now = options.Clock().Now();
    lblWarningText->setText(QStringLiteral("You have not updated your reminders in %1 day(s)")
                                .arg(RoundedDays(options.Values().ReminderChangedDateTime, now)));
    NoteReminderPromptShown(options, now);
    cbxReminderChangeFrequency->setCurrentIndex(
        ReminderChangePeriodIndex(options.Values().ReminderChangePeriod));
    exec();
    SetReminderChangePeriod(
        options, ReminderChangePeriodFromIndex(cbxReminderChangeFrequency->currentIndex()));
}

bool ExecuteReminderChange(TOptions& options, QWidget* owner) {
    TfrmReminderChange dialog(KitOf(owner), owner);
    dialog.Execute(options);
    return true;
}

} // namespace tw
