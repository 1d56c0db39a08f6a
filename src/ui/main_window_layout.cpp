// Building the main window's controls, menus, timers and tray icon.
#include "platform/start_at_login.h"
#include "skin/base_form_links.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"
#include "ui/main_window.h"
#include "ui/main_window_glyphs.h"
#include "ui/main_window_list_rows.h"
#include "ui/usage_chart.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tw {

namespace {

// Column widths of the list header strips; the rows draw their grid from them.
constexpr int NameColumnWidth = 171;
constexpr int TypeColumnWidth = 42;
constexpr int TimeColumnWidth = 92;

template <class T> T* Make(QWidget* parent, const char* name) {
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

TImagePanel* MakePanel(QWidget* parent, const char* name, const QRect& place, const char* picture,
                       int side = 10) {
    auto* panel = Make<TImagePanel>(parent, name);
    panel->setGeometry(place);
    panel->SetBackground(MainWindowPicture(picture));
    panel->SetSideWidth(side);
    panel->SetSideHeight(side);
    return panel;
}

TImageButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                         const QRect& place) {
    auto* button = Make<TImageButton>(parent, name);
    button->UseStandardPictures();
    button->SetSideWidth(8);
    button->SetSideHeight(8);
    button->SetCaption(caption);
    button->setFont(DesignFont(13, true));
    button->setGeometry(place);
    return button;
}

// A small picture button without a frame of its own (header and list buttons).
TImageButton* MakeIconButton(QWidget* parent, const char* name, const char* picture,
                             const QRect& place, const QString& hint) {
    auto* button = Make<TImageButton>(parent, name);
    button->SetPicture(MainWindowPicture(picture));
    button->setGeometry(place);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// A column header strip: a light panel with a dark title.
void MakeColumnHeader(QWidget* parent, const char* panelName, const char* labelName,
                      const QString& title, int left, int top, int width, TImagePanel** panel,
                      QLabel** label) {
    *panel = MakePanel(parent, panelName, QRect(left, top, width, 24), "column", 4);
    *label = BodyLabel(parent, labelName, title, left + 7, top + 5, DesignFont(11, true));
    MakeDark(*label);
}

QListWidget* MakeTimeList(QWidget* parent, const char* name, const QRect& place, int rowHeight,
                          QObject* owner) {
    auto* box = Make<QListWidget>(parent, name);
    box->setGeometry(place);
    box->setFont(DesignFont(11, true));
    box->setFrameShape(QFrame::NoFrame);
    box->setUniformItemSizes(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    box->setItemDelegate(new TTimeListDelegate(rowHeight, NameColumnWidth, TypeColumnWidth, owner));
    MakeDark(box);
    return box;
}

} // namespace

void TfrmMain::CreateHeader() {
    imgIcon->hide();
    lblCaption->hide();
    btnView = MakeIconButton(this, "btnView", "view", QRect(264, 6, 16, 16), tr("View Mode"));
    btnLinks = MakeIconButton(this, "btnLinks", "tools", QRect(284, 6, 16, 16), tr("Tools"));
    btnMinimize =
        MakeIconButton(this, "btnMinimize", "minimize", QRect(304, 6, 16, 16), tr("Minimize"));

    pnlMain_TimeOnline = MakePanel(this, "pnlMain_TimeOnline", QRect(-12, 55, 156, 28), "pill", 14);
    lblMain_TimeLink = LinkLabel(this, "lblMain_TimeLink", "Show Time to Limit", 8, 36);
    lblMain_TimeTitle =
        BodyLabel(this, "lblMain_TimeTitle", "Time on List:", 8, 61, DesignFont(13, true));
    MakeDark(lblMain_TimeTitle);
    lblMain_Time = BodyLabel(this, "lblMain_Time", "02:25", 100, 61, DesignFont(13, true));
    MakeDark(lblMain_Time);
    btnFocus = MakeButton(this, "btnFocus", "Focus", QRect(227, 53, 85, 32));

    pnlMain_FocusTime = MakePanel(this, "pnlMain_FocusTime", QRect(180, 55, 156, 28), "pill", 14);
    lblMain_FocusTimeTitle =
        BodyLabel(this, "lblMain_FocusTimeTitle", "Block Started:", 188, 61, DesignFont(13, true));
    MakeDark(lblMain_FocusTimeTitle);
    lblMain_FocusTime =
        BodyLabel(this, "lblMain_FocusTime", "00:00", 289, 61, DesignFont(13, true));
    MakeDark(lblMain_FocusTime);
    lblMain_FocusModeTimeLink =
        LinkLabel(this, "lblMain_FocusModeTimeLink", "Show Block End Time", 207, 36);
    lblMain_FocusModeTimeLink->setAlignment(Qt::AlignRight);
    for (QWidget* control :
         std::initializer_list<QWidget*>{(pnlMain_FocusTime), lblMain_FocusTimeTitle,
                                         lblMain_FocusTime, lblMain_FocusModeTimeLink}) {
        control->hide();
    }

    btnBack = MakeButton(this, "btnBack", "< Back", QRect(83, 589, 85, 32));
    btnNext = MakeButton(this, "btnNext", "Next >", QRect(179, 589, 85, 32));

    // The page control only carries the sheets; their controls are shown on the window.
    pcMain = Make<QWidget>(this, "pcMain");
    pcMain->setGeometry(1, 92, 319, 600);
    pcMain->hide();
    tsMain = Make<QWidget>(pcMain, "tsMain");
    tsReminder = Make<QWidget>(pcMain, "tsReminder");
    tsUsage = Make<QWidget>(pcMain, "tsUsage");
}

void TfrmMain::CreateMainSheet() {
    QWidget* s = tsMain;
    lblReminder = BodyLabel(s, "lblReminder", "Things to do this:", 10, 15, DesignFont(13, true));
    const TSkinnedCombo dayPart = SkinnedCombo(
        s, "pnlReminderCombo", "cbxReminder", "btnReminderCombo", QRect(123, 9, 130, 28),
        {"Morning", "Afternoon", "Evening"}, QStringLiteral("Things to do this"));
    pnlReminderCombo = dayPart.panel;
    cbxReminder = dayPart.combo;
    btnReminderCombo = dayPart.arrow;
    pnlReminder = MakePanel(s, "pnlReminder", QRect(10, 46, 305, 147), "panel", 10);
    mmReminder = MemoBox(s, "mmReminder", QRect(17, 53, 290, 132), QStringLiteral("Things to do"));

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
                                tr("Add sites or applications"));
    btnApp_Delete = MakeIconButton(s, "btnApp_Delete", "delete", QRect(296, 228, 14, 16),
                                   tr("Remove the selected item"));
    lbxMain_Applications =
        MakeTimeList(s, "lbxMain_Applications", QRect(17, 247, 290, 127), 16, this);
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

void TfrmMain::CreateReminderSheet() {
    QWidget* s = tsReminder;
    const struct {
        const char *label, *panel, *memo, *title, *purpose;
        int top;
        QLabel** labelField;
        TImagePanel** panelField;
        QPlainTextEdit** memoField;
    } sections[] = {
        {"lblReminderMorning", "pnlReminderMorning", "mmReminderMorning",
         "This Morning:", "Things to do this morning", 10, &lblReminderMorning, &pnlReminderMorning,
         &mmReminderMorning},
        {"lblReminderAfternoon", "pnlReminderAfternoon", "mmReminderAfternoon",
         "This Afternoon:", "Things to do this afternoon", 170, &lblReminderAfternoon,
         &pnlReminderAfternoon, &mmReminderAfternoon},
        {"lblReminderEvening", "pnlReminderEvening", "mmReminderEvening",
         "This Evening:", "Things to do this evening", 330, &lblReminderEvening,
         &pnlReminderEvening, &mmReminderEvening},
    };
    for (const auto& section : sections) {
        *section.labelField =
            BodyLabel(s, section.label, section.title, 10, section.top, DesignFont(13, true));
        *section.panelField =
            MakePanel(s, section.panel, QRect(10, section.top + 22, 305, 130), "panel", 10);
        *section.memoField = MemoBox(s, section.memo, QRect(17, section.top + 30, 290, 114),
                                     QString::fromLatin1(section.purpose));
    }
}

void TfrmMain::CreateUsageSheet() {
    QWidget* s = tsUsage;
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
    chtUsage = Make<TUsageChart>(s, "chtUsage");
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
                                         QRect(17, Top + 24, 291, 483 - Top - 24), 13, this);
    lbxUsage_Applications->setAccessibleName(
        QStringLiteral("Time spent on these applications/websites"));
}

void TfrmMain::CreateMenus() {
    auto action = [this](QObject* owner, const char* name, const QString& text) {
        auto* a = new QAction(text, owner);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    pmnView = new QMenu(this);
    pmnView->setObjectName(QStringLiteral("pmnView"));
    pmnView->addAction(tr("Choose View:"))->setEnabled(false);
    pmnView->addSeparator();
    viewGroup = new QActionGroup(this);
    actViewMain = action(viewGroup, "actViewMain", tr("All"));
    actViewRemindersOnly = action(viewGroup, "actViewRemindersOnly", tr("Reminders"));
    actViewUsage = action(viewGroup, "actViewUsage", tr("Usage"));
    actViewLite = action(viewGroup, "actViewLite", tr("Lite"));
    for (QAction* a : viewGroup->actions()) {
        a->setCheckable(true);
        pmnView->addAction(a);
    }
    actViewLite->setChecked(true);

    pmnAddons = new QMenu(this);
    pmnAddons->setObjectName(QStringLiteral("pmnAddons"));
    actAutohide = action(this, "actAutohide", tr("Auto-hide"));
    actAutohide->setCheckable(true);
    pmnAddons->addAction(actAutohide);
    actStartAtLogin = action(this, "actStartAtLogin", tr("Start at Login"));
    actStartAtLogin->setCheckable(true);
    actStartAtLogin->setVisible(StartAtLoginAvailable());
    pmnAddons->addAction(actStartAtLogin);
    actSettings = action(this, "actSettings", tr("Settings"));
    pmnAddons->addAction(actSettings);
    QAction* miHelp = action(this, "miHelp", tr("Help"));
    pmnAddons->addAction(miHelp);
    pmnAddons->addSeparator();
    QMenu* links = pmnAddons->addMenu(tr("Useful Links"));
    links->setObjectName(QStringLiteral("miUsefulLinks"));
    QAction* miCustomerService = action(this, "miCustomerService", tr("Our Blog"));
    QAction* miFAQs = action(this, "miFAQs", tr("Help"));
    QAction* miUpgrades = action(this, "miUpgrades", tr("Upgrades"));
    links->addActions({miCustomerService, miFAQs, miUpgrades});
    pmnAddons->addSeparator();
    miBackground = pmnAddons->addMenu(tr("Background"));
    miBackground->setObjectName(QStringLiteral("miBackground"));
    QAction* miBackgroundColor = action(this, "miBackgroundColor", tr("Color..."));
    miBackground->addAction(miBackgroundColor);
    miBackgroundImage = miBackground->addMenu(tr("Image"));
    miBackgroundImage->setObjectName(QStringLiteral("miBackgroundImage"));
    miBackgroundImageBrowse = action(this, "miBackgroundImageBrowse", tr("Browse..."));
    miBackgroundImage->addAction(miBackgroundImageBrowse);
    miBackgroundImage->addSeparator();
    miClearBackgroundImage = action(this, "miClearBackgroundImage", tr("<No Image>"));
    miClearBackgroundImage->setCheckable(true);
    miBackgroundImage->addAction(miClearBackgroundImage);
    QAction* miTransparency = action(this, "miTransparency", tr("Transparency..."));
    miBackground->addAction(miTransparency);
    QAction* miTextColor = action(this, "miTextColor", tr("Text Color..."));
    pmnAddons->addAction(miTextColor);

    // Escape minimizes through a window-wide action, as the hidden item of a pop-up menu.
    actMinimize = action(this, "actMinimize", tr("Minimize"));
    actMinimize->setShortcut(Qt::Key_Escape);
    actMinimize->setShortcutContext(Qt::WindowShortcut);
    addAction(actMinimize);
    actTimeEdit = action(this, "actTimeEdit", tr("Edit"));
    addAction(actTimeEdit);

    pmnTray = new QMenu(this);
    pmnTray->setObjectName(QStringLiteral("pmnTray"));
    actExit = action(this, "actExit", tr("&Exit"));
    actExit->setVisible(false); // the program is ended by its uninstaller or the session
    pmnTray->addAction(actExit);

    auto below = [](QWidget* button, QMenu* menu) {
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
    };
    connect(btnView, &TImageButton::clicked, this, [=, this] { below(btnView, pmnView); });
    connect(btnLinks, &TImageButton::clicked, this, [=, this] { below(btnLinks, pmnAddons); });
    connect(btnMinimize, &TImageButton::clicked, actMinimize, &QAction::trigger);
    connect(actMinimize, &QAction::triggered, this,
            [this] { Guarded([this] { actMinimizeExecute(); }); });
    connect(actExit, &QAction::triggered, this, [this] { emit TerminateRequested(); });
    connect(actViewMain, &QAction::triggered, this,
            [this] { Guarded([this] { ShowView(tsMain, false); }); });
    connect(actViewRemindersOnly, &QAction::triggered, this,
            [this] { Guarded([this] { ShowView(tsReminder, false); }); });
    connect(actViewUsage, &QAction::triggered, this,
            [this] { Guarded([this] { ShowView(tsUsage, false); }); });
    connect(actViewLite, &QAction::triggered, this,
            [this] { Guarded([this] { ShowView(tsMain, true); }); });
    connect(actAutohide, &QAction::triggered, this,
            [this] { Guarded([this] { actAutohideExecute(); }); });
    // The check mark is read again whenever the menu opens: the entry is a file the person
    // or the desktop's own settings may change while the program runs.
    const auto showStartAtLogin = [this] {
        Guarded([this] { actStartAtLogin->setChecked(StartsAtLogin()); });
    };
    showStartAtLogin();
    connect(pmnAddons, &QMenu::aboutToShow, this, showStartAtLogin);
    connect(actStartAtLogin, &QAction::triggered, this, [this, showStartAtLogin](bool on) {
        Guarded([this, on] { SetStartAtLogin(on, options_.Places().programPath); });
        showStartAtLogin();
    });
    connect(actSettings, &QAction::triggered, this,
            [this] { Guarded([this] { actSettingsExecute(); }); });
    const auto open = [](const char* page) {
        return [page] { OpenUrl(QString::fromLatin1(page)); };
    };
    connect(miHelp, &QAction::triggered, this, open(HelpPage));
    connect(miCustomerService, &QAction::triggered, this, open(HelpPage));
    connect(miFAQs, &QAction::triggered, this, open(HelpPage));
    connect(miUpgrades, &QAction::triggered, this, open(DownloadPage));
    connect(miBackgroundColor, &QAction::triggered, this,
            [this] { Guarded([this] { miBackgroundColorClick(); }); });
    connect(miBackgroundImageBrowse, &QAction::triggered, this,
            [this] { Guarded([this] { miBackgroundImageClick(); }); });
    connect(miClearBackgroundImage, &QAction::triggered, this,
            [this] { Guarded([this] { miClearBackgroundImageClick(); }); });
    connect(miTransparency, &QAction::triggered, this,
            [this] { Guarded([this] { miTransparencyClick(); }); });
    connect(miTextColor, &QAction::triggered, this,
            [this] { Guarded([this] { miTextColorClick(); }); });

    connect(btnBack, &TImageButton::clicked, this, [this] { Guarded([this] { btnBackClick(); }); });
    connect(btnNext, &TImageButton::clicked, this, [this] { Guarded([this] { btnNextClick(); }); });
    connect(btnTimeEdit, &TImageButton::clicked, actTimeEdit, &QAction::trigger);
    connect(btnUsage_Export, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnUsage_ExportClick(); }); });
    connect(actTimeEdit, &QAction::triggered, this,
            [this] { Guarded([this] { actTimeEditExecute(); }); });
    connect(btnApp_Add, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnApp_AddClick(); }); });
    connect(btnApp_Delete, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnApp_DeleteClick(); }); });
    connect(cbxUsage_Period, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { cbxUsage_PeriodChange(); }); });
    connect(cbxReminder, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { cbxReminderChange(); }); });
    connect(mmReminder, &QPlainTextEdit::textChanged, this,
            [this] { Guarded([this] { mmReminderChange(); }); });
    int part = 0;
    for (QPlainTextEdit* memo : {mmReminderMorning, mmReminderAfternoon, mmReminderEvening}) {
        connect(memo, &QPlainTextEdit::textChanged, this,
                [this, part] { Guarded([this, part] { ReminderSheetMemoChange(part); }); });
        ++part;
    }
    connect(lblMain_TimeLink, &TLinkLabel::clicked, this,
            [this] { Guarded([this] { actChangeTimeFormatExecute(); }); });
    connect(lblMain_FocusModeTimeLink, &TLinkLabel::clicked, this,
            [this] { Guarded([this] { actChangeFocusModeTimeFormatExecute(); }); });
    connect(btnFocus, &TImageButton::clicked, this,
            [this] { Guarded([this] { btnFocusClick(); }); });
}

