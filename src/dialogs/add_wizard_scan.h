#pragma once

#include "dialogs/add_wizard_page.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QTimer;
class QWidget;

namespace tw {

class TImageButton;
struct TScanFinds;

// The add wizard's scan page: the Fast or Complete scan with its progress, and the programs
// it found, filtered by caption, to be checked for the list.
class TAddScanPage : public TAddWizardPage {
  public:
    // onBusy is told when a scan starts (true) and ends (false): the window keeps the person
    // from leaving the page meanwhile.
    TAddScanPage(QWidget* sheet, const TAddWizardParts& parts, std::function<void(bool)> onBusy);

    void Refresh() override;

  protected:
    bool SetChecked(const std::string& name, bool checked) override;

  private:
    void ScanClick();
    void ScanStarted();
    void ScanProgress();
    void ScanFinished(TScanFinds finds);

    std::function<void(bool)> onBusy_;
    bool completeScan_ = false;
    qint64 scanStartedAt_ = 0;
    QLabel *lblScanInfo = nullptr, *lblScanType = nullptr, *lblFilter = nullptr,
           *lblAppInfo = nullptr, *lblScanName = nullptr, *lblScanType2 = nullptr;
    QComboBox* cbxScanningAlghorithm = nullptr;
    TImageButton* btnScan = nullptr;
    QLineEdit* edtFilter = nullptr;
    QProgressBar* ggScan = nullptr;
    QListWidget* lbxAppProcesses = nullptr;
    QPlainTextEdit* mmAppInfo = nullptr;
    QTimer* tmrEnumFolders = nullptr;
};

} // namespace tw
