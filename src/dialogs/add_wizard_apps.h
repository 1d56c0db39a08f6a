#pragma once

#include "dialogs/add_wizard_page.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace tw {

class TImageButton;

// The add wizard's last page: programs typed in by file name or path, or browsed for, with
// the listed ones and those chosen from the scan.
class TAddAppsPage : public TAddWizardPage {
  public:
    TAddAppsPage(QWidget* sheet, const TAddWizardParts& parts);

    void Refresh() override;

  protected:
    bool SetChecked(const std::string& name, bool checked) override;

  private:
    void Add();
    void Browse();

    QLabel *lblApp = nullptr, *lblAppTag = nullptr, *lblAppInfoApp = nullptr,
           *lblAppsName = nullptr, *lblAppsType = nullptr;
    QLineEdit *edApp = nullptr, *edAppTag = nullptr;
    TImageButton *btnBrowse = nullptr, *btnAddApp = nullptr;
    QListWidget* lbxApps = nullptr;
    QPlainTextEdit* mmAppInfoApp = nullptr;
};

} // namespace tw
