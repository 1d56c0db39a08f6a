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
#include "storage/access.h"
#include "storage/date_format.h"
#include "storage/expiration_action.h"
#include "storage/options.h"
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
    if (TOptions::PasswordGuardsSettings()) {
        SetUpLogonPage();
    }
    ShowAllowToggle(firstRun_);
    LoadPages();
    LoadStartAtLogin();
    if (firstRun_ && !TOptions::PasswordGuardsSettings()) {
        // The very first settings are the person's own decision, not a change of the day.
        options_.AdminAccess = true;
    }
    ShowPage(VisibleSheets().first());
    return exec() == QDialog::Accepted;
}

void TfrmSettings::LoadPages() {
    LoadExpirationPage();
    LoadListPage();
    LoadReminderPage();
}

void TfrmSettings::LoadExpirationPage() {
    loadedSeconds_ = options_.ShownTimeLimitSeconds();
    loadedAction_ = ExpirationActionIndex(options_.ShownExpirationAction());
    medTimeLimit->setText(QString::fromStdString(FormatHourMinute(loadedSeconds_ / SecondsPerDay)));
    cbxExpirationAction->setCurrentIndex(loadedAction_);
}

void TfrmSettings::LoadListPage() {
    CopyList(options_.MonitoredList, workingList_);
    if (!TOptions::PasswordGuardsSettings()) {
        // Items waiting for their removal at the next daily reset show dimmed.
        for (const std::string& name : options_.PendingRemovalNames()) {
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
        ReminderChangePeriodIndex(options_.ReminderChangePeriod));
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
        EnableGuardedControls(
            firstRun_ || options_.AdminAccess ||
            (edtStart_Password->text().isEmpty() && options_.AllowUserToChangeSettings));
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
    const int level = options_.AccessLevel();
    const int index = workingList_.IndexOfName(selected->Name);
    if (level == alNone || index == -1) {
        return;
    }
    if (level == alUser) {
        // Here a user only deactivates: the item leaves the list at the next daily reset.
        workingList_.Items(index).Active = false;
        lbxAppSites->clearSelection();
    } else {
        workingList_.Delete(index);
    }
    RefreshList();
}

void TfrmSettings::Apply() {
    const bool passwordTyped = !edtStart_Password->text().isEmpty();
    if (firstRun_ ||
        (passwordTyped && options_.CheckPassword(edtStart_Password->text().toStdString()))) {
        options_.AllowUserToChangeSettings = AllowToggleOn();
    }
    options_.ApplyLimitAndAction(
        static_cast<int>(
            std::lround(TextToTimeLimit(medTimeLimit->text().toStdString()) * SecondsPerDay)),
        ExpirationActionFromIndex(cbxExpirationAction->currentIndex())
            .value_or(TExpirationAction::ReminderOnly),
        loadedSeconds_,
        ExpirationActionFromIndex(loadedAction_).value_or(TExpirationAction::ReminderOnly));
    // Items deactivated here leave the list at the next daily reset; items wanted again stay.
    for (int i = 0; i < workingList_.Count(); ++i) {
        const TMonitoredItem& item = workingList_.Items(i);
        const int before = options_.MonitoredList.IndexOfName(item.Name);
        const bool wasActive = before == -1 || options_.MonitoredList.Items(before).Active;
        if (wasActive && !item.Active) {
            options_.RecordPendingRemoval(item);
        } else if (!wasActive && item.Active) {
            options_.CancelPendingRemoval(item);
        }
    }
    CopyList(workingList_, options_.MonitoredList);
    for (int part = 0; part < 3; ++part) {
        options_.SetReminder(part, texts_[static_cast<std::size_t>(part)]);
    }
    options_.ReminderChangePeriod =
        ReminderChangePeriodFromIndex(cbReminderChangePeriod->currentIndex());
    if (StartAtLoginAvailable() && chkStartAtLogin->isChecked() != StartsAtLogin()) {
        SetStartAtLogin(chkStartAtLogin->isChecked(), options_.Places().programPath);
    }
    if (TOptions::PasswordGuardsSettings() && passwordTyped) {
        options_.SetPassword(edtStart_Password->text().toStdString());
    }
    const bool saved = options_.Save();
    options_.AdminAccess = false;
    if (!saved) {
        // What was chosen is in force; the next regular save tries again.
        ShowWarning(QStringLiteral("Your settings could not be saved"),
                    QStringLiteral("Please Note"));
    }
    accept();
}

bool ShowFirstRunSettings(TOptions& options, TDesktop& desktop) {
    if (options.IsNotFirstRun || options.LoadFailed()) {
        return false;
    }
    options.IsNotFirstRun = true;
    TfrmSettings wizard(options, desktop);
    wizard.ShowSettingsWizard(true);
    return true;
}

} // namespace tw
