// The main window's layout: its header buttons, views and pages, its menus, and the wiring
// of their controls.
#include "dialogs/access_gate.h"
#include "items/monitored_list.h"
#include "platform/start_at_login.h"
#include "skin/base_form_links.h"
#include "skin/image_button.h"
#include "skin/link_label.h"
#include "storage/options.h"
#include "ui/appearance_menu.h"
#include "ui/block_view.h"
#include "ui/header_time_view.h"
#include "ui/main_window.h"
#include "ui/main_window_controls.h"
#include "ui/main_window_tray.h"
#include "ui/memo_view.h"
#include "ui/today_sheet.h"
#include "ui/usage_chart.h"
#include "ui/usage_view.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace tw {

namespace {

// Runs a control's handler; what it throws goes to the application-wide handler.
template <class Sender, class Signal, class F>
void OnSignal(Sender* sender, Signal signal, QObject* context, F&& handler) {
    QObject::connect(sender, signal, context,
                     [context, handler = std::forward<F>(handler)] { Guarded(context, handler); });
}

} // namespace

void TfrmMain::CreatePages() {
    imgIcon->hide();
    lblCaption->hide();
    MakeIconButton(this, "btnView", "view", QRect(264, 6, 16, 16), tr("View Mode"));
    MakeIconButton(this, "btnLinks", "tools", QRect(284, 6, 16, 16), tr("Tools"));
    MakeIconButton(this, "btnMinimize", "minimize", QRect(304, 6, 16, 16), tr("Minimize"));
    header_ = std::make_unique<THeaderTimeView>(this, engine_, options_);
    block_ = std::make_unique<TBlockView>(this, engine_);
    MakeButton(this, "btnBack", "< Back", QRect(83, 589, 85, 32));
    MakeButton(this, "btnNext", "Next >", QRect(179, 589, 85, 32));

    // The page control only carries the sheets; their controls are shown on the window.
    auto* pcMain = MakeNamed<QWidget>(this, "pcMain");
    pcMain->setGeometry(1, 92, 319, 600);
    pcMain->hide();
    tsMain = MakeNamed<QWidget>(pcMain, "tsMain");
    tsReminder = MakeNamed<QWidget>(pcMain, "tsReminder");
    tsUsage = MakeNamed<QWidget>(pcMain, "tsUsage");
    memos_ = std::make_unique<TMemoView>(this, tsMain, tsReminder, options_, engine_);
    today_ = std::make_unique<TTodaySheet>(tsMain, options_, engine_, desktop_);
    usage_ = std::make_unique<TUsageView>(tsUsage, engine_, options_);
}

