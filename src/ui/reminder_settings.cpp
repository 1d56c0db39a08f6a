#include "ui/reminder_settings.h"

#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/change_policy.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/time_limit_text.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace tw {

TfrmReminderSettings::TfrmReminderSettings(TWindowKit& kit, QWidget* parent)
    : TfrmBase(kit, parent) {
    setObjectName(QStringLiteral("frmReminderSettings"));
    setWindowTitle(QStringLiteral("Time-Up Settings"));
    setMinimumSize(297, 128);
    setFixedSize(350, 276);

    // The texts stand on the body in the user's text colour; the fields on light pills.
    lblAppsDescription = BodyLabel(
        this, "lblAppsDescription",
        "If you reduce the time allowed on shopping sites or add more sites to your list, these "
        "changes take effect immediately.\n\nYou can increase time allowed on shopping sites only "
        "once a day. After that, changes take effect the next day.",
        10, 38);
    lblAppsDescription->setWordWrap(true);
    lblAppsDescription->setGeometry(10, 38, 330, 112);

    lblAction = BodyLabel(this, "lblAction", "Time up action:", 10, 164);
    const TSkinnedCombo action = SkinnedCombo(
        this, "pnlExpirationCombo", "cbxExpirationAction", "btnCombo", QRect(130, 157, 200, 30),
        {"Reminder Only", "Close Browser/App.", "Shutdown Computer"},
        QStringLiteral("Time up action"));
    pnlExpirationCombo = action.panel;
    cbxExpirationAction = action.combo;
    btnCombo = action.arrow;
    lblAction->setBuddy(cbxExpirationAction);

    lblTimeLimit = BodyLabel(this, "lblTimeLimit", "Time Limit:", 10, 204);
    pnlAfter = LightPanel(this, "pnlAfter", QRect(130, 197, 70, 30), 8);
    medTimeLimit = PanelEdit(this, "medTimeLimit", QRect(138, 201, 54, 22),
                             QStringLiteral("Time limit, in hours and minutes"));
    medTimeLimit->setFont(DesignFont(13, true));
    medTimeLimit->setInputMask(QStringLiteral("99:99;_"));
    medTimeLimit->setAlignment(Qt::AlignCenter);
    lblTimeFormat = BodyLabel(this, "lblTimeFormat", "hours:minutes", 208, 204);

    btnOk = DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(95, 236, 70, 28));
    btnCancel = DialogButton(this, "btnCancel", QStringLiteral("Cancel"), QRect(185, 236, 70, 28));
    connect(btnOk, &TImageButton::clicked, this, &TfrmReminderSettings::btnOkClick);
    connect(btnCancel, &TImageButton::clicked, this, &QDialog::reject);
    FinishCreation();
}

void TfrmReminderSettings::btnOkClick() {
    if (ValidateTimeLimit(medTimeLimit)) {
        accept();
    }
}

void TfrmReminderSettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnOkClick();
        return;
    }
    TfrmBase::keyPressEvent(event); // Escape rejects
}

bool TfrmReminderSettings::Execute(TOptions& options) {
    // A user sees what will hold tomorrow, the administrator what holds now.
    const int seconds = options.Policy().ShownTimeLimitSeconds();
    const TExpirationAction action = options.Policy().ShownExpirationAction();
    medTimeLimit->setText(QString::fromStdString(FormatHourMinute(seconds / SecondsPerDay)));
    cbxExpirationAction->setCurrentIndex(ExpirationActionIndex(action));
    if (exec() != QDialog::Accepted) {
        return false;
    }
    const TDateTime limit = TextToTimeLimit(medTimeLimit->text().toStdString());
    options.Policy().ApplyLimitAndAction(
        static_cast<int>(std::lround(limit * SecondsPerDay)),
        ExpirationActionFromIndex(cbxExpirationAction->currentIndex())
            .value_or(TExpirationAction::ReminderOnly),
        seconds, action);
    return true;
}

bool ExecuteReminderSettings(TOptions& options, QWidget* owner) {
    const TAdminSession session(options.Policy());
    TfrmReminderSettings dialog(KitOf(owner), owner);
    return dialog.Execute(options);
}

} // namespace tw
