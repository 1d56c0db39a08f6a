#include "ui/today_sheet.h"

#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_form.h"
#include "dialogs/delete_confirm_form.h"
#include "monitor/scan_engine.h"
#include "skin/base_form.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/item_rows.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/settings_changes.h"
#include "ui/main_window_controls.h"
#include "ui/reminder_settings.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <memory>

namespace tw {

TTodaySheet::TTodaySheet(QWidget* s, TOptions& options, TScanEngine& engine, TDesktop& desktop)
    : options_(options), engine_(engine), desktop_(desktop), window_(s->window()) {
    lblMain_Applications = BodyLabel(s, "lblMain_Applications", "Sites/Apps to time limit:", 10,
                                     202, DesignFont(13, true));
    pnlMain_Applications = MakePanel(s, "pnlMain_Applications", QRect(10, 224, 305, 158), "panel");
    MakeColumnHeader(s, "pnlApp_Name", "lblApp_Name", "Name", 10, 224, NameColumnWidth,
                     &pnlApp_Name, &lblApp_Name);
    MakeColumnHeader(s, "pnlApp_Type", "lblApp_Type", "Type", 10 + NameColumnWidth, 224,
                     TypeColumnWidth, &pnlApp_Type, &lblApp_Type);
    MakeColumnHeader(s, "pnlApp_Time", "lblApp_Time", "Time",
                     10 + NameColumnWidth + TypeColumnWidth, 224, TimeColumnWidth, &pnlApp_Time,
                     &lblApp_Time);
    btnApp_Add = MakeIconButton(s, "btnApp_Add", "add", QRect(276, 228, 14, 16),
                                QObject::tr("Add sites or applications"));
    btnApp_Delete = MakeIconButton(s, "btnApp_Delete", "delete", QRect(296, 228, 14, 16),
                                   QObject::tr("Remove the selected item"));
    lbxMain_Applications =
        MakeTimeList(s, "lbxMain_Applications", QRect(17, 247, 290, 127), 16, s->window());
    lbxMain_Applications->setAccessibleName(QStringLiteral("Sites/Apps to time limit"));

    lblAction = BodyLabel(s, "lblAction", "Action when time limit is reached:", 10, 389,
                          DesignFont(13, true));
    pnlAction = MakePanel(s, "pnlAction", QRect(10, 411, 238, 30), "combo", 8);
    edtAction = PanelEdit(s, "edtAction", QRect(18, 415, 222, 22),
                          QStringLiteral("Action when time limit is reached"));
    edtAction->setReadOnly(true);
    btnTimeEdit = MakeButton(s, "btnTimeEdit", "Edit", QRect(256, 408, 59, 32));

    lblTimeLimit = BodyLabel(s, "lblTimeLimit", "Time Limit:", 10, 453, DesignFont(13, true));
    pnlAfter = MakePanel(s, "pnlAfter", QRect(89, 447, 70, 30), "combo", 8);
    edtTimeLimit =
        PanelEdit(s, "edtTimeLimit", QRect(97, 451, 54, 22), QStringLiteral("Time Limit"));
    edtTimeLimit->setReadOnly(true);
    edtTimeLimit->setAlignment(Qt::AlignCenter);
}

void TTodaySheet::ShowLimits() {
    edtTimeLimit->setText(QString::fromStdString(FormatHourMinute(options_.TimeLimit())));
    edtAction->setText(QString::fromStdString(options_.ExpirationActionText()));
}

void TTodaySheet::Refresh() {
    RefillListItems(*lbxMain_Applications, engine_.Logger().TodayList(),
                    TMonitoredItemType::mitAll);
    TfrmBase::PadListRows(lbxMain_Applications);
}

void TTodaySheet::btnApp_DeleteClick() {
    const int row = lbxMain_Applications->currentRow();
    const TMonitoredItem* chosen = RowItem(*lbxMain_Applications, row);
    if (!chosen || !lbxMain_Applications->item(row)->isSelected()) {
        return; // nothing chosen, or a filler row
    }
    // The windows below run message loops in which the timers go on: a daily reset frees
    // today's list and a refresh rebuilds the rows. Only a copy of the item is kept across them.
    const std::unique_ptr<TMonitoredItem> item = CopyOf(*chosen);
    const QString rowText = lbxMain_Applications->item(row)->text();
    const TAdminSession session(options_.Policy());
    const TChangeDecision decision = DecideWithPassword(
        options_, window_, [this, &item] { return options_.Policy().DecideDeletion(*item); });
    if (decision == TChangeDecision::NeedsPassword) {
        return;
    }
    if (decision == TChangeDecision::AllowedTomorrow) {
        KitOf(window_).ShowWarning(
            QStringLiteral("\"%1\" will be removed from time-limit list after 4:00 AM")
                .arg(QString::fromStdString(item->Caption)),
            QStringLiteral("Please Note"));
        return;
    }
    if (!ConfirmDelete(rowText, window_)) {
        return;
    }
    TMonitoredList& today = engine_.Logger().TodayList();
    const int index = today.IndexOfName(item->Name);
    if (index < 0) {
        return; // taken off the list while the question was open
    }
    engine_.DeleteListedItem(&today.Items(index));
    lbxMain_Applications->clearSelection();
    Refresh();
}

bool TTodaySheet::EditLimits() {
    if (!MayBeginChange(options_, window_) || !ExecuteReminderSettings(options_, window_)) {
        return false;
    }
    options_.Save();
    ShowLimits();
    return true;
}

void TTodaySheet::AddThroughWizard(QWidget* owner, TMonitoredList& changes) {
    if (!MayBeginChange(options_, owner)) {
        return;
    }
    RunAddWizard(options_, options_.Values().MonitoredList, changes, owner, desktop_);
    ApplyListChanges(changes);
    changes.Clear();
}

void TTodaySheet::ApplyListChanges(const TMonitoredList& changes) {
    if (tw::ApplyListChanges(options_, changes, &engine_.Logger().TodayList())) {
        Refresh();
    }
}

} // namespace tw
