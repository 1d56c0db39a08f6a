// What the add wizard's pages do.
#include "base/scope_exit.h"
#include "base/text.h"
#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_form.h"
#include "dialogs/check_list_rows.h"
#include "dialogs/guarded.h"
#include "discovery/program_lines.h"
#include "items/program_match.h"
#include "platform/file_names.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace tw {

TfrmAppSiteAddWizard::~TfrmAppSiteAddWizard() {
    scan_.reset(); // a scan still running is stopped and waited for
}

bool TfrmAppSiteAddWizard::AskPassword() {
    return AskAdminPassword(options_, this);
}

void TfrmAppSiteAddWizard::ShowPage(QWidget* sheet) {
    HideSheetControls();
    ShowSheetControls(sheet);
    currentSheet_ = sheet;
    const bool sites = sheet == tsMonitoredSites;
    const bool apps = sheet == tsApps;
    lblPageTitle->setText(sites  ? QStringLiteral("Add Websites To Your Time Limit List")
                          : apps ? QStringLiteral("Add Applications By Name")
                                 : QStringLiteral("Add Applications By Scanning"));
    lblPageTitle->setAccessibleName(lblPageTitle->text());
    btnBack->SetCaption(sites ? QStringLiteral("Cancel") : QStringLiteral("< Back"));
    btnNext->SetCaption(apps ? QStringLiteral("Finish") : QStringLiteral("Next >"));
}

void TfrmAppSiteAddWizard::RefreshSites() {
    ShowCheckList(*lbxSites, lists_.SiteItems, TMonitoredItemType::mitWeb);
}

void TfrmAppSiteAddWizard::RefreshScanList() {
    lists_.BuildScanView(edtFilter->text().toStdString());
    ShowCheckList(*lbxAppProcesses, lists_.ScanView, TMonitoredItemType::mitApp);
    ShowAppInfo(lbxAppProcesses, mmAppInfo);
}

void TfrmAppSiteAddWizard::RefreshAppsList() {
    knownPrograms_.reset(); // programs may have started or ended since
    lists_.BuildAppsView();
    ShowCheckList(*lbxApps, lists_.AppsView, TMonitoredItemType::mitApp);
    ShowAppInfo(lbxApps, mmAppInfoApp);
}

void TfrmAppSiteAddWizard::StepNext() {
    if (scan_->Running()) {
        return;
    }
    if (currentSheet_ == tsMonitoredSites) {
        RefreshScanList();
        ShowPage(tsAppProcesses);
    } else if (currentSheet_ == tsAppProcesses) {
        RefreshAppsList();
        ShowPage(tsApps);
    } else {
        Finish();
    }
}

void TfrmAppSiteAddWizard::StepBack() {
    if (scan_->Running()) {
        return;
    }
    if (currentSheet_ == tsMonitoredSites) {
        close();
    } else if (currentSheet_ == tsAppProcesses) {
        RefreshSites();
        ShowPage(tsMonitoredSites);
    } else {
        RefreshScanList();
        ShowPage(tsAppProcesses);
    }
}

void TfrmAppSiteAddWizard::Finish() {
    lists_.BuildResultList(result_);
    lists_.Finish();
    accept();
}

void TfrmAppSiteAddWizard::closeEvent(QCloseEvent* event) {
    // Closed without Finish: the person changed their mind, and nothing is handed back.
    if (result() != QDialog::Accepted) {
        scan_->Stop();
        result_.Clear();
    }
    TfrmBase::closeEvent(event);
}

void TfrmAppSiteAddWizard::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded([this] {
            if (currentSheet_ == tsMonitoredSites) {
                btnAddClick();
            } else {
                StepNext();
            }
        });
        return;
    case Qt::Key_Escape:
        Guarded([this] { StepBack(); });
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

bool TfrmAppSiteAddWizard::AddTypedItem(TMonitoredItemType type, const QString& tag,
                                        const QString& name) {
    std::string typed = name.toStdString();
    // Blanks name nothing a person could mean.
    if (Trim(typed).empty()) {
        return false;
    }
    // A program is matched by the path the system runs it under, not by a link or a
    // wrapper script the person may have typed.
    if (type == TMonitoredItemType::mitApp && scan_->Sources().pathOf &&
        !IsBareProgramName(typed)) {
        typed = scan_->Sources().pathOf(typed);
    }
    const TAddOutcome outcome = lists_.AddTypedItem(type, tag.toStdString(), typed);
    if (!outcome.warning.empty()) {
        ShowWarning(QString::fromStdString(outcome.warning),
                    QString::fromStdString(outcome.warningCaption));
    }
    if (outcome.added) {
        if (type == TMonitoredItemType::mitWeb) {
            RefreshSites();
        } else {
            RefreshAppsList();
        }
    }
    return outcome.added;
}

