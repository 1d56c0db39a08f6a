// The settings wizard's pages and controls.
#include "dialogs/settings_form.h"

#include "dialogs/check_list_rows.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "platform/start_at_login.h"
#include "skin/base_form_links.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/marked_item_delegate.h"
#include "skin/pictures.h"
#include "storage/options.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace tw {

namespace {

constexpr int WindowWidth = 480;
constexpr int ListWidth = 384;
constexpr int TypeWidth = 60;

QWidget* Sheet(QWidget* pageControl, const char* name) {
    auto* sheet = new QWidget(pageControl);
    sheet->setObjectName(QString::fromLatin1(name));
    sheet->setGeometry(pageControl->rect());
    return sheet;
}

QLabel* Picture(QWidget* parent, const char* name, const char* picture,
                const QString& accessibleName, int left, int top) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setAccessibleName(accessibleName);
    image->setPixmap(
        QPixmap::fromImage(TPicture::FromResource(QString::fromLatin1(picture)).image));
    image->setGeometry(left, top, 16, 16);
    image->setCursor(Qt::PointingHandCursor);
    return image;
}

const QStringList Percentages = {"0",  "5",  "10", "15", "20", "25", "30",
                                 "40", "50", "60", "70", "80", "90"};

} // namespace

TfrmSettings::TfrmSettings(TOptions& options, TDesktop& desktop, QWidget* parent)
    : TfrmBase(parent), options_(options), desktop_(desktop) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(WindowWidth, 440);

    lblPageTitle = MakeLabel(this, "lblPageTitle", QString(), 16, 42);
    QFont title = lblPageTitle->font();
    title.setPixelSize(16);
    lblPageTitle->setFont(title);
    lblPageTitle->setFixedWidth(WindowWidth - 32);

    pcSettings = new QWidget(this);
    pcSettings->setObjectName(QStringLiteral("pcSettings"));
    pcSettings->setGeometry(0, 72, WindowWidth, 316);
    pcSettings->hide();
    tsBackground = Sheet(pcSettings, "tsBackground");
    tsLogon = Sheet(pcSettings, "tsLogon");
    tsMonitoredList = Sheet(pcSettings, "tsMonitoredList");
    tsExpiration = Sheet(pcSettings, "tsExpiration");
    tsReminder = Sheet(pcSettings, "tsReminder");
    CreateBackgroundSheet();
    CreateLogonSheet();
    CreateListSheet();
    CreateExpirationSheet();
    CreateReminderSheet();

    btnBack = DialogButton(this, "btnBack", QStringLiteral("Cancel"), QRect(140, 398, 92, 30));
    btnNext = DialogButton(this, "btnNext", QStringLiteral("Next >"), QRect(248, 398, 92, 30));
    connect(btnBack, &TImageButton::clicked, this, [this] { Guarded([this] { StepBack(); }); });
    connect(btnNext, &TImageButton::clicked, this, [this] { Guarded([this] { StepNext(); }); });

    skins_ = EnumerateSkins(options_.Places().programFolder + "Skins");
    FinishCreation();
    CentreOnScreen(this);
    LoadAppearance();
}

void TfrmSettings::CreateBackgroundSheet() {
    QWidget* s = tsBackground;
    lblBackgroundInfo = MakeText(
        s, "lblBackgroundInfo",
        "You can customise the background using an image of your choice, or a selection of "
        "landscapes and a colour palette. You can also set the transparency of the application "
        "on your desktop.",
        QRect(16, 0, 448, 54));
    lblTextColor = MakeLabel(s, "lblTextColor", "Text Color:", 16, 76);
    cbxTextColor = MakeCombo(s, "cbxTextColor", "Text Color:", QRect(150, 68, 200, 30), {});
    lblBackground = MakeLabel(s, "lblBackground", "Background", 16, 116);
    lblColor = MakeLabel(s, "lblColor", "Color:", 32, 150);
    cbxColor = MakeCombo(s, "cbxColor", "Background color:", QRect(150, 142, 200, 30), {});
    lblImage = MakeLabel(s, "lblImage", "Image:", 32, 188);
    cbxImage = MakeCombo(s, "cbxImage", "Background image:", QRect(150, 180, 200, 30), {});
    btnBrowseImage =
        DialogButton(s, "btnBrowseImage", QStringLiteral("Browse..."), QRect(360, 180, 104, 30));
    lblTransparency = MakeLabel(s, "lblTransparency", "Transparency:", 16, 236);
    cbxTransparency =
        MakeCombo(s, "cbxTransparency", "Transparency:", QRect(150, 228, 100, 30), Percentages);

    chkStartAtLogin = new QCheckBox(QStringLiteral("Start Tallywick when I log in"), s);
    chkStartAtLogin->setObjectName(QStringLiteral("chkStartAtLogin"));
    chkStartAtLogin->setAccessibleName(chkStartAtLogin->text());
    chkStartAtLogin->setGeometry(16, 280, 300, 24);
    MakeLight(chkStartAtLogin);
    chkStartAtLogin->setVisible(StartAtLoginAvailable());
    connect(cbxTextColor, &QComboBox::activated, this,
            [this] { Guarded([this] { cbxTextColorChange(); }); });
    connect(cbxColor, &QComboBox::activated, this,
            [this] { Guarded([this] { cbxColorChange(); }); });
    connect(cbxImage, &QComboBox::activated, this,
            [this] { Guarded([this] { cbxImageChange(); }); });
    connect(cbxTransparency, &QComboBox::activated, this,
            [this] { Guarded([this] { cbxTransparencyChange(); }); });
    connect(btnBrowseImage, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnBrowseImageClick(); }); });
}

