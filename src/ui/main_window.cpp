// The main window's creation and its own events.
#include "ui/main_window.h"

#include "dialogs/message_windows.h"
#include "monitor/scan_engine.h"
#include "skin/image_panel.h"
#include "storage/appearance.h"
#include "storage/options.h"
#include "ui/appearance_menu.h"
#include "ui/block_view.h"
#include "ui/header_time_view.h"
#include "ui/main_window_host.h"
#include "ui/main_window_tray.h"
#include "ui/memo_view.h"
#include "ui/today_sheet.h"
#include "ui/usage_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QTimer>

namespace tw {

void ReportHandlerException(const QObject* inWindow, const std::exception& e) {
    ReportApplicationException(inWindow, e);
}

TfrmMain::TfrmMain(TWindowKit& kit, TDesktop& desktop, TOptions& options, TProgramControl& program)
    : TfrmBase(kit, nullptr), desktop_(desktop), options_(options), program_(program),
      engine_(program.Engine()), dock_(*this, options.Appearance(), SlideState, engine_) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tallywick"));
    // A companion that stays beside the user's work, not a dialog of its own.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);
    setFixedWidth(327);
    resize(327, 600);

    CreatePages();
    CreateMenus();
    tray_ = std::make_unique<TTray>(*this, dock_, options_.Clock());
    host_ = std::make_unique<TMainWindowHost>(
        *this, options_, engine_,
        TMainWindowHost::TViews{*header_, *block_, *memos_, *today_, *usage_, dock_, *tray_});
    program_.AttachView(host_.get());
    program_.AttachNoticeView(host_.get());
    ConnectControls();
    installEventFilter(this);
    pnlBody->installEventFilter(this);
    pnlBody->setMouseTracking(true);

    FinishCreation();
    // What the options hold.
    today_->ShowLimits();
    memos_->DayPartChange();
    engine_.RestartCount();
    header_->Update();
    block_->Update();
    if (!engine_.IsPaused()) {
        today_->Refresh();
    }
    memos_->PromptTick(); // a prompt that is due appears at once
    memos_->Load();
    findChild<QAction*>(QStringLiteral("actAutohide"))
        ->setChecked(options_.Appearance().GetAutohide());
    memos_->RefreshMarks();

    ShowView(tsMain, true);
    dock_.DockAsStored();
    memos_->PromptTimer()->start();
    looks_->SetSkinsFolder(QString::fromStdString(options_.Places().programFolder) +
                           QStringLiteral("Skins"));
    if (!engine_.IsPaused()) {
        today_->Refresh();
    }
    engine_.SelectCurrentDayPart();
}

TfrmMain::~TfrmMain() {
    program_.AttachView(nullptr);
    program_.AttachNoticeView(nullptr);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Closing only puts the window away; the program keeps watching.
    event->ignore();
    if (isEnabled()) {
        tray_->Minimize();
    }
}

void TfrmMain::showEvent(QShowEvent* event) {
    // On top, but the keyboard stays where the user works: a companion that appears at
    // start-up or slides back in must not take the focus (nor the foreground it watches).
    // Restoring it on purpose activates it (TTray::Restore).
    // Like the tray, the window is no task of its own: it stays out of the taskbar.
    Guarded(this, [this] { desktop_.KeepOffTaskbar(static_cast<TWindowHandle>(winId())); });
    QDialog::showEvent(event);
    raise();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    // The dialog base would close on Escape; here Escape is the minimize action's.
    if (event->key() == Qt::Key_Escape) {
        if (isEnabled()) { // not under a modal window of its own (the reminder)
            tray_->Minimize();
        }
        return;
    }
    TfrmBase::keyPressEvent(event);
}

} // namespace tw
