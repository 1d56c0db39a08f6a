#include "ui/today_sheet.h"

#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "ui/main_window_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace tw {

TTodaySheet::TTodaySheet(QWidget* s) {
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

void TTodaySheet::ShowLimits(const TOptions& options) {
    edtTimeLimit->setText(QString::fromStdString(FormatHourMinute(options.TimeLimit())));
    edtAction->setText(QString::fromStdString(options.ExpirationActionText()));
}

} // namespace tw
