// The add wizard's pages and controls.
#include "dialogs/add_wizard_form.h"

#include "dialogs/check_list_rows.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "platform/file_names.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/options.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

namespace tw {

namespace {

constexpr int WindowWidth = 480;
constexpr int ListWidth = 436;
constexpr int TypeWidth = 56;
constexpr int NameWidth = ListWidth - TypeWidth - TCheckListDelegate::CheckWidth;

QWidget* Sheet(QWidget* pageControl, const char* name) {
    auto* sheet = new QWidget(pageControl);
    sheet->setObjectName(QString::fromLatin1(name));
    sheet->setGeometry(pageControl->rect());
    return sheet;
}

// A list of items with check marks and the titles of its two columns above it.
QListWidget* CheckList(QWidget* sheet, const char* name, const QString& accessibleName, int top,
                       int height, QLabel** nameTitle, QLabel** typeTitle, const char* nameLabel,
                       const char* typeLabel, QObject* owner) {
    *nameTitle = MakeLabel(sheet, nameLabel, QStringLiteral("Name"), 24, top);
    *typeTitle = MakeLabel(sheet, typeLabel, QStringLiteral("Type"), 22 + NameWidth + 14, top);
    QListWidget* box =
        MakeListBox(sheet, name, accessibleName, QRect(22, top + 22, ListWidth, height));
    box->setItemDelegate(new TCheckListDelegate(NameWidth, true, owner));
    return box;
}

QPlainTextEdit* InfoMemo(QWidget* sheet, const char* name, const QRect& place) {
    auto* panel = new TImagePanel(sheet);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(8);
    panel->SetSideHeight(8);
    panel->setGeometry(place.adjusted(-6, -4, 6, 4));
    auto* memo = new QPlainTextEdit(sheet);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setAccessibleName(QStringLiteral("Application Info"));
    memo->setGeometry(place);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setStyleSheet(QStringLiteral("background: transparent;"));
    QPalette colours = memo->palette();
    colours.setColor(QPalette::Text, TfrmBase::DesignFontColor);
    memo->setPalette(colours);
    return memo;
}

// Long explanations in a lighter type, so that they keep to their lines.
void PlainFont(QLabel* label) {
    QFont plain = label->font();
    plain.setPixelSize(12);
    plain.setBold(false);
    label->setFont(plain);
}

} // namespace

TfrmAppSiteAddWizard::TfrmAppSiteAddWizard(TOptions& options, const TMonitoredList& current,
                                           TMonitoredList& result, TProgramSources sources,
                                           QWidget* parent)
    : TfrmBase(parent), options_(options), result_(result),
      lists_(options.Policy(), options.Places().ProgramBaseName(), current,
             [this] { return AskPassword(); }),
      scan_(std::make_unique<TProgramScan>(std::move(sources))) {
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
    CreateSitesSheet();
    CreateScanSheet();
    CreateAppsSheet();

    btnBack = DialogButton(this, "btnBack", QStringLiteral("Cancel"), QRect(140, 422, 92, 30));
    btnNext = DialogButton(this, "btnNext", QStringLiteral("Next >"), QRect(248, 422, 92, 30));
    connect(btnBack, &TImageButton::clicked, this, [this] { Guarded([this] { StepBack(); }); });
    connect(btnNext, &TImageButton::clicked, this, [this] { Guarded([this] { StepNext(); }); });

    tmrEnumFolders = new QTimer(this);
    tmrEnumFolders->setObjectName(QStringLiteral("tmrEnumFolders"));
    tmrEnumFolders->setInterval(50);
    connect(tmrEnumFolders, &QTimer::timeout, this, [this] { ScanProgress(); });

    FinishCreation();
    CentreOnScreen(this);
    RefreshSites();
    ShowPage(tsMonitoredSites);
}

void TfrmAppSiteAddWizard::CreateSitesSheet() {
    QWidget* s = tsMonitoredSites;
    lblURL = MakeLabel(s, "lblURL", "Enter a site address to time limit, eg example.com:", 16, 4);
    edURL = MakeEdit(s, "edURL", lblURL->text(), QRect(16, 24, 448, 30));
    lblTag = MakeLabel(s, "lblTag", "Tag (optional):", 16, 70);
    edTag = MakeEdit(s, "edTag", lblTag->text(), QRect(134, 62, 226, 30));
    btnAdd = DialogButton(s, "btnAdd", QStringLiteral("Add"), QRect(370, 62, 94, 30));
    connect(btnAdd, &TImageButton::clicked, this, [this] { Guarded([this] { btnAddClick(); }); });
    lbxSites = CheckList(s, "lbxSites", "Sites", 104, 18 * 10 + 2, &lblSitesName, &lblSitesType,
                         "lblSitesName", "lblSitesType", this);
    WatchCheckMarks(*lbxSites, [this](int row) { return ToggleRow(lbxSites, row); });
    connect(lbxSites, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        FillFromRow(lbxSites, lbxSites->row(item), edURL, edTag);
    });
    DeleteMenu(lbxSites);
}