void TfrmAppSiteAddWizard::btnAddClick() {
    if (AddTypedItem(TMonitoredItemType::mitWeb, edTag->text(), edURL->text())) {
        edURL->clear();
        edTag->clear();
    }
    edURL->setFocus();
}

void TfrmAppSiteAddWizard::btnAddAppClick() {
    if (AddTypedItem(TMonitoredItemType::mitApp, edAppTag->text(), edApp->text())) {
        edApp->clear();
        edAppTag->clear();
    }
    edApp->setFocus();
}

void TfrmAppSiteAddWizard::btnBrowseClick() {
    QFileDialog dialog(this, QStringLiteral("Choose a program"));
    dialog.setObjectName(QStringLiteral("dlgBrowse"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (const QString extension = QString::fromUtf8(ProgramFileExtension()); !extension.isEmpty()) {
        dialog.setNameFilter(QStringLiteral("Executable Files (*.%1)").arg(extension));
        dialog.setDefaultSuffix(extension);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    // Qt names files with forward slashes everywhere; a listed program is matched against
    // the path the system reports, which on Windows has backslashes.
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().first());
    const std::string path = chosen.toStdString();
    const TProgramSources& sources = scan_->Sources();
    if (!sources.isProgram(path)) {
        ShowWarning(QStringLiteral("\"%1\" is not a program, so it cannot be added to the "
                                   "time-limit list")
                        .arg(QFileInfo(chosen).fileName()),
                    QStringLiteral("Please Note"));
        return;
    }
    edApp->setText(QString::fromStdString(sources.pathOf(path)));
    edAppTag->setText(QString::fromStdString(sources.caption(path)));
}

bool TfrmAppSiteAddWizard::ToggleRow(QListWidget* box, int row) {
    bool select = true;
    Guarded([&] {
        const TMonitoredItem* item = RowItem(*box, row);
        if (item) {
            select = SetItemChecked(box, row, !item->Checked);
        }
    });
    return select;
}

bool TfrmAppSiteAddWizard::SetItemChecked(QListWidget* box, int row, bool checked) {
    const TMonitoredItem* item = RowItem(*box, row);
    if (item == nullptr) {
        return true;
    }
    const std::string name = item->Name; // the row goes when the list is shown again
    bool deactivated;
    if (box == lbxSites) {
        deactivated = lists_.SetSiteChecked(name, checked);
        RefreshSites();
    } else {
        deactivated = lists_.SetAppChecked(name, checked);
        if (box == lbxAppProcesses) {
            RefreshScanList();
        } else {
            RefreshAppsList();
        }
    }
    return !deactivated;
}

void TfrmAppSiteAddWizard::ShowAppInfo(QListWidget* box, QPlainTextEdit* memo) {
    const TMonitoredItem* item = RowItem(*box, box->currentRow());
    if (!item) {
        memo->clear();
        return;
    }
    std::string text = item->Caption + "\n" + item->Name;
    // A bare file name matches wherever the program lies, so the person is shown what it
    // reaches, and told when a typing slip leaves it reaching nothing. The box shows two
    // lines: the coverage takes the second.
    if (IsBareProgramName(item->Name)) {
        const std::vector<std::string> covered = ProgramsCovered(item->Name, KnownPrograms());
        text = item->Caption == item->Name ? item->Name : item->Caption + " (" + item->Name + ")";
        if (covered.empty()) {
            text += "\nNo running or known program has this file name now.";
        } else {
            text += "\nCovers " + covered.front();
            for (std::size_t i = 1; i < covered.size(); ++i) {
                text += ", " + covered[i];
            }
        }
    }
    memo->setPlainText(QString::fromStdString(text));
}

const std::vector<std::string>& TfrmAppSiteAddWizard::KnownPrograms() {
    if (!knownPrograms_) {
        std::vector<std::string> lines;
        if (scan_->Sources().running) {
            scan_->Sources().running(lines);
        }
        knownPrograms_.emplace();
        for (const std::string& line : lines) {
            knownPrograms_->push_back(ProgramLinePath(line));
        }
        for (int i = 0; i < lists_.ScanResults.Count(); ++i) {
            knownPrograms_->push_back(lists_.ScanResults.Items(i).Name);
        }
    }
    return *knownPrograms_;
}

void TfrmAppSiteAddWizard::FillFromRow(QListWidget* box, int row, QLineEdit* name, QLineEdit* tag) {
    const TMonitoredItem* item = RowItem(*box, row);
    if (item == nullptr) {
        return;
    }
    name->setText(QString::fromStdString(item->Name));
    tag->setText(item->Caption == item->Name ? QString() : QString::fromStdString(item->Caption));
}

void TfrmAppSiteAddWizard::DeleteMenu(QListWidget* box) {
    auto* action = new QAction(QStringLiteral("&Delete"), box);
    action->setObjectName(box->objectName() + QStringLiteral("_Delete"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    action->setShortcutContext(Qt::WidgetShortcut);
    box->addAction(action);
    box->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Each list's menu serves its own selection: the row is unchecked as by its check mark.
    connect(action, &QAction::triggered, this, [this, box] {
        Guarded([this, box] {
            const int row = box->currentRow();
            if (RowItem(*box, row) != nullptr) {
                SetItemChecked(box, row, false);
            }
        });
    });
}

// --- scanning ---

void TfrmAppSiteAddWizard::btnScanClick() {
    if (scan_->Running()) {
        scan_->Stop();
        return;
    }
    completeScan_ = cbxScanningAlghorithm->currentIndex() == 1;
    lists_.StartScan();
    ScanStarted(completeScan_);
    scan_->Start(completeScan_, this, [this](TScanFinds finds) { ScanFinished(std::move(finds)); });
}

void TfrmAppSiteAddWizard::ScanStarted(bool complete) {
    setCursor(Qt::BusyCursor);
    lbxAppProcesses->clear();
    lbxAppProcesses->setEnabled(false);
    lblFilter->setText(QStringLiteral("Progress"));
    edtFilter->hide();
    ggScan->setValue(0);
    ggScan->setFormat(complete ? QStringLiteral("Counting folders") : QStringLiteral("%p%"));
    ggScan->show();
    btnScan->SetCaption(QStringLiteral("Stop"));
    btnScan->setAccessibleName(QStringLiteral("Stop"));
    cbxScanningAlghorithm->setEnabled(false);
    btnBack->setEnabled(false);
    btnNext->setEnabled(false);
    scanStartedAt_ = QDateTime::currentMSecsSinceEpoch();
    tmrEnumFolders->start();
}

void TfrmAppSiteAddWizard::ScanProgress() {
    // The bar creeps to 15 in the first seconds, while nothing can be counted yet; the walk
    // fills the rest as it enters the folders it counted.
    const int creep = static_cast<int>(
        std::min<qint64>(15, (QDateTime::currentMSecsSinceEpoch() - scanStartedAt_) / 1000));
    const int total = scan_->FolderTotal();
    const int count = scan_->FolderCount();
    if (!completeScan_) {
        ggScan->setValue(creep);
    } else if (total == 0) {
        ggScan->setValue(creep);
        ggScan->setFormat(QStringLiteral("Counting folders: %1").arg(count));
    } else {
        ggScan->setValue(std::min(100, 15 + static_cast<int>(count * 85LL / total)));
        ggScan->setFormat(QStringLiteral("%1 of %2 folders, %3 found")
                              .arg(std::min(count, total))
                              .arg(total)
                              .arg(scan_->ProgramCount()));
    }
}

void TfrmAppSiteAddWizard::ScanFinished(TScanFinds finds) {
    tmrEnumFolders->stop();
    Guarded([&] {
        // Whatever happened, the page is put back first.
        const TScopeExit restore([this] {
            lbxAppProcesses->setEnabled(true);
            btnScan->SetCaption(QStringLiteral("Scan"));
            btnScan->setAccessibleName(QStringLiteral("Scan"));
            cbxScanningAlghorithm->setEnabled(true);
            btnBack->setEnabled(true);
            btnNext->setEnabled(true);
            ggScan->hide();
            lblFilter->setText(QStringLiteral("Filter"));
            edtFilter->show();
            unsetCursor();
        });
        if (finds.failure) {
            std::rethrow_exception(finds.failure);
        }
        lists_.AddScanLines(finds.programs);
        lists_.AddScanLines(finds.running);
        RefreshScanList();
        ggScan->setValue(100);
    });
}

void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TProgramSources sources) {
    TfrmAppSiteAddWizard wizard(options, current, result, std::move(sources), owner);
    wizard.exec();
}

void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TDesktop& desktop) {
    RunAddWizard(options, current, result, owner, SystemProgramSources(desktop));
}

} // namespace tw
