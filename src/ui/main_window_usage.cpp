// The Usage view's chart and its export.
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/usage_csv.h"
#include "ui/main_window.h"
#include "ui/usage_chart.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QStandardPaths>

namespace tw {
namespace {

// The periods of one day show a bar per item; the longer ones a bar per day.
bool IsOneDay(int periodIndex) {
    return periodIndex <= 1;
}

} // namespace

void TfrmMain::RefreshUsageChart() {
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

void TfrmMain::btnUsage_ExportClick() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = QStringLiteral("Tallywick usage %1.csv")
                             .arg(QString::fromStdString(DateToText(ClockNow())));
    QFileDialog dialog(this, tr("Export Usage"), QDir(folder).filePath(name),
                       tr("CSV files (*.csv)"));
    dialog.setObjectName(QStringLiteral("dlgUsageExport"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().first();
    // The figures as they are now, not as the view last read them.
    RefreshUsageList();
    const std::string text = UsageCsv(engine_.Logger().PeriodDays());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        ShowWarning(QStringLiteral("The usage could not be written to \"%1\": %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()),
                    QStringLiteral("Please Note"));
    }
}

} // namespace tw