void TfrmMain::OnTimer(QTimer* timer, void (TfrmMain::*handler)()) {
    connect(timer, &QTimer::timeout, this, [this, handler] {
        if (!IsPaused()) {
            Guarded([this, handler] { (this->*handler)(); });
        }
    });
}

void TfrmMain::CreateTimers() {
    auto timer = [this](const char* name, int interval, bool enabled) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        // The odd intervals keep timers from lining up; they must not be rounded.
        t->setTimerType(interval < 60000 ? Qt::PreciseTimer : Qt::CoarseTimer);
        if (enabled) {
            t->start();
        }
        return t;
    };
    tmrTime = timer("tmrTime", 1000, true);
    tmrUsage = timer("tmrUsage", 12001, true);
    tmrReminderChange = timer("tmrReminderChange", 100002, false);
    tmrAutohide = timer("tmrAutohide", 3000, false);
    tmrAutohideSlide = timer("tmrAutohideSlide", 10, false);
    tmrDeactivation = timer("tmrDeactivation", 1000, true);

    OnTimer(tmrTime, &TfrmMain::tmrTimeTimer);
    OnTimer(tmrUsage, &TfrmMain::tmrUsageTimer);
    OnTimer(tmrReminderChange, &TfrmMain::tmrReminderChangeTimer);
    OnTimer(tmrDeactivation, &TfrmMain::tmrDeactivationTimer);
    OnTimer(tmrAutohide, &TfrmMain::tmrAutohideTimer);
    OnTimer(tmrAutohideSlide, &TfrmMain::tmrAutohideSlideTimer);
}

void TfrmMain::CreateTray() {
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setObjectName(QStringLiteral("trayIcon"));
    trayIcon->setIcon(QIcon(QPixmap::fromImage(MainWindowPicture("tray").image)));
    trayIcon->setToolTip(QStringLiteral("Tallywick"));
    trayIcon->setContextMenu(pmnTray);
    connect(trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                if (r == QSystemTrayIcon::Trigger) {
                    Guarded([this] { TrayLeftClick(); });
                }
            });
}

} // namespace tw
