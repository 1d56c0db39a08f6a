#include "dialogs/settings_form_reminder.h"

#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "skin/base_form.h"
#include "skin/image_panel.h"
#include "skin/marked_item_delegate.h"
#include "skin/pictures.h"
#include "storage/options.h"
#include "storage/settings_changes.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>

namespace tw {

TSettingsReminderPage::TSettingsReminderPage(QWidget* s, const TOptions& options)
    : options_(options) {
    lblReminderTitle = MakeLabel(s, "lblReminderTitle", "Reminder Settings", 16, 0);
    lblReminder = MakeLabel(s, "lblReminder", "Reminder:", 16, 36);
    cbxReminder = MakeCombo(
        s, "cbxReminder", "Reminder:", QRect(120, 28, 180, 30),
        {QStringLiteral("Morning"), QStringLiteral("Afternoon"), QStringLiteral("Evening")});
    cbxReminder->setItemDelegate(new TMarkedItemDelegate(
        QPixmap::fromImage(TPicture::FromResource(QStringLiteral("check_on")).image), cbxReminder));
    auto* panel = new TImagePanel(s);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(8);
    panel->SetSideHeight(8);
    panel->setGeometry(16, 68, 448, 180);
    memReminder = new QPlainTextEdit(s);
    memReminder->setObjectName(QStringLiteral("memReminder"));
    memReminder->setAccessibleName(QStringLiteral("Reminder text"));
    memReminder->setGeometry(24, 74, 432, 168);
    memReminder->setFrameShape(QFrame::NoFrame);
    memReminder->setStyleSheet(QStringLiteral("background: transparent;"));
    QPalette dark = memReminder->palette();
    dark.setColor(QPalette::Text, TfrmBase::DesignFontColor);
    memReminder->setPalette(dark);
    lblReminderChange = MakeLabel(s, "lblReminderChange", "Alert to change reminder:", 16, 270);
    cbReminderChangePeriod = MakeCombo(
        s, "cbReminderChangePeriod", "Alert to change reminder:", QRect(220, 262, 180, 30),
        {QStringLiteral("Never"), QStringLiteral("Daily"), QStringLiteral("Weekly"),
         QStringLiteral("Fortnightly"), QStringLiteral("Monthly")});
    connect(cbxReminder, &QComboBox::currentIndexChanged, this,
            [this] { Guarded(cbxReminder, [this] { PartChange(); }); });
    connect(memReminder, &QPlainTextEdit::textChanged, this,
            [this] { Guarded(memReminder, [this] { MemoChange(); }); });
}

void TSettingsReminderPage::Load() {
    cbReminderChangePeriod->setCurrentIndex(
        ReminderChangePeriodIndex(options_.Values().ReminderChangePeriod));
    for (int part = 0; part < 3; ++part) {
        texts_[static_cast<std::size_t>(part)] = options_.GetReminder(part);
    }
    const QSignalBlocker quiet(cbxReminder);
    cbxReminder->setCurrentIndex(0);
    PartChange();
}

void TSettingsReminderPage::Fill(TChosenSettings& chosen) const {
    chosen.reminders = texts_;
    chosen.reminderChangePeriod =
        ReminderChangePeriodFromIndex(cbReminderChangePeriod->currentIndex());
}

void TSettingsReminderPage::PartChange() {
    const int part = std::max(0, cbxReminder->currentIndex());
    const QSignalBlocker quiet(memReminder);
    memReminder->setPlainText(QString::fromStdString(texts_[static_cast<std::size_t>(part)]));
    RefreshTicks();
}

void TSettingsReminderPage::MemoChange() {
    const int part = std::max(0, cbxReminder->currentIndex());
    texts_[static_cast<std::size_t>(part)] = memReminder->toPlainText().toStdString();
    RefreshTicks();
}

void TSettingsReminderPage::RefreshTicks() {
    // A part whose memo holds more than blanks carries a tick, at the right as in the main
    // window's selector.
    for (int part = 0; part < 3; ++part) {
        const bool filled =
            !QString::fromStdString(texts_[static_cast<std::size_t>(part)]).trimmed().isEmpty();
        cbxReminder->setItemData(part, filled, MarkedRole);
    }
}

} // namespace tw
