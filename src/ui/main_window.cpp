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
#include "ui/notice_message_filter.h"
#include "ui/reminder_form.h"
#include "ui/today_sheet.h"
#include "ui/usage_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
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

void TfrmMain::SelectDayPart(int dayPart) {
    memos_->SelectDayPart(dayPart);
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

void TfrmMain::HandleNotice(TDesktopNotice notice) {
    if (engine_.HandleNotice(notice)) {
        // Whatever the session or the power did, the window is put away.
        MinimizeApplication();
        return;
    }
    if (notice == TDesktopNotice::WorkAreaChange) {
        if (CurrentWorkArea() != workArea_) {
            SlideState = ssShown;
            DockPosition();
        }
    } else if (notice == TDesktopNotice::HotKey) {
        HotKeyPressed();
    }
}

void TfrmMain::ConnectNotices() {
    auto drain = [this] {
        TDesktopNotice notice;
        while (desktop_.NextNotice(notice)) {
            Guarded([this, notice] { HandleNotice(notice); });
        }
    };
    if (const std::string problem = desktop_.LockDetectionProblem(); !problem.empty()) {
        ErrorLog("Session locks cannot be noticed (" + problem +
                 "): time on the list is counted also while the screen is locked");
    }
    if (const std::string problem = desktop_.WindowsProblem(); !problem.empty()) {
        ErrorLog("Windows cannot be seen (" + problem + ")");
        // Counting nothing without a word would look like a limit that never comes.
        const QString text =
            QStringLiteral("Tallywick cannot see every window on this desktop, and time in "
                           "front of those it cannot see is not counted: %1.")
                .arg(QString::fromStdString(problem));
        // The problem's text may be long: the notice that grows with its text.
        QTimer::singleShot(0, this, [text] { ExecuteFailureNotice(text); });
    }
    const int descriptor = desktop_.NoticeDescriptor();
    if (descriptor >= 0) {
        noticeNotifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
        connect(noticeNotifier_, &QSocketNotifier::activated, this, drain);
    } else if (desktop_.NoticesComeAsMessages()) {
        // Handled after the message that announced them, outside the loop's own filter.
        noticeFilter_ = std::make_unique<TNoticeMessageFilter>(
            desktop_, [this, drain] { QTimer::singleShot(0, this, drain); });
    } else {
        // Backends without a descriptor are asked a few times a second.
        noticePoll_ = new QTimer(this);
        noticePoll_->setObjectName(QStringLiteral("tmrNotices"));
        connect(noticePoll_, &QTimer::timeout, this, drain);
        noticePoll_->start(250);
    }
    drain();
}

} // namespace tw
