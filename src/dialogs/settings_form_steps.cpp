// The settings wizard's steps: forward with each page's checks, back, and Apply.
#include "dialogs/guarded.h"
#include "dialogs/settings_form.h"
#include "dialogs/settings_form_appearance.h"
#include "dialogs/settings_form_limit.h"
#include "dialogs/settings_form_list.h"
#include "dialogs/settings_form_logon.h"
#include "dialogs/settings_form_reminder.h"
#include "storage/options.h"
#include "storage/settings_changes.h"

#include <QKeyEvent>

namespace tw {

TfrmSettings::~TfrmSettings() = default;

const TMonitoredList& TfrmSettings::WorkingList() const {
    return list_->List();
}

bool TfrmSettings::ShowSettingsWizard(bool firstRun) {
    firstRun_ = firstRun;
    logon_->SetFirstRun(firstRun_);
    if (options_.Policy().PasswordGuardsSettings()) {
        logon_->SetUp();
    }
    logon_->ShowAllowToggle(firstRun_);
    LoadPages();
    appearance_->LoadStartAtLogin();
    options_.Policy().BeginSettingsWizard(firstRun_);
    ShowPage(VisibleSheets().first());
    return exec() == QDialog::Accepted;
}

void TfrmSettings::LoadPages() {
    limit_->Load();
    list_->Load();
    reminders_->Load();
}

void TfrmSettings::StepNext() {
    if (currentSheet_ == tsLogon) {
        const bool check = firstRun_ || !logon_->Password().isEmpty();
        if (check && !logon_->Validate()) {
            return;
        }
    }
    if (currentSheet_ == tsExpiration && !limit_->Validate(*this)) {
        return;
    }
    if (currentSheet_ == tsLogon) {
        LoadPages();
        const bool usable =
            options_.Policy().GuardedControlsUsable(firstRun_, !logon_->Password().isEmpty());
        limit_->SetEditable(usable);
        list_->SetEditable(usable);
    }
    const QList<QWidget*> sheets = VisibleSheets();
    const qsizetype at = sheets.indexOf(currentSheet_);
    if (at + 1 < sheets.size()) {
        ShowPage(sheets[at + 1]);
    } else {
        Apply();
    }
}

void TfrmSettings::StepBack() {
    const QList<QWidget*> sheets = VisibleSheets();
    const qsizetype at = sheets.indexOf(currentSheet_);
    if (at > 0) {
        ShowPage(sheets[at - 1]);
        return;
    }
    close();
}

void TfrmSettings::closeEvent(QCloseEvent* event) {
    // Closed without Apply: the previewed appearance is put back.
    if (result() != QDialog::Accepted) {
        Guarded(this, [this] { appearance_->Restore(); });
    }
    TfrmBase::closeEvent(event);
}

void TfrmSettings::keyPressEvent(QKeyEvent* event) {
    // The memo keeps its Enter for new lines; it never reaches here.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded(this, [this] { StepNext(); });
        return;
    case Qt::Key_Escape:
        Guarded(this, [this] { StepBack(); });
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

void TfrmSettings::Apply() {
    TChosenSettings chosen;
    chosen.firstRun = firstRun_;
    chosen.password = logon_->Password().toStdString();
    chosen.allowUserToChange = logon_->AllowToggleOn();
    limit_->Fill(chosen);
    chosen.list = &list_->List();
    reminders_->Fill(chosen);
    appearance_->ApplyStartAtLogin();
    if (!ApplyChosenSettings(options_, chosen)) {
        // What was chosen is in force; the next regular save tries again.
        ShowWarning(QStringLiteral("Your settings could not be saved"),
                    QStringLiteral("Please Note"));
    }
    accept();
}

bool ShowFirstRunSettings(TWindowKit& kit, TOptions& options, TDesktop& desktop) {
    if (!BeginFirstRun(options)) {
        return false;
    }
    TfrmSettings wizard(kit, options, desktop);
    wizard.ShowSettingsWizard(true);
    return true;
}

} // namespace tw
