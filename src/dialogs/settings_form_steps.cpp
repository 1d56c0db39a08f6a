// The settings wizard's steps: loading the pages, the list page, the memos, and Apply.
#include "dialogs/add_wizard_form.h"
#include "dialogs/delete_confirm_form.h"
#include "dialogs/guarded.h"
#include "dialogs/settings_form.h"
#include "items/list_changes.h"
#include "platform/start_at_login.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"
#include "skin/marked_item_delegate.h"
#include "skin/pictures.h"
#include "storage/date_format.h"
#include "storage/expiration_action.h"
#include "storage/options.h"
#include "storage/pending_removals.h"
#include "storage/settings_changes.h"
#include "storage/time_limit_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include <cmath>

namespace tw {

namespace {

void CopyList(const TMonitoredList& from, TMonitoredList& to) {
    to.AssignFiltered(&from, TMonitoredItemType::mitAll, nullptr);
}

} // namespace

TfrmSettings::~TfrmSettings() = default;

bool TfrmSettings::ShowSettingsWizard(bool firstRun) {
    firstRun_ = firstRun;
    if (options_.Policy().PasswordGuardsSettings()) {
        SetUpLogonPage();
    }
    ShowAllowToggle(firstRun_);
    LoadPages();
    LoadStartAtLogin();
    options_.Policy().BeginSettingsWizard(firstRun_);
    ShowPage(VisibleSheets().first());
    return exec() == QDialog::Accepted;
}

void TfrmSettings::LoadPages() {
    LoadExpirationPage();
    LoadListPage();
    LoadReminderPage();
}

void TfrmSettings::LoadExpirationPage() {
    loadedSeconds_ = options_.Policy().ShownTimeLimitSeconds();
    loadedAction_ = ExpirationActionIndex(options_.Policy().ShownExpirationAction());
    medTimeLimit->setText(QString::fromStdString(FormatHourMinute(loadedSeconds_ / SecondsPerDay)));
    cbxExpirationAction->setCurrentIndex(loadedAction_);
}

void TfrmSettings::LoadListPage() {
    CopyList(options_.Values().MonitoredList, workingList_);
    if (options_.Policy().PendingRemovalsShown()) {
        // Items waiting for their removal at the next daily reset show dimmed.
        for (const std::string& name : PendingRemovalNames(options_.Settings())) {
            const int index = workingList_.IndexOfName(name);
            if (index != -1) {
                workingList_.Items(index).Active = false;
            }
        }
    }
    RefreshList();
}

void TfrmSettings::RefreshList() {
    FillListItems(*lbxAppSites, workingList_, TMonitoredItemType::mitAll);
    for (int row = 0; row < lbxAppSites->count(); ++row) {
        if (const TMonitoredItem* item = RowItem(*lbxAppSites, row)) {
            lbxAppSites->item(row)->setData(
                Qt::AccessibleDescriptionRole,
                QString::fromLatin1(item->TypeName()) +
                    (item->Active ? QString() : QStringLiteral(", inactive")));
        }
    }
    PadListRows(lbxAppSites);
}

void TfrmSettings::LoadStartAtLogin() {
    // Read afresh: the entry is a file the desktop's own settings may have changed.
    if (StartAtLoginAvailable()) {
        chkStartAtLogin->setChecked(StartsAtLogin());
    }
}

void TfrmSettings::LoadReminderPage() {
    cbReminderChangePeriod->setCurrentIndex(
        ReminderChangePeriodIndex(options_.Values().ReminderChangePeriod));
    for (int part = 0; part < 3; ++part) {
        texts_[static_cast<std::size_t>(part)] = options_.GetReminder(part);
    }
    const QSignalBlocker quiet(cbxReminder);
    cbxReminder->setCurrentIndex(0);
    cbxReminderChange();
}

void TfrmSettings::cbxReminderChange() {
    const int part = std::max(0, cbxReminder->currentIndex());
    const QSignalBlocker quiet(memReminder);
    memReminder->setPlainText(QString::fromStdString(texts_[static_cast<std::size_t>(part)]));
    RefreshReminderTicks();
}

void TfrmSettings::memReminderChange() {
    const int part = std::max(0, cbxReminder->currentIndex());
    texts_[static_cast<std::size_t>(part)] = memReminder->toPlainText().toStdString();
    RefreshReminderTicks();
}

void TfrmSettings::RefreshReminderTicks() {
    // A part whose memo holds more than blanks carries a tick, at the right as in the main
    // window's selector.
    for (int part = 0; part < 3; ++part) {
        const bool filled =
            !QString::fromStdString(texts_[static_cast<std::size_t>(part)]).trimmed().isEmpty();
        cbxReminder->setItemData(part, filled, MarkedRole);
    }
}

void TfrmSettings::EnableGuardedControls(bool usable) {
    cbxExpirationAction->setEnabled(usable);
    medTimeLimit->setEnabled(usable);
    btnApp_Add->setVisible(usable);
    btnApp_Delete->setVisible(usable);
}

void TfrmSettings::StepNext() {
    if (currentSheet_ == tsLogon) {
        const bool check = firstRun_ || !edtStart_Password->text().isEmpty();
        if (check && !ValidateLogonPage()) {
            return;
        }
    }
    if (currentSheet_ == tsExpiration && !ValidateTimeLimit(medTimeLimit)) {
        return;
    }
    if (currentSheet_ == tsLogon) {
        LoadPages();
        EnableGuardedControls(options_.Policy().GuardedControlsUsable(
            firstRun_, !edtStart_Password->text().isEmpty()));
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
        Guarded([this] { RestoreAppearance(); });
    }
    TfrmBase::closeEvent(event);
}

void TfrmSettings::keyPressEvent(QKeyEvent* event) {
    // The memo keeps its Enter for new lines; it never reaches here.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded([this] { StepNext(); });
        return;
    case Qt::Key_Escape:
        Guarded([this] { StepBack(); });
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

void TfrmSettings::btnAddClick() {
    if (!btnApp_Add->isVisible()) {
        return;
    }
    TMonitoredList changes;
    RunAddWizard(options_, workingList_, changes, this, desktop_);
    MergeListChanges(changes, workingList_, nullptr);
    RefreshList();
}

void TfrmSettings::btnDeleteClick() {
    if (!btnApp_Delete->isVisible()) {
        return;
    }
    const int row = lbxAppSites->currentRow();
    const TMonitoredItem* selected = RowItem(*lbxAppSites, row);
    if (selected == nullptr || !lbxAppSites->item(row)->isSelected()) {
        return;
    }
    const QString text = lbxAppSites->item(row)->text().trimmed();
    if (text.isEmpty() || !ConfirmDelete(text, this)) {
        return;
    }
    const TItemDeletion right = options_.Policy().DeletionRight();
    const int index = workingList_.IndexOfName(selected->Name);
    if (right == TItemDeletion::Nothing || index == -1) {
        return;
    }
    if (right == TItemDeletion::Deactivated) {
        // The item leaves the list at the next daily reset.
        workingList_.Items(index).Active = false;
        lbxAppSites->clearSelection();
    } else {
        workingList_.Delete(index);
    }
    RefreshList();
}

void TfrmSettings::Apply() {
    TChosenSettings chosen;
    chosen.firstRun = firstRun_;
    chosen.password = edtStart_Password->text().toStdString();
    chosen.allowUserToChange = AllowToggleOn();
    chosen.timeLimitSeconds = static_cast<int>(
        std::lround(TextToTimeLimit(medTimeLimit->text().toStdString()) * SecondsPerDay));
    chosen.action = ExpirationActionFromIndex(cbxExpirationAction->currentIndex())
                        .value_or(TExpirationAction::ReminderOnly);
    chosen.shownTimeLimitSeconds = loadedSeconds_;
    chosen.shownAction =
        ExpirationActionFromIndex(loadedAction_).value_or(TExpirationAction::ReminderOnly);
    chosen.list = &workingList_;
    chosen.reminders = texts_;
    chosen.reminderChangePeriod =
        ReminderChangePeriodFromIndex(cbReminderChangePeriod->currentIndex());
    if (StartAtLoginAvailable() && chkStartAtLogin->isChecked() != StartsAtLogin()) {
        SetStartAtLogin(chkStartAtLogin->isChecked(), options_.Places().programPath);
    }
    if (!ApplyChosenSettings(options_, chosen)) {
        // What was chosen is in force; the next regular save tries again.
        ShowWarning(QStringLiteral("Your settings could not be saved"),
                    QStringLiteral("Please Note"));
    }
    accept();
}

bool ShowFirstRunSettings(TOptions& options, TDesktop& desktop) {
    if (!BeginFirstRun(options)) {
        return false;
    }
    TfrmSettings wizard(options, desktop);
    wizard.ShowSettingsWizard(true);
    return true;
}

} // namespace tw
