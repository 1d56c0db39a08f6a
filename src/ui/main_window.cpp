// The main window's creation, its timers' plain handlers and its side of the scan engine.
#include "ui/main_window.h"

#include "dialogs/failure_notice_form.h"
#include "dialogs/message_windows.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/appearance.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "ui/appearance_menu.h"
#include "ui/block_view.h"
#include "ui/header_time_view.h"
#include "ui/main_window_tray.h"
#include "ui/memo_view.h"
#include "ui/reminder_form.h"
#include "ui/today_sheet.h"
#include "ui/usage_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tw {

void ReportHandlerException(const std::exception& e) {
    ReportApplicationException(e);
}

TfrmMain::TfrmMain(TDesktop& desktop, TOptions& options, TProgramControl& program)
    : TfrmBase(nullptr), desktop_(desktop), options_(options), program_(program),
      engine_(program.Engine()), dock_(*this, options.Appearance(), SlideState),
      workArea_(dock_.DockedArea()) {
    program_.AttachView(this);
    program_.AttachNoticeView(this);
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
    tray_ = std::make_unique<TTray>(*this, dock_);
    ConnectControls();
    installEventFilter(this);
    pnlBody->installEventFilter(this);
    pnlBody->setMouseTracking(true);

    FinishCreation();
    LoadFromOptions();
    ShowView(tsMain, true);
    dock_.DockAsStored();
    memos_->PromptTimer()->start();
    looks_->SetSkinsFolder(QString::fromStdString(options_.Places().programFolder) +
                           QStringLiteral("Skins"));
    if (!IsPaused()) {
        RefreshTodayList();
    }
    engine_.SelectCurrentDayPart();
}

TfrmMain::~TfrmMain() {
    program_.AttachView(nullptr);
    program_.AttachNoticeView(nullptr);
}

void TfrmMain::LoadFromOptions() {
    today_->ShowLimits(options_);
    memos_->DayPartChange();
    engine_.RestartCount();
    UpdateTimeValue();
    UpdateBlockTimeValue();
    if (!IsPaused()) {
        RefreshTodayList();
    }
    memos_->PromptTick(); // a prompt that is due appears at once
    memos_->Load();
    findChild<QAction*>(QStringLiteral("actAutohide"))
        ->setChecked(options_.Appearance().GetAutohide());
    memos_->RefreshMarks();
}

void TfrmMain::UpdateTimeValue() {
    header_->Update();
}

void TfrmMain::UpdateBlockTimeValue() {
    block_->Update();
}

void TfrmMain::SelectDayPart(TDayPart dayPart) {
    memos_->SelectDayPart(DayPartIndex(dayPart));
}

void TfrmMain::SetBlockDisplay(bool on) {
    header_->SetShown(!on);
    block_->SetShown(on);
}

void TfrmMain::cbxReminderChange() {
    memos_->DayPartChange();
}

void TfrmMain::RefreshUsageChart() {
    usage_->RefreshChart();
}

void TfrmMain::ApplyAppearance() {
    looks_->Apply();
}

void TfrmMain::HotKeyPressed() {
    tray_->AltPressed();
}

// --- the engine's host ---

TReminderChoice TfrmMain::ShowReminder(const TOnlineTimeApplication&, bool isBlock,
                                       bool fiveMinutesAllowed) {
    TfrmReminder reminder(this);
    return reminder.ShowReminder(options_,
                                 {isBlock, fiveMinutesAllowed, engine_.TimeUpAction(isBlock)});
}

void TfrmMain::ShowAddressNotice(TAddressProblem problem) {
    QString text;
    switch (problem) {
    case TAddressProblem::StartedBeforeAccessibility:
        text = QStringLiteral("This browser started before Tallywick: restart it to count "
                              "listed websites.");
        break;
    case TAddressProblem::AccessibilityOff:
        text = QStringLiteral("Accessibility is off in this session: listed websites cannot be "
                              "counted.");
        break;
    case TAddressProblem::BrowserAccessibilityOff:
        text = QString::fromUtf8(AddressProblemText(problem));
        break;
    default:
        text = QStringLiteral("No accessibility bus in this session: listed websites cannot be "
                              "counted.");
        break;
    }
    // After the cycle: the notice waits for OK, and the scan must not wait with it.
    QTimer::singleShot(0, this, [text] { ShowWarning(text, QStringLiteral("Please Note")); });
}

void TfrmMain::ShowFailureNotice(const std::string& text) {
    // Opened from the event loop rather than inside the scan, so that the scans (and the
    // counting) go on while the person reads it.
    QTimer::singleShot(0, this,
                       [message = QString::fromStdString(text)] { ExecuteFailureNotice(message); });
}

void TfrmMain::RedisplayAfterReset() {
    today_->ShowLimits(options_);
    RefreshTodayList();
    RefreshUsageList();
    UpdateTimeValue();
}

// --- closing, keys, notices ---

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Closing only puts the window away; the program keeps watching.
    event->ignore();
    if (isEnabled()) {
        MinimizeApplication();
    }
}

void TfrmMain::showEvent(QShowEvent* event) {
    // On top, but the keyboard stays where the user works: a companion that appears at
    // start-up or slides back in must not take the focus (nor the foreground it watches).
    // Restoring it on purpose activates it (RestoreApplication).
    // Like the tray, the window is no task of its own: it stays out of the taskbar.
    Guarded([this] { desktop_.KeepOffTaskbar(static_cast<TWindowHandle>(winId())); });
    QDialog::showEvent(event);
    raise();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    // The dialog base would close on Escape; here Escape is the minimize action's.
    if (event->key() == Qt::Key_Escape) {
        if (isEnabled()) { // not under a modal window of its own (the reminder)
            MinimizeApplication();
        }
        return;
    }
    TfrmBase::keyPressEvent(event);
}

void TfrmMain::PutAway() {
    MinimizeApplication();
}

void TfrmMain::WorkAreaChanged() {
    if (CurrentWorkArea() != workArea_) {
        SlideState = ssShown;
        DockPosition();
    }
}

} // namespace tw
