#pragma once

#include "dialogs/add_wizard_page.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace tw {

class TImageButton;

// The add wizard's first page: sites typed in, with the listed ones, which can be unchecked
// to remove them.
class TAddSitesPage : public TAddWizardPage {
  public:
    TAddSitesPage(QWidget* sheet, const TAddWizardParts& parts);

    void Refresh() override;
    // Adds the typed site; Enter on this page does the same.
    void Add();

  protected:
    bool SetChecked(const std::string& name, bool checked) override;

  private:
    QLabel *lblURL = nullptr, *lblTag = nullptr, *lblSitesName = nullptr, *lblSitesType = nullptr;
    QLineEdit *edURL = nullptr, *edTag = nullptr;
    TImageButton* btnAdd = nullptr;
    QListWidget* lbxSites = nullptr;
};

} // namespace tw
