#pragma once

#include "dialogs/program_scan.h"
#include "monitor/add_wizard_lists.h"
#include "skin/base_form.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QTimer;

namespace tw {

class TDesktop;
class TImageButton;
class TOptions;

// The three-page wizard in which sites are typed in and applications are found by a scan,
// typed in or browsed for, and listed items can be unchecked to remove them. It changes
// nothing itself: it hands back a result list of what to add, keep, deactivate or remove.
class TfrmAppSiteAddWizard : public TfrmBase {
    Q_OBJECT
  public:
    TfrmAppSiteAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                         TProgramSources sources, QWidget* parent = nullptr);
    ~TfrmAppSiteAddWizard() override;

    const TProgramScan& Scan() const { return *scan_; }
    QWidget* CurrentSheet() const { return currentSheet_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Pages and the two buttons under them.
    QWidget *pcWizard = nullptr, *tsMonitoredSites = nullptr, *tsAppProcesses = nullptr,
            *tsApps = nullptr;
    QLabel* lblPageTitle = nullptr;
    TImageButton *btnBack = nullptr, *btnNext = nullptr;
    // Sites.
    QLabel *lblURL = nullptr, *lblTag = nullptr, *lblSitesName = nullptr, *lblSitesType = nullptr;
    QLineEdit *edURL = nullptr, *edTag = nullptr;
    TImageButton* btnAdd = nullptr;
    QListWidget* lbxSites = nullptr;
    // Scanning.
    QLabel *lblScanInfo = nullptr, *lblScanType = nullptr, *lblFilter = nullptr,
           *lblAppInfo = nullptr, *lblScanName = nullptr, *lblScanType2 = nullptr;
    QComboBox* cbxScanningAlghorithm = nullptr;
    TImageButton* btnScan = nullptr;
    QLineEdit* edtFilter = nullptr;
    QProgressBar* ggScan = nullptr;
    QListWidget* lbxAppProcesses = nullptr;
    QPlainTextEdit* mmAppInfo = nullptr;
    QTimer* tmrEnumFolders = nullptr;
    // By name.
    QLabel *lblApp = nullptr, *lblAppTag = nullptr, *lblAppInfoApp = nullptr,
           *lblAppsName = nullptr, *lblAppsType = nullptr;
    QLineEdit *edApp = nullptr, *edAppTag = nullptr;
    TImageButton *btnBrowse = nullptr, *btnAddApp = nullptr;
    QListWidget* lbxApps = nullptr;
    QPlainTextEdit* mmAppInfoApp = nullptr;

    // The page actions, as the buttons and keys run them.
    void btnAddClick();
    void btnAddAppClick();
    void btnBrowseClick();
    void btnScanClick();
    void StepNext();
    void StepBack();
    // Adds a typed site (mitWeb) or program (mitApp); false when refused or empty.
    bool AddTypedItem(TMonitoredItemType type, const QString& tag, const QString& name);
    // Returns false when the item was deactivated instead (its row loses the selection).
    bool SetItemChecked(QListWidget* box, int row, bool checked);

    void CreateSitesSheet();
    void CreateScanSheet();
    void CreateAppsSheet();
    void ShowPage(QWidget* sheet);
    void RefreshSites();
    void RefreshScanList();
    void RefreshAppsList();
    void ShowAppInfo(QListWidget* box, QPlainTextEdit* memo);
    // The executables running now or found by the last scan, read when first needed.
    const std::vector<std::string>& KnownPrograms();
    void FillFromRow(QListWidget* box, int row, QLineEdit* name, QLineEdit* tag);
    void DeleteSelected(QListWidget* box);
    void ScanStarted(bool complete);
    void ScanProgress();
    void ScanFinished(TScanFinds finds);
    void Finish();
    bool AskPassword();
    bool ToggleRow(QListWidget* box, int row);
    void DeleteMenu(QListWidget* box);

    TOptions& options_;
    TMonitoredList& result_;
    TAddWizardLists lists_;
    std::unique_ptr<TProgramScan> scan_;
    QWidget* currentSheet_ = nullptr;
    bool completeScan_ = false;
    qint64 scanStartedAt_ = 0;
    std::optional<std::vector<std::string>> knownPrograms_;
};

// Runs the wizard modally over the owner; the result list, which the caller owns and passes
// empty, holds the changes after Finish and stays empty after Cancel.
void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TDesktop& desktop);
// The same with other sources of programs (tests).
void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TProgramSources sources);

} // namespace tw
