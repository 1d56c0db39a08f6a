#include "dialogs/settings_form_list.h"

#include "dialogs/add_wizard_form.h"
#include "dialogs/check_list_rows.h"
#include "dialogs/delete_confirm_form.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "items/list_changes.h"
#include "skin/base_form.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"
#include "storage/options.h"
#include "storage/pending_removals.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>

namespace tw {

namespace {

constexpr int ListWidth = 384;
constexpr int TypeWidth = 60;

} // namespace

TSettingsListPage::TSettingsListPage(QWidget* s, QWidget* window, TOptions& options,
                                     TDesktop& desktop)
    : window_(window), options_(options), desktop_(desktop) {
    lblAppsInfo = MakeText(
        s, "lblAppsInfo",
        "Add application and sites to time limit (eg example.com or a web browser). To time limit "
        "all websites, add your browsers to the list. To time limit email access, add your email "
        "websites and your email program to the list. ",
        QRect(16, 0, 448, 72));
    lblAppsName = MakeLabel(s, "lblAppsName", "Name", 26, 84);
    lblAppsType = MakeLabel(s, "lblAppsType", "Type", 22 + ListWidth - TypeWidth + 14, 84);
    lbxAppSites = MakeListBox(s, "lbxAppSites", "Sites and applications to time limit",
                              QRect(22, 110, ListWidth, 18 * 10 + 2));
    btnApp_Add =
        MakeSmallButton(s, "btnApp_Add", "+", "Add site/application", QRect(428, 106, 36, 28));
    btnApp_Delete = MakeSmallButton(s, "btnApp_Delete", QString::fromUtf8("\u2212"), "Delete",
                                    QRect(428, 140, 36, 28));
    lbxAppSites->setItemDelegate(new TCheckListDelegate(ListWidth - TypeWidth, false, window));
    connect(btnApp_Add, &TImageButton::clicked, this,
            [this] { Guarded(window_, [this] { AddClick(); }); });
    connect(btnApp_Delete, &TImageButton::clicked, this,
            [this] { Guarded(window_, [this] { DeleteClick(); }); });
    auto* insert = new QAction(QStringLiteral("Add"), lbxAppSites);
    insert->setObjectName(QStringLiteral("actAppSites_Add"));
    insert->setShortcut(Qt::Key_Insert);
    insert->setShortcutContext(Qt::WidgetShortcut);
    auto* remove = new QAction(QStringLiteral("Delete"), lbxAppSites);
    remove->setObjectName(QStringLiteral("actAppSites_Delete"));
    remove->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    remove->setShortcutContext(Qt::WidgetShortcut);
    lbxAppSites->addActions({insert, remove});
    lbxAppSites->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(insert, &QAction::triggered, this,
            [this] { Guarded(window_, [this] { AddClick(); }); });
    connect(remove, &QAction::triggered, this,
            [this] { Guarded(window_, [this] { DeleteClick(); }); });
}

void TSettingsListPage::Load() {
    workingList_.AssignFiltered(&options_.Values().MonitoredList, TMonitoredItemType::mitAll,
                                nullptr);
    if (options_.Policy().PendingRemovalsShown()) {
        // Items waiting for their removal at the next daily reset show dimmed.
        for (const std::string& name : PendingRemovalNames(options_.Settings())) {
            const int index = workingList_.IndexOfName(name);
            if (index != -1) {
                workingList_.Items(index).Active = false;
            }
        }
    }
    Refresh();
}

void TSettingsListPage::SetEditable(bool editable) {
    btnApp_Add->setVisible(editable);
    btnApp_Delete->setVisible(editable);
}

void TSettingsListPage::Refresh() {
    FillListItems(*lbxAppSites, workingList_, TMonitoredItemType::mitAll);
    for (int row = 0; row < lbxAppSites->count(); ++row) {
        if (const TMonitoredItem* item = RowItem(*lbxAppSites, row)) {
            lbxAppSites->item(row)->setData(
                Qt::AccessibleDescriptionRole,
                QString::fromLatin1(item->TypeName()) +
                    (item->Active ? QString() : QStringLiteral(", inactive")));
        }
    }
    TfrmBase::PadListRows(lbxAppSites);
}

void TSettingsListPage::AddClick() {
    if (!btnApp_Add->isVisible()) {
        return;
    }
    TMonitoredList changes;
    RunAddWizard(options_, workingList_, changes, window_, desktop_);
    MergeListChanges(changes, workingList_, nullptr);
    Refresh();
}

void TSettingsListPage::DeleteClick() {
    if (!btnApp_Delete->isVisible()) {
        return;
    }
    const int row = lbxAppSites->currentRow();
    const TMonitoredItem* selected = RowItem(*lbxAppSites, row);
    if (selected == nullptr || !lbxAppSites->item(row)->isSelected()) {
        return;
    }
    const QString text = lbxAppSites->item(row)->text().trimmed();
    if (text.isEmpty() || !ConfirmDelete(text, window_)) {
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
    Refresh();
}

} // namespace tw
