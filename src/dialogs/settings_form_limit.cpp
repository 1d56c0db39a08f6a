#include "dialogs/settings_form_limit.h"

#include "dialogs/dialog_controls.h"
#include "skin/base_form.h"
#include "storage/date_format.h"
#include "storage/expiration_action.h"
#include "storage/options.h"
#include "storage/settings_changes.h"
#include "storage/time_limit_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace tw {

TSettingsLimitPage::TSettingsLimitPage(QWidget* s, const TOptions& options) : options_(options) {
    lblExpirationInfo = MakeText(s, "lblExpirationInfo",
                                 "What should the application do when the time limit is reached?",
                                 QRect(16, 0, 448, 40));
    lblAction = MakeLabel(s, "lblAction", "Time up action:", 16, 58);
    cbxExpirationAction =
        MakeCombo(s, "cbxExpirationAction", "Time up action:", QRect(170, 50, 220, 30),
                  {QStringLiteral("Reminder Only"), QStringLiteral("Close Browser/App."),
                   QStringLiteral("Shutdown Computer")});
    lblTimeLimit = MakeLabel(s, "lblTimeLimit", "Daily time limit:", 16, 100);
    medTimeLimit =
        MakeEdit(s, "medTimeLimit", "Daily time limit (hours:minutes)", QRect(170, 92, 80, 30));
    medTimeLimit->setInputMask(QStringLiteral("99:99;_"));
    medTimeLimit->setAlignment(Qt::AlignCenter);
    lblHoursMinutes = MakeLabel(s, "lblHoursMinutes", "hours:minutes", 262, 100);
    lblExpirationNote =
        MakeText(s, "lblExpirationNote",
                 "Please confirm your settings before proceeding. We suggest setting reminders "
                 "initially. To block distracting sites/games/email at any time click Focus.",
                 QRect(16, 150, 448, 60));
}

void TSettingsLimitPage::Load() {
    loadedSeconds_ = options_.Policy().ShownTimeLimitSeconds();
    loadedAction_ = ExpirationActionIndex(options_.Policy().ShownExpirationAction());
    medTimeLimit->setText(QString::fromStdString(FormatHourMinute(loadedSeconds_ / SecondsPerDay)));
    cbxExpirationAction->setCurrentIndex(loadedAction_);
}

bool TSettingsLimitPage::Validate(TfrmBase& window) {
    return window.ValidateTimeLimit(medTimeLimit);
}

void TSettingsLimitPage::SetEditable(bool editable) {
    cbxExpirationAction->setEnabled(editable);
    medTimeLimit->setEnabled(editable);
}

void TSettingsLimitPage::Fill(TChosenSettings& chosen) const {
    chosen.timeLimitSeconds = static_cast<int>(
        std::lround(TextToTimeLimit(medTimeLimit->text().toStdString()) * SecondsPerDay));
    chosen.action = ExpirationActionFromIndex(cbxExpirationAction->currentIndex())
                        .value_or(TExpirationAction::ReminderOnly);
    chosen.shownTimeLimitSeconds = loadedSeconds_;
    chosen.shownAction =
        ExpirationActionFromIndex(loadedAction_).value_or(TExpirationAction::ReminderOnly);
}

} // namespace tw