void TfrmSettings::CreateLogonSheet() {
    QWidget* s = tsLogon;
    lblStart_Description = MakeText(s, "lblStart_Description", QString(), QRect(16, 0, 448, 40));
    lblStart_Password = MakeLabel(s, "lblStart_Password", "Password:", 16, 62);
    edtStart_Password =
        MakeEdit(s, "edtStart_Password", "Password:", QRect(170, 54, 220, 30), true);
    lblStart_ConfirmPassword =
        MakeLabel(s, "lblStart_ConfirmPassword", "Confirm Password:", 16, 100);
    edtStart_ConfirmPassword =
        MakeEdit(s, "edtStart_ConfirmPassword", "Confirm Password:", QRect(170, 92, 220, 30), true);
    lblForgotPassword = MakeLink(s, "lblForgotPassword", "Forgot Password", 170, 96,
                                 [] { OpenUrl(QString::fromLatin1(LoginPage)); });
    lblStorePasswordOnline = MakeLink(s, "lblStorePasswordOnline", "Store Password Online", 170,
                                      130, [] { OpenUrl(QString::fromLatin1(LoginPage)); });
    lblNote = MakeText(s, "lblNote",
                       "Please note that you will not be able to recover a forgotten password "
                       "without storing it online.",
                       QRect(16, 156, 448, 36));
    btnChangePassword = DialogButton(s, "btnChangePassword", QStringLiteral("Change Password"),
                                     QRect(170, 126, 160, 30));
    connect(btnChangePassword, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnChangePasswordClick(); }); });
    imgAllowUserToChangeSettings_Yes =
        Picture(s, "imgAllowUserToChangeSettings_Yes", "check_on",
                QStringLiteral("Allow user to change settings: yes"), 16, 208);
    imgAllowUserToChangeSettings_No =
        Picture(s, "imgAllowUserToChangeSettings_No", "check_off",
                QStringLiteral("Allow user to change settings: no"), 16, 208);
    lblAllowUserToChangeSettings =
        MakeLink(s, "lblAllowUserToChangeSettings", "Allow user to change settings", 40, 207,
                 [this] { FlipAllowToggle(); });
    QFont plain = lblAllowUserToChangeSettings->font();
    plain.setUnderline(false);
    plain.setBold(true);
    lblAllowUserToChangeSettings->setFont(plain);
    lblAllowUserToChangeSettings->adjustSize();
    lblAllowUserToChangeSettings->setAccessibleDescription(QStringLiteral("toggle"));
    for (QLabel* image : {imgAllowUserToChangeSettings_Yes, imgAllowUserToChangeSettings_No}) {
        image->installEventFilter(this);
    }
    connect(edtStart_Password, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { edtStart_PasswordChange(); }); });
}

void TfrmSettings::CreateListSheet() {
    QWidget* s = tsMonitoredList;
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
    lbxAppSites->setItemDelegate(new TCheckListDelegate(ListWidth - TypeWidth, false, this));
    connect(btnApp_Add, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnAddClick(); }); });
    connect(btnApp_Delete, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnDeleteClick(); }); });
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
    connect(insert, &QAction::triggered, this, [this] { Guarded([this] { btnAddClick(); }); });
    connect(remove, &QAction::triggered, this, [this] { Guarded([this] { btnDeleteClick(); }); });
}