void TfrmMain::CreateMenus() {
    auto* pmnView = new QMenu(this);
    pmnView->setObjectName(QStringLiteral("pmnView"));
    pmnView->addAction(tr("Choose View:"))->setEnabled(false);
    pmnView->addSeparator();
    auto* viewGroup = new QActionGroup(this);
    const struct {
        const char* name;
        QString text;
        QWidget* sheet;
        bool lite;
    } views[] = {{"actViewMain", tr("All"), tsMain, false},
                 {"actViewRemindersOnly", tr("Reminders"), tsReminder, false},
                 {"actViewUsage", tr("Usage"), tsUsage, false},
                 {"actViewLite", tr("Lite"), tsMain, true}};
    for (const auto& view : views) {
        QAction* action = NamedAction(viewGroup, view.name, view.text);
        action->setCheckable(true);
        action->setChecked(view.lite);
        pmnView->addAction(action);
        OnSignal(action, &QAction::triggered, this,
                 [this, sheet = view.sheet, lite = view.lite] { ShowView(sheet, lite); });
    }

    auto* pmnAddons = new QMenu(this);
    pmnAddons->setObjectName(QStringLiteral("pmnAddons"));
    QAction* actAutohide = NamedAction(this, "actAutohide", tr("Auto-hide"));
    actAutohide->setCheckable(true);
    pmnAddons->addAction(actAutohide);
    QAction* actStartAtLogin = NamedAction(this, "actStartAtLogin", tr("Start at Login"));
    actStartAtLogin->setCheckable(true);
    actStartAtLogin->setVisible(StartAtLoginAvailable());
    pmnAddons->addAction(actStartAtLogin);
    QAction* actSettings = NamedAction(this, "actSettings", tr("Settings"));
    pmnAddons->addAction(actSettings);
    QAction* miHelp = NamedAction(this, "miHelp", tr("Help"));
    pmnAddons->addAction(miHelp);
    pmnAddons->addSeparator();
    QMenu* links = pmnAddons->addMenu(tr("Useful Links"));
    links->setObjectName(QStringLiteral("miUsefulLinks"));
    QAction* miCustomerService = NamedAction(this, "miCustomerService", tr("Our Blog"));
    QAction* miFAQs = NamedAction(this, "miFAQs", tr("Help"));
    QAction* miUpgrades = NamedAction(this, "miUpgrades", tr("Upgrades"));
    links->addActions({miCustomerService, miFAQs, miUpgrades});
    pmnAddons->addSeparator();
    looks_ = std::make_unique<TAppearanceMenu>(*this, options_, usage_->Chart());
    looks_->AddTo(pmnAddons);

    // Escape minimizes through a window-wide action, as the hidden item of a pop-up menu.
    QAction* actMinimize = NamedAction(this, "actMinimize", tr("Minimize"));
    actMinimize->setShortcut(Qt::Key_Escape);
    actMinimize->setShortcutContext(Qt::WindowShortcut);
    addAction(actMinimize);
    QAction* actTimeEdit = NamedAction(this, "actTimeEdit", tr("Edit"));
    addAction(actTimeEdit);

    const auto below = [this](const char* button, QMenu* menu) {
        auto* at = findChild<TImageButton*>(QString::fromLatin1(button));
        connect(at, &TImageButton::clicked, this,
                [at, menu] { menu->popup(at->mapToGlobal(QPoint(0, at->height()))); });
    };
    below("btnView", pmnView);
    below("btnLinks", pmnAddons);
    connect(findChild<TImageButton*>(QStringLiteral("btnMinimize")), &TImageButton::clicked,
            actMinimize, &QAction::trigger);
    // A modal window over this one (the reminder) disables it: then nothing happens.
    OnSignal(actMinimize, &QAction::triggered, this, [this] {
        if (isEnabled()) {
            tray_->Minimize();
        }
    });
    OnSignal(actAutohide, &QAction::triggered, this,
             [this, actAutohide] { dock_.SetAutohide(actAutohide->isChecked()); });
    // The check mark is read again whenever the menu opens: the entry is a file the person
    // or the desktop's own settings may change while the program runs.
    const auto showStartAtLogin = [this, actStartAtLogin] {
        Guarded(this, [actStartAtLogin] { actStartAtLogin->setChecked(StartsAtLogin()); });
    };
    showStartAtLogin();
    connect(pmnAddons, &QMenu::aboutToShow, this, showStartAtLogin);
    connect(actStartAtLogin, &QAction::triggered, this, [this, showStartAtLogin](bool on) {
        Guarded(this, [this, on] {
            const TAdminSession session(options_.Policy());
            if (DecideWithPassword(options_, this, [this, on] {
                    return options_.Policy().DecideStartAtLogin(on);
                }) == TChangeDecision::Allowed) {
                SetStartAtLogin(on, options_.Places().programPath);
            }
        });
        showStartAtLogin();
    });
    OnSignal(actSettings, &QAction::triggered, this, [this] { actSettingsExecute(); });
    const auto open = [](const char* page) {
        return [page] { OpenUrl(QString::fromLatin1(page)); };
    };
    connect(miHelp, &QAction::triggered, this, open(HelpPage));
    connect(miCustomerService, &QAction::triggered, this, open(HelpPage));
    connect(miFAQs, &QAction::triggered, this, open(HelpPage));
    connect(miUpgrades, &QAction::triggered, this, open(DownloadPage));
    connect(today_->EditButton(), &TImageButton::clicked, actTimeEdit, &QAction::trigger);
    OnSignal(actTimeEdit, &QAction::triggered, this, [this] {
        if (today_->EditLimits()) {
            header_->Update();
        }
    });
}

void TfrmMain::ConnectControls() {
    // Paging leaves the view menu's check mark where the user put it.
    OnSignal(findChild<TImageButton*>(QStringLiteral("btnBack")), &TImageButton::clicked, this,
             [this] {
                 ShowView(currentSheet_ == tsUsage      ? tsReminder
                          : currentSheet_ == tsReminder ? tsMain
                                                        : tsUsage,
                          false);
             });
    OnSignal(findChild<TImageButton*>(QStringLiteral("btnNext")), &TImageButton::clicked, this,
             [this] {
                 ShowView(currentSheet_ == tsMain       ? tsReminder
                          : currentSheet_ == tsReminder ? tsUsage
                                                        : tsMain,
                          false);
             });
    OnSignal(usage_->ExportButton(), &TImageButton::clicked, this, [this] { usage_->Export(); });
    OnSignal(today_->AddButton(), &TImageButton::clicked, this, [this] {
        TMonitoredList changes;
        today_->AddThroughWizard(this, changes);
    });
    OnSignal(today_->DeleteButton(), &TImageButton::clicked, this,
             [this] { today_->btnApp_DeleteClick(); });
    OnSignal(usage_->Period(), &QComboBox::currentIndexChanged, this,
             [this] { usage_->Refresh(); });
    OnSignal(header_->Link(), &TLinkLabel::clicked, this, [this] { header_->NextFormat(); });
    OnSignal(block_->Link(), &TLinkLabel::clicked, this, [this] { block_->NextFormat(); });
    OnSignal(header_->FocusButton(), &TImageButton::clicked, this, [this] { btnFocusClick(); });

    // The window's own timers: the header's time and today's list.
    const auto timer = [this](const char* name, int interval) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        // The odd intervals keep timers from lining up; they must not be rounded.
        t->setTimerType(Qt::PreciseTimer);
        t->start();
        return t;
    };
    OnTimerUnlessPaused(timer("tmrTime", 1000), this, engine_, [this] {
        header_->Update();
        block_->Update();
    });
    OnTimerUnlessPaused(timer("tmrUsage", 12001), this, engine_, [this] { today_->Refresh(); });
}

} // namespace tw
