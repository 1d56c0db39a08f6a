// The add wizard's window: its pages laid out, and the steps between them.
#include "dialogs/add_wizard_form.h"

#include "dialogs/access_gate.h"
#include "dialogs/add_wizard_apps.h"
#include "dialogs/add_wizard_scan.h"
#include "dialogs/add_wizard_sites.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "skin/image_button.h"
#include "storage/options.h"

#include <QKeyEvent>
#include <QLabel>

namespace tw {

namespace {

constexpr int WindowWidth = 480;

QWidget* Sheet(QWidget* pageControl, const char* name) {
    auto* sheet = new QWidget(pageControl);
    sheet->setObjectName(QString::fromLatin1(name));
    sheet->setGeometry(pageControl->rect());
    return sheet;
}

} // namespace

TfrmAppSiteAddWizard::TfrmAppSiteAddWizard(TWindowKit& kit, TOptions& options,
                                           const TMonitoredList& current, TMonitoredList& result,
                                           TProgramSources sources, QWidget* parent)
    : TfrmBase(kit, parent), options_(options), result_(result),
      lists_(options.Policy(), options.Places().ProgramBaseName(), current,
             [this] { return AskPassword(); }),
      scan_(std::make_unique<TProgramScan>(std::move(sources))), known_(*scan_, lists_) {
    setObjectName(QStringLiteral("frmAppSiteAddWizard"));
    setWindowTitle(QStringLiteral("Tallywick"));
    setFixedSize(WindowWidth, 464);

    lblPageTitle = MakeLabel(this, "lblPageTitle", QString(), 16, 42);
    QFont title = lblPageTitle->font();
    title.setPixelSize(16);
    lblPageTitle->setFont(title);
    lblPageTitle->setFixedWidth(WindowWidth - 32);

    pcWizard = new QWidget(this);
    pcWizard->setObjectName(QStringLiteral("pcWizard"));
    pcWizard->setGeometry(0, 72, WindowWidth, 342);
    pcWizard->hide();
    tsMonitoredSites = Sheet(pcWizard, "tsMonitoredSites");
    tsAppProcesses = Sheet(pcWizard, "tsAppProcesses");
    tsApps = Sheet(pcWizard, "tsApps");
    const TAddWizardParts parts{*this, lists_, *scan_, known_};
    sites_ = std::make_unique<TAddSitesPage>(tsMonitoredSites, parts);
    scanPage_ = std::make_unique<TAddScanPage>(tsAppProcesses, parts,
                                               [this](bool busy) { ScanBusy(busy); });
    apps_ = std::make_unique<TAddAppsPage>(tsApps, parts);

    btnBack = DialogButton(this, "btnBack", QStringLiteral("Cancel"), QRect(140, 422, 92, 30));
    btnNext = DialogButton(this, "btnNext", QStringLiteral("Next >"), QRect(248, 422, 92, 30));
    connect(btnBack, &TImageButton::clicked, this,
            [this] { Guarded(this, [this] { StepBack(); }); });
    connect(btnNext, &TImageButton::clicked, this,
            [this] { Guarded(this, [this] { StepNext(); }); });

    FinishCreation();
    CentreOnScreen(this);
    sites_->Refresh();
    ShowPage(tsMonitoredSites);
}

TfrmAppSiteAddWizard::~TfrmAppSiteAddWizard() {
    scan_.reset(); // a scan still running is stopped and waited for
}

bool TfrmAppSiteAddWizard::AskPassword() {
    return AskAdminPassword(options_, this);
}

void TfrmAppSiteAddWizard::ShowPage(QWidget* sheet) {
    HideSheetControls();
    ShowSheetControls(sheet);
    currentSheet_ = sheet;
    const bool sites = sheet == tsMonitoredSites;
    const bool apps = sheet == tsApps;
    lblPageTitle->setText(sites  ? QStringLiteral("Add Websites To Your Time Limit List")
                          : apps ? QStringLiteral("Add Applications By Name")
                                 : QStringLiteral("Add Applications By Scanning"));
    lblPageTitle->setAccessibleName(lblPageTitle->text());
    btnBack->SetCaption(sites ? QStringLiteral("Cancel") : QStringLiteral("< Back"));
    btnNext->SetCaption(apps ? QStringLiteral("Finish") : QStringLiteral("Next >"));
}

void TfrmAppSiteAddWizard::ScanBusy(bool busy) {
    if (busy) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
    btnBack->setEnabled(!busy);
    btnNext->setEnabled(!busy);
}

void TfrmAppSiteAddWizard::StepNext() {
    if (scan_->Running()) {
        return;
    }
    if (currentSheet_ == tsMonitoredSites) {
        scanPage_->Refresh();
        ShowPage(tsAppProcesses);
    } else if (currentSheet_ == tsAppProcesses) {
        apps_->Refresh();
        ShowPage(tsApps);
    } else {
        Finish();
    }
}

void TfrmAppSiteAddWizard::StepBack() {
    if (scan_->Running()) {
        return;
    }
    if (currentSheet_ == tsMonitoredSites) {
        close();
    } else if (currentSheet_ == tsAppProcesses) {
        sites_->Refresh();
        ShowPage(tsMonitoredSites);
    } else {
        scanPage_->Refresh();
        ShowPage(tsAppProcesses);
    }
}

void TfrmAppSiteAddWizard::Finish() {
    lists_.BuildResultList(result_);
    lists_.Finish();
    accept();
}

void TfrmAppSiteAddWizard::closeEvent(QCloseEvent* event) {
    // Closed without Finish: the person changed their mind, and nothing is handed back.
    if (result() != QDialog::Accepted) {
        scan_->Stop();
        result_.Clear();
    }
    TfrmBase::closeEvent(event);
}

void TfrmAppSiteAddWizard::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded(this, [this] {
            if (currentSheet_ == tsMonitoredSites) {
                sites_->Add();
            } else {
                StepNext();
            }
        });
        return;
    case Qt::Key_Escape:
        Guarded(this, [this] { StepBack(); });
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TProgramSources sources) {
    TfrmAppSiteAddWizard wizard(KitOf(owner), options, current, result, std::move(sources), owner);
    wizard.exec();
}

void RunAddWizard(TOptions& options, const TMonitoredList& current, TMonitoredList& result,
                  QWidget* owner, TDesktop& desktop) {
    RunAddWizard(options, current, result, owner,
                 SystemProgramSources(desktop, options.Data().Log()));
}

} // namespace tw
