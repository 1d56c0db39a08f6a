#include "dialogs/add_wizard_scan.h"

#include "base/scope_exit.h"
#include "dialogs/check_list_rows.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "dialogs/program_scan.h"
#include "monitor/add_wizard_lists.h"
#include "skin/base_form.h"
#include "skin/image_button.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace tw {

TAddScanPage::TAddScanPage(QWidget* s, const TAddWizardParts& parts,
                           std::function<void(bool)> onBusy)
    : TAddWizardPage(parts), onBusy_(std::move(onBusy)) {
    lblScanInfo = MakeText(s, "lblScanInfo",
                           "(Optional) Add Apps To Time Limit. This Scan Will\nTake A Few Minutes "
                           "Or You Can Skip It And Choose A File At The Next Step.",
                           QRect(16, 0, 448, 36));
    PlainFont(lblScanInfo);
    lblScanType = MakeLabel(s, "lblScanType", "Choose Scan Type:", 16, 54);
    cbxScanningAlghorithm = MakeCombo(
        s, "cbxScanningAlghorithm", lblScanType->text(), QRect(156, 46, 206, 30),
        {QStringLiteral("Fast (gets most programs)"), QStringLiteral("Complete (far slower)")});
    btnScan = DialogButton(s, "btnScan", QStringLiteral("Scan"), QRect(370, 46, 94, 30));
    connect(btnScan, &TImageButton::clicked, this,
            [this] { Guarded(&parts_.window, [this] { ScanClick(); }); });
    lblFilter = MakeLabel(s, "lblFilter", "Filter", 16, 92);
    edtFilter = MakeEdit(s, "edtFilter", lblFilter->text(), QRect(156, 84, 308, 30));
    connect(edtFilter, &QLineEdit::textEdited, this,
            [this] { Guarded(&parts_.window, [this] { Refresh(); }); });
    ggScan = new QProgressBar(s);
    ggScan->setObjectName(QStringLiteral("ggScan"));
    ggScan->setAccessibleName(QStringLiteral("Progress"));
    ggScan->setGeometry(160, 88, 300, 22);
    ggScan->setRange(0, 100);
    ggScan->hide();
    lbxAppProcesses = CheckList(s, "lbxAppProcesses", "Programs found", 122, 18 * 7 + 2,
                                &lblScanName, &lblScanType2, "lblScanName", "lblScanType2");
    connect(lbxAppProcesses, &QListWidget::currentRowChanged, this,
            [this] { ShowAppInfo(lbxAppProcesses, mmAppInfo); });
    lblAppInfo = MakeLabel(s, "lblAppInfo", "Application Info", 16, 282);
    mmAppInfo = InfoMemo(s, "mmAppInfo", QRect(22, 302, AddWizardListWidth, 36));

    // The window's, where it has always been found.
    tmrEnumFolders = new QTimer(&parts_.window);
    tmrEnumFolders->setObjectName(QStringLiteral("tmrEnumFolders"));
    tmrEnumFolders->setInterval(50);
    connect(tmrEnumFolders, &QTimer::timeout, this, [this] { ScanProgress(); });
}

void TAddScanPage::Refresh() {
    parts_.lists.BuildScanView(edtFilter->text().toStdString());
    ShowCheckList(*lbxAppProcesses, parts_.lists.ScanView, TMonitoredItemType::mitApp);
    ShowAppInfo(lbxAppProcesses, mmAppInfo);
}

bool TAddScanPage::SetChecked(const std::string& name, bool checked) {
    return parts_.lists.SetAppChecked(name, checked);
}

void TAddScanPage::ScanClick() {
    if (parts_.scan.Running()) {
        parts_.scan.Stop();
        return;
    }
    completeScan_ = cbxScanningAlghorithm->currentIndex() == 1;
    parts_.lists.StartScan();
    ScanStarted();
    parts_.scan.Start(completeScan_, this,
                      [this](TScanFinds finds) { ScanFinished(std::move(finds)); });
}

void TAddScanPage::ScanStarted() {
    onBusy_(true);
    lbxAppProcesses->clear();
    lbxAppProcesses->setEnabled(false);
    lblFilter->setText(QStringLiteral("Progress"));
    edtFilter->hide();
    ggScan->setValue(0);
    ggScan->setFormat(completeScan_ ? QStringLiteral("Counting folders") : QStringLiteral("%p%"));
    ggScan->show();
    btnScan->SetCaption(QStringLiteral("Stop"));
    btnScan->setAccessibleName(QStringLiteral("Stop"));
    cbxScanningAlghorithm->setEnabled(false);
    scanStartedAt_ = QDateTime::currentMSecsSinceEpoch();
    tmrEnumFolders->start();
}

void TAddScanPage::ScanProgress() {
    // The bar creeps to 15 in the first seconds, while nothing can be counted yet; the walk
    // fills the rest as it enters the folders it counted.
    const int creep = static_cast<int>(
        std::min<qint64>(15, (QDateTime::currentMSecsSinceEpoch() - scanStartedAt_) / 1000));
    const int total = parts_.scan.FolderTotal();
    const int count = parts_.scan.FolderCount();
    if (!completeScan_) {
        ggScan->setValue(creep);
    } else if (total == 0) {
        ggScan->setValue(creep);
        ggScan->setFormat(QStringLiteral("Counting folders: %1").arg(count));
    } else {
        ggScan->setValue(std::min(100, 15 + static_cast<int>(count * 85LL / total)));
        ggScan->setFormat(QStringLiteral("%1 of %2 folders, %3 found")
                              .arg(std::min(count, total))
                              .arg(total)
                              .arg(parts_.scan.ProgramCount()));
    }
}

void TAddScanPage::ScanFinished(TScanFinds finds) {
    tmrEnumFolders->stop();
    Guarded(&parts_.window, [&] {
        // Whatever happened, the page is put back first.
        const TScopeExit restore([this] {
            lbxAppProcesses->setEnabled(true);
            btnScan->SetCaption(QStringLiteral("Scan"));
            btnScan->setAccessibleName(QStringLiteral("Scan"));
            cbxScanningAlghorithm->setEnabled(true);
            ggScan->hide();
            lblFilter->setText(QStringLiteral("Filter"));
            edtFilter->show();
            onBusy_(false);
        });
        if (finds.failure) {
            std::rethrow_exception(finds.failure);
        }
        parts_.lists.AddScanLines(finds.programs);
        parts_.lists.AddScanLines(finds.running);
        Refresh();
        ggScan->setValue(100);
    });
}

} // namespace tw
