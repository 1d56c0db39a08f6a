// The settings wizard's window: its pages laid out, and which of them are shown.
#include "dialogs/settings_form.h"

#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "dialogs/settings_form_appearance.h"
#include "dialogs/settings_form_limit.h"
#include "dialogs/settings_form_list.h"
#include "dialogs/settings_form_logon.h"
#include "dialogs/settings_form_reminder.h"
#include "skin/image_button.h"
#include "storage/options.h"

#include <QLabel>

namespace tw {

namespace {

constexpr int WindowWidth = 480;

QWidget* Sheet(QWidget* pageControl, const char* name) {
    auto* sheet = new QWidget(pageControl);
    sheet->setObjectName(QString::fromLatin1(name));
    sheet->setGeometry(pageControl->rect());
    return sheet;
}

} // namespace

TfrmSettings::TfrmSettings(TWindowKit& kit, TOptions& options, TDesktop& desktop, QWidget* parent)
    : TfrmBase(kit, parent), options_(options) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(WindowWidth, 440);

    lblPageTitle = MakeLabel(this, "lblPageTitle", QString(), 16, 42);
    QFont title = lblPageTitle->font();
    title.setPixelSize(16);
    lblPageTitle->setFont(title);
    lblPageTitle->setFixedWidth(WindowWidth - 32);

    pcSettings = new QWidget(this);
    pcSettings->setObjectName(QStringLiteral("pcSettings"));
    pcSettings->setGeometry(0, 72, WindowWidth, 316);
    pcSettings->hide();
    tsBackground = Sheet(pcSettings, "tsBackground");
    tsLogon = Sheet(pcSettings, "tsLogon");
    tsMonitoredList = Sheet(pcSettings, "tsMonitoredList");
    tsExpiration = Sheet(pcSettings, "tsExpiration");
    tsReminder = Sheet(pcSettings, "tsReminder");
    appearance_ = std::make_unique<TSettingsAppearancePage>(tsBackground, *this, options_);
    logon_ = std::make_unique<TSettingsLogonPage>(tsLogon, *this, options_);
    list_ = std::make_unique<TSettingsListPage>(tsMonitoredList, this, options_, desktop);
    limit_ = std::make_unique<TSettingsLimitPage>(tsExpiration, options_);
    reminders_ = std::make_unique<TSettingsReminderPage>(tsReminder, options_);

    btnBack = DialogButton(this, "btnBack", QStringLiteral("Cancel"), QRect(140, 398, 92, 30));
    btnNext = DialogButton(this, "btnNext", QStringLiteral("Next >"), QRect(248, 398, 92, 30));
    connect(btnBack, &TImageButton::clicked, this,
            [this] { Guarded(this, [this] { StepBack(); }); });
    connect(btnNext, &TImageButton::clicked, this,
            [this] { Guarded(this, [this] { StepNext(); }); });

    FinishCreation();
    CentreOnScreen(this);
    appearance_->Load();
}

QList<QWidget*> TfrmSettings::VisibleSheets() const {
    QList<QWidget*> sheets{tsBackground};
    if (options_.Policy().PasswordGuardsSettings()) {
        sheets.append(tsLogon);
    }
    sheets.append({tsMonitoredList, tsExpiration, tsReminder});
    return sheets;
}

void TfrmSettings::ShowPage(QWidget* sheet) {
    HideSheetControls();
    ShowSheetControls(sheet);
    currentSheet_ = sheet;
    const QList<QWidget*> sheets = VisibleSheets();
    btnBack->SetCaption(sheet == sheets.first() ? QStringLiteral("Cancel")
                                                : QStringLiteral("< Back"));
    btnNext->SetCaption(sheet == sheets.last() ? QStringLiteral("Apply")
                                               : QStringLiteral("Next >"));
    const char* title = sheet == tsBackground      ? "Appearance"
                        : sheet == tsLogon         ? "Administrator Password"
                        : sheet == tsMonitoredList ? "Sites and Applications"
                        : sheet == tsExpiration    ? "Time Limit"
                                                   : "Reminders";
    lblPageTitle->setText(QString::fromLatin1(title));
    lblPageTitle->setAccessibleName(lblPageTitle->text());
}

} // namespace tw
