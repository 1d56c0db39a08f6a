#include "ui/usage_view.h"

#include "monitor/scan_engine.h"
#include "skin/base_form.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/item_rows.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/usage_csv.h"
#include "ui/main_window_controls.h"
#include "ui/usage_chart.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QSaveFile>
#include <QStandardPaths>

namespace tw {
namespace {

// The periods of one day show a bar per item; the longer ones a bar per day.
bool IsOneDay(int periodIndex) {
    return periodIndex <= 1;
}

} // namespace

TUsageView::TUsageView(QWidget* s, TScanEngine& engine, const TOptions& options)
    : engine_(engine), options_(options) {
    const TSkinnedCombo period = SkinnedCombo(
        s, "pnlUsage_Period", "cbxUsage_Period", "btnComboUsagePeriod", QRect(10, 10, 160, 28),
        {"Today", "Last 24 Hours", "Last 7 Days", "Last 14 Days", "Last 30 Days", "Last 3 months"},
        QStringLiteral("Usage period"));
    pnlUsage_Period = period.panel;
    cbxUsage_Period = period.combo;
    btnComboUsagePeriod = period.arrow;
    btnUsage_Export =
        MakeButton(s, "btnUsage_Export", QStringLiteral("Export\u2026"), QRect(230, 8, 85, 32));
    // The chart over the table, which keeps the same figures in rows.
    chtUsage = MakeNamed<TUsageChart>(s, "chtUsage");
    chtUsage->setGeometry(10, 46, 305, 150);
    chtUsage->setAccessibleName(QStringLiteral("Usage chart"));
    constexpr int Top = 226;
    lblUsage_Applications =
        BodyLabel(s, "lblUsage_Applications", "Time spent on these applications/websites:", 10,
                  Top - 22, DesignFont(13, true));
    pnlUsage_Applications =
        MakePanel(s, "pnlUsage_Applications", QRect(10, Top, 305, 490 - Top), "panel");
    MakeColumnHeader(s, "pnlHeader_Name", "lblHeader_Name", "Name", 10, Top, NameColumnWidth,
                     &pnlHeader_Name, &lblHeader_Name);
    MakeColumnHeader(s, "pnlHeader_Type", "lblHeader_Type", "Type", 10 + NameColumnWidth, Top,
                     TypeColumnWidth, &pnlHeader_Type, &lblHeader_Type);
    MakeColumnHeader(s, "pnlHeader_Time", "lblHeader_Time", "Time",
                     10 + NameColumnWidth + TypeColumnWidth, Top, TimeColumnWidth, &pnlHeader_Time,
                     &lblHeader_Time);
    lbxUsage_Applications = MakeTimeList(s, "lbxUsage_Applications",
                                         QRect(17, Top + 24, 291, 483 - Top - 24), 13, s->window());
    lbxUsage_Applications->setAccessibleName(
        QStringLiteral("Time spent on these applications/websites"));
}

void TUsageView::Refresh() {
    const TDateTime to = engine_.DayNow();
    const TDateTime from = UsagePeriodStart(cbxUsage_Period->currentIndex(), to);
    TOnlineTimeApplicationLogger& logger = engine_.Logger();
    // The rows keep pointing into the period list the load frees, until the refill below:
    // nothing paints or reads them in between, and the refill reads only their keys.
    logger.PeriodListLoad(false, to, from);
    RefillListItems(*lbxUsage_Applications, logger.PeriodList(), TMonitoredItemType::mitAll);
    TfrmBase::PadListRows(lbxUsage_Applications);
    RefreshChart();
}

void TUsageView::RefreshChart() {
    TOnlineTimeApplicationLogger& logger = engine_.Logger();
    const int period = cbxUsage_Period->currentIndex();
    if (IsOneDay(period)) {
        chtUsage->SetBars(ItemBars(logger.PeriodList()), 0);
        return;
    }
    const TDateTime now = engine_.DayNow();
    chtUsage->SetBars(DailyBars(logger.PeriodDays(), UsagePeriodStart(period, now), now, now),
                      options_.Values().TimeLimitSeconds);
}

void TUsageView::Export() {
    QWidget* owner = chtUsage->window();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = QStringLiteral("Tallywick usage %1.csv")
                             .arg(QString::fromStdString(DateToText(options_.Clock().Now())));
    QFileDialog dialog(owner, QObject::tr("Export Usage"), QDir(folder).filePath(name),
                       QObject::tr("CSV files (*.csv)"));
    dialog.setObjectName(QStringLiteral("dlgUsageExport"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().first();
    // The figures as they are now, not as the view last read them.
    Refresh();
    const std::string text = UsageCsv(engine_.Logger().PeriodDays());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        KitOf(owner).ShowWarning(QStringLiteral("The usage could not be written to \"%1\": %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()),
                                 QStringLiteral("Please Note"));
    }
}

} // namespace tw
