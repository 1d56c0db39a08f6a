#include "dialogs/add_wizard_sites.h"

#include "dialogs/check_list_rows.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "monitor/add_wizard_lists.h"
#include "skin/base_form.h"
#include "skin/image_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace tw {

TAddSitesPage::TAddSitesPage(QWidget* s, const TAddWizardParts& parts) : TAddWizardPage(parts) {
    lblURL = MakeLabel(s, "lblURL", "Enter a site address to time limit, eg example.com:", 16, 4);
    edURL = MakeEdit(s, "edURL", lblURL->text(), QRect(16, 24, 448, 30));
    lblTag = MakeLabel(s, "lblTag", "Tag (optional):", 16, 70);
    edTag = MakeEdit(s, "edTag", lblTag->text(), QRect(134, 62, 226, 30));
    btnAdd = DialogButton(s, "btnAdd", QStringLiteral("Add"), QRect(370, 62, 94, 30));
    connect(btnAdd, &TImageButton::clicked, this,
            [this] { Guarded(&parts_.window, [this] { Add(); }); });
    lbxSites = CheckList(s, "lbxSites", "Sites", 104, 18 * 10 + 2, &lblSitesName, &lblSitesType,
                         "lblSitesName", "lblSitesType");
    connect(lbxSites, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        FillFromRow(lbxSites, lbxSites->row(item), edURL, edTag);
    });
    DeleteMenu(lbxSites);
}

void TAddSitesPage::Refresh() {
    ShowCheckList(*lbxSites, parts_.lists.SiteItems, TMonitoredItemType::mitWeb);
}

bool TAddSitesPage::SetChecked(const std::string& name, bool checked) {
    return parts_.lists.SetSiteChecked(name, checked);
}

void TAddSitesPage::Add() {
    if (AddTypedItem(TMonitoredItemType::mitWeb, edTag->text(), edURL->text())) {
        edURL->clear();
        edTag->clear();
    }
    edURL->setFocus();
}

} // namespace tw