void TfrmAppSiteAddWizard::CreateScanSheet() {
    QWidget* s = tsAppProcesses;
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
    connect(btnScan, &TImageButton::clicked, this, [this] { Guarded([this] { btnScanClick(); }); });
    lblFilter = MakeLabel(s, "lblFilter", "Filter", 16, 92);
    edtFilter = MakeEdit(s, "edtFilter", lblFilter->text(), QRect(156, 84, 308, 30));
    connect(edtFilter, &QLineEdit::textEdited, this,
            [this] { Guarded([this] { RefreshScanList(); }); });
    ggScan = new QProgressBar(s);
    ggScan->setObjectName(QStringLiteral("ggScan"));
    ggScan->setAccessibleName(QStringLiteral("Progress"));
    ggScan->setGeometry(160, 88, 300, 22);
    ggScan->setRange(0, 100);
    ggScan->hide();
    lbxAppProcesses = CheckList(s, "lbxAppProcesses", "Programs found", 122, 18 * 7 + 2,
                                &lblScanName, &lblScanType2, "lblScanName", "lblScanType2", this);
    WatchCheckMarks(*lbxAppProcesses, [this](int row) { return ToggleRow(lbxAppProcesses, row); });
    connect(lbxAppProcesses, &QListWidget::currentRowChanged, this,
            [this] { ShowAppInfo(lbxAppProcesses, mmAppInfo); });
    lblAppInfo = MakeLabel(s, "lblAppInfo", "Application Info", 16, 282);
    mmAppInfo = InfoMemo(s, "mmAppInfo", QRect(22, 302, ListWidth, 36));
}

void TfrmAppSiteAddWizard::CreateAppsSheet() {
    QWidget* s = tsApps;
    const QString prompt =
        QStringLiteral("(Optional) Enter Filename, eg %1 Or File Address eg %2")
            .arg(QString::fromUtf8(ExampleProgramFile()), QString::fromUtf8(ExampleProgramPath()));
    lblApp = MakeLabel(s, "lblApp", prompt, 16, 4);
    PlainFont(lblApp);
    edApp = MakeEdit(s, "edApp", prompt, QRect(16, 24, 448, 30));
    lblAppTag = MakeLabel(s, "lblAppTag", "Tag (optional):", 16, 70);
    edAppTag = MakeEdit(s, "edAppTag", lblAppTag->text(), QRect(134, 62, 128, 30));
    btnBrowse = DialogButton(s, "btnBrowse", QStringLiteral("Browse"), QRect(270, 62, 94, 30));
    btnAddApp = DialogButton(s, "btnAddApp", QStringLiteral("Add"), QRect(370, 62, 94, 30));
    connect(btnBrowse, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnBrowseClick(); }); });
    connect(btnAddApp, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnAddAppClick(); }); });
    lbxApps = CheckList(s, "lbxApps", "Applications", 104, 18 * 8 + 2, &lblAppsName, &lblAppsType,
                        "lblAppsName", "lblAppsType", this);
    WatchCheckMarks(*lbxApps, [this](int row) { return ToggleRow(lbxApps, row); });
    connect(lbxApps, &QListWidget::currentRowChanged, this,
            [this] { ShowAppInfo(lbxApps, mmAppInfoApp); });
    connect(lbxApps, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        FillFromRow(lbxApps, lbxApps->row(item), edApp, edAppTag);
    });
    DeleteMenu(lbxApps);
    lblAppInfoApp = MakeLabel(s, "lblAppInfoApp", "Application Info", 16, 282);
    mmAppInfoApp = InfoMemo(s, "mmAppInfoApp", QRect(22, 302, ListWidth, 36));
}

} // namespace tw
