#include "ui/reminder_settings.h"

#include "skin/base_form_time_limit.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/admin_access.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/settings_file.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace tw {

namespace {

template <class T> T* Named(T* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

TImagePanel* Pill(QWidget* parent, const char* name, const QRect& place) {
    auto* panel = Named(new TImagePanel(parent), name);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(8);
    panel->SetSideHeight(8);
    panel->setGeometry(place);
    return panel;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = Named(new QLabel(text, parent), name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TfrmReminderSettings::TfrmReminderSettings(QWidget* parent) : TfrmBase(parent) {
    setObjectName(QStringLiteral("frmReminderSettings"));
    setWindowTitle(QStringLiteral("Time-Up Settings"));
    setMinimumSize(297, 128);
    setFixedSize(350, 276);

    lblAppsDescription = Label(this, "lblAppsDescription",
                               "If you reduce the time allowed on shopping sites or add more sites "
                               "to your list, these changes take effect immediately.\n\nYou can "
                               "increase time allowed on shopping sites only once a day. After "
                               "that, changes take effect the next day.",
                               10, 38);
    lblAppsDescription->setWordWrap(true);
    lblAppsDescription->setGeometry(10, 38, 330, 112);

    lblAction = Label(this, "lblAction", "Time up action:", 10, 164);
    pnlExpirationCombo = Pill(this, "pnlExpirationCombo", QRect(130, 157, 200, 30));
    cbxExpirationAction = Named(new QComboBox(this), "cbxExpirationAction");
    cbxExpirationAction->addItems({"Reminder Only", "Close Browser/App.", "Shutdown Computer"});
    cbxExpirationAction->setGeometry(136, 161, 190, 22);
    btnCombo = Named(new TImageButton(this), "btnCombo");
    btnCombo->setGeometry(300, 161, 26, 22);
    connect(btnCombo, &TImageButton::clicked, cbxExpirationAction, &QComboBox::showPopup);

    lblTimeLimit = Label(this, "lblTimeLimit", "Time Limit:", 10, 204);
    pnlAfter = Pill(this, "pnlAfter", QRect(130, 197, 70, 30));
    medTimeLimit = Named(new QLineEdit(this), "medTimeLimit");
    medTimeLimit->setInputMask(QStringLiteral("99:99;_"));
    medTimeLimit->setAlignment(Qt::AlignCenter);
    medTimeLimit->setFrame(false);
    medTimeLimit->setGeometry(138, 201, 54, 22);
    lblTimeFormat = Label(this, "lblTimeFormat", "hours:minutes", 208, 204);

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

bool ExecuteReminderSettings(TOptions& options, QWidget* owner) {
    const TAdminAccessScope access(options);

    int seconds = options.TimeLimitSeconds;
    int action = ExpirationActionIndex(options.ExpirationAction);
    if (options.AccessLevel() < 2) {
        // A user sees what will hold tomorrow, the administrator what holds now.
        const TSettingsFile& file = SettingsFile();
        seconds = file.ReadInteger("Common", "TimeLimitSeconds", seconds);
        action = file.ReadInteger("Common", "ExpirationAction", action);
    }
    TfrmReminderSettings dialog(owner);
    dialog.medTimeLimit->setText(QString::fromStdString(FormatHourMinute(seconds / SecondsPerDay)));
    dialog.cbxExpirationAction->setCurrentIndex(ExpirationActionIndex(
        ExpirationActionFromIndex(action).value_or(TExpirationAction::ReminderOnly)));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const TDateTime limit = TextToTimeLimit(dialog.medTimeLimit->text().toStdString());
    options.SetTimeLimitSeconds(static_cast<int>(std::lround(limit * SecondsPerDay)));
    options.SetExpirationAction(
        ExpirationActionFromIndex(dialog.cbxExpirationAction->currentIndex())
            .value_or(TExpirationAction::ReminderOnly));
    return true;
}

} // namespace tw
