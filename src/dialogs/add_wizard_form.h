#pragma once

#include "dialogs/add_wizard_page.h"
#include "dialogs/program_scan.h"
#include "monitor/add_wizard_lists.h"
#include "skin/base_form.h"

#include <memory>

class QLabel;

namespace tw {

class TAddAppsPage;
class TAddScanPage;
class TAddSitesPage;
class TDesktop;
class TImageButton;
class TOptions;

// The three-page wizard in which sites are typed in and applications are found by a scan,
// typed in or browsed for, and listed items can be unchecked to remove them. It changes
// nothing itself: it hands back a result list of what to add, keep, deactivate or remove.
// The window lays the pages out and steps through them; each page owns its controls and
// what they do.
class TfrmAppSiteAddWizard : public TfrmBase {
    Q_OBJECT
  public:
    TfrmAppSiteAddWizard(TWindowKit& kit, TOptions& options, const TMonitoredList& current,
                         TMonitoredList& result, TProgramSources sources,
                         QWidget* parent = nullptr);
    ~TfrmAppSiteAddWizard() override;

    const TProgramScan& Scan() const { return *scan_; }
    QWidget* CurrentSheet() const { return currentSheet_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget *pcWizard = nullptr, *tsMonitoredSites = nullptr, *tsAppProcesses = nullptr,
            *tsApps = nullptr;
    QLabel* lblPageTitle = nullptr;
    TImageButton *btnBack = nullptr, *btnNext = nullptr;

    void ShowPage(QWidget* sheet);
    void StepNext();
    void StepBack();
    void Finish();
    bool AskPassword();
    // While a scan runs the person stays on its page.
    void ScanBusy(bool busy);

    TOptions& options_;
    TMonitoredList& result_;
    TAddWizardLists lists_;
    std::unique_ptr<TProgramScan> scan_;
    TKnownPrograms known_;
    std::unique_ptr<TAddSitesPage> sites_;
    std::unique_ptr<TAddScanPage> scanPage_;
    std::unique_ptr<TAddAppsPage> apps_;
    QWidget* currentSheet_ = nullptr;
};

// Runs the wizard modally over the owner; the result list, which the caller owns and passes
// empty, holds the changes after Finish and stays empty after Cancel.
void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TDesktop& desktop);
// The same with other sources of programs (tests).
void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TProgramSources sources);

} // namespace tw
