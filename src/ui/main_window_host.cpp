#include "ui/main_window_host.h"

#include "dialogs/failure_notice_form.h"
#include "monitor/probe.h"
#include "monitor/scan_engine.h"
#include "skin/base_form.h"
#include "ui/block_view.h"
#include "ui/dock_controller.h"
#include "ui/header_time_view.h"
#include "ui/main_window_tray.h"
#include "ui/memo_view.h"
#include "ui/reminder_form.h"
#include "ui/today_sheet.h"
#include "ui/usage_view.h"

#include <QTimer>

namespace tw {

TMainWindowHost::TMainWindowHost(QWidget& window, TOptions& options, TScanEngine& engine,
                                 const TViews& views)
    : window_(window), options_(options), engine_(engine), views_(views) {}

TReminderChoice TMainWindowHost::ShowReminder(const TOnlineTimeApplication&, bool isBlock,
                                              bool fiveMinutesAllowed) {
    TfrmReminder reminder(KitOf(&window_), &window_);
    return reminder.ShowReminder(options_,
                                 {isBlock, fiveMinutesAllowed, engine_.TimeUpAction(isBlock)});
}

void TMainWindowHost::SelectDayPart(TDayPart dayPart) {
    views_.memos.SelectDayPart(dayPart);
}

void TMainWindowHost::SetBlockDisplay(bool on) {
    views_.header.SetShown(!on);
    views_.block.SetShown(on);
}

void TMainWindowHost::RedisplayAfterReset() {
    views_.today.ShowLimits();
    views_.today.Refresh();
    views_.usage.Refresh();
    views_.header.Update();
}

void TMainWindowHost::ShowAddressNotice(TAddressProblem problem) {
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
    QTimer::singleShot(0, &window_, [this, text] {
        KitOf(&window_).ShowWarning(text, QStringLiteral("Please Note"));
    });
}

void TMainWindowHost::ShowFailureNotice(const std::string& text) {
    // Opened from the event loop rather than inside the scan, so that the scans (and the
    // counting) go on while the person reads it.
    QTimer::singleShot(0, &window_, [this, message = QString::fromStdString(text)] {
        ExecuteFailureNotice(KitOf(&window_), message);
    });
}

void TMainWindowHost::PutAway() {
    views_.tray.Minimize();
}

void TMainWindowHost::WorkAreaChanged() {
    views_.dock.WorkAreaChanged();
}

void TMainWindowHost::HotKeyPressed() {
    views_.tray.AltPressed();
}

} // namespace tw