void TfrmSettings::CreateExpirationSheet() {
    QWidget* s = tsExpiration;
    lblExpirationInfo = MakeText(s, "lblExpirationInfo",
                                 "What should the application do when the time limit is reached?",
                                 QRect(16, 0, 448, 40));
    lblAction = MakeLabel(s, "lblAction", "Time up action:", 16, 58);
    cbxExpirationAction =
        MakeCombo(s, "cbxExpirationAction", "Time up action:", QRect(170, 50, 220, 30),
                  {QStringLiteral("Reminder Only"), QStringLiteral("Close Browser/App."),
                   QStringLiteral("Shutdown Computer")});
    lblTimeLimit = MakeLabel(s, "lblTimeLimit", "Daily time limit:", 16, 100);
    medTimeLimit =
        MakeEdit(s, "medTimeLimit", "Daily time limit (hours:minutes)", QRect(170, 92, 80, 30));
    medTimeLimit->setInputMask(QStringLiteral("99:99;_"));
    medTimeLimit->setAlignment(Qt::AlignCenter);
    lblHoursMinutes = MakeLabel(s, "lblHoursMinutes", "hours:minutes", 262, 100);
    lblExpirationNote =
        MakeText(s, "lblExpirationNote",
                 "Please confirm your settings before proceeding. We suggest setting reminders "
                 "initially. To block distracting sites/games/email at any time click Focus.",
                 QRect(16, 150, 448, 60));
}

void TfrmSettings::CreateReminderSheet() {
    QWidget* s = tsReminder;
    lblReminderTitle = MakeLabel(s, "lblReminderTitle", "Reminder Settings", 16, 0);
    lblReminder = MakeLabel(s, "lblReminder", "Reminder:", 16, 36);
    cbxReminder = MakeCombo(
        s, "cbxReminder", "Reminder:", QRect(120, 28, 180, 30),
        {QStringLiteral("Morning"), QStringLiteral("Afternoon"), QStringLiteral("Evening")});
    cbxReminder->setItemDelegate(new TMarkedItemDelegate(
        QPixmap::fromImage(TPicture::FromResource(QStringLiteral("check_on")).image), cbxReminder));
    auto* panel = new TImagePanel(s);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(8);
    panel->SetSideHeight(8);
    panel->setGeometry(16, 68, 448, 180);
    memReminder = new QPlainTextEdit(s);
    memReminder->setObjectName(QStringLiteral("memReminder"));
    memReminder->setAccessibleName(QStringLiteral("Reminder text"));
    memReminder->setGeometry(24, 74, 432, 168);
    memReminder->setFrameShape(QFrame::NoFrame);
    memReminder->setStyleSheet(QStringLiteral("background: transparent;"));
    QPalette dark = memReminder->palette();
    dark.setColor(QPalette::Text, DesignFontColor);
    memReminder->setPalette(dark);
    lblReminderChange = MakeLabel(s, "lblReminderChange", "Alert to change reminder:", 16, 270);
    cbReminderChangePeriod = MakeCombo(
        s, "cbReminderChangePeriod", "Alert to change reminder:", QRect(220, 262, 180, 30),
        {QStringLiteral("Never"), QStringLiteral("Daily"), QStringLiteral("Weekly"),
         QStringLiteral("Fortnightly"), QStringLiteral("Monthly")});
    connect(cbxReminder, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { cbxReminderChange(); }); });
    connect(memReminder, &QPlainTextEdit::textChanged, this,
            [this] { Guarded([this] { memReminderChange(); }); });
}

QList<QWidget*> TfrmSettings::VisibleSheets() const {
    QList<QWidget*> sheets{tsBackground};
    if (options_.Policy().PasswordGuardsSettings()) {
        sheets.append(tsLogon);
    }
    sheets.append({tsMonitoredList, tsExpiration, tsReminder});
    return sheets;
}

void TfrmSettings::ShowPage(QWidget* sheet) {
    HideSheetControls();
    ShowSheetControls(sheet);
    currentSheet_ = sheet;
    const QList<QWidget*> sheets = VisibleSheets();
    btnBack->SetCaption(sheet == sheets.first() ? QStringLiteral("Cancel")
                                                : QStringLiteral("< Back"));
    btnNext->SetCaption(sheet == sheets.last() ? QStringLiteral("Apply")
                                               : QStringLiteral("Next >"));
    const char* title = sheet == tsBackground      ? "Appearance"
                        : sheet == tsLogon         ? "Administrator Password"
                        : sheet == tsMonitoredList ? "Sites and Applications"
                        : sheet == tsExpiration    ? "Time Limit"
                                                   : "Reminders";
    lblPageTitle->setText(QString::fromLatin1(title));
    lblPageTitle->setAccessibleName(lblPageTitle->text());
}

} // namespace tw
