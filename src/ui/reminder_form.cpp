#include "ui/reminder_form.h"

#include "base/scope_exit.h"
#include "monitor/day_part.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/options.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include <cmath>

namespace tw {

namespace {

constexpr int Width = 492;
// The content keeps the same margin on both sides.
constexpr int Margin = 10;
constexpr int ContentWidth = Width - 2 * Margin;
// A memo sits inside its panel's rounded border.
constexpr int MemoInset = 7;
// exec() result of "Give me 5 Minutes"; Accepted is OK or the end of the countdown, and
// Rejected only the end of the message loop (the program ends).
constexpr int Snoozed = 2;

const char BlockText[] =
    "You have chosen to focus without interruptions for a while. Here's a reminder of your "
    "tasks today. The distracting sites and applications on your list will be closing shortly.";
const char* const LimitTexts[] = {
    "Sorry but you have now spent your allocated time on your 'sites and applications to "
    "watch' list. Here's a reminder of your tasks for the rest of the day. You can either "
    "block the 'sites and applications' until 0400 tomorrow or continue.",
    "Sorry but you have now spent your allocated time on your 'sites and applications to "
    "watch' list. Here's a reminder of your tasks for the rest of the day. The sites and "
    "applications on your 'to watch' list will be closing in 60 seconds. You will not be able "
    "to access your 'sites and applications to watch' list until 0400 tomorrow.",
    "Sorry but you have now spent your allocated time on your 'sites and applications to "
    "watch' list. Here's a reminder of your tasks for the rest of the day. The computer will "
    "be shutting down in 60 seconds. You will not be able to access your 'sites and "
    "applications to watch' list until 0400 tomorrow.",
};

// The tops of the three memo sections' titles at the full height.
constexpr int SectionTops[] = {131, 250, 367};

} // namespace

int ReminderHeight(TDayPart dayPart) {
    return dayPart == TDayPart::Afternoon ? 413 : dayPart == TDayPart::Evening ? 295 : 533;
}

TfrmReminder::TfrmReminder(TWindowKit& kit, QWidget* owner) : TfrmBase(kit, owner) {
    setObjectName(QStringLiteral("frmReminder"));
    setWindowTitle(QStringLiteral("Reminder"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(Width, ReminderHeight(TDayPart::Morning));

    lblReminderText = BodyLabel(this, "lblReminderText", QString(), Margin, 45);
    lblReminderText->setWordWrap(true);
    lblReminderText->setGeometry(Margin, 45, ContentWidth, 80);
    lblReminderText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const struct {
        const char *label, *panel, *memo, *title, *memoName;
        QLabel** labelField;
        TImagePanel** panelField;
        QPlainTextEdit** memoField;
    } sections[] = {
        {"lblReminderMorning", "pnlReminderMorning", "memReminderMorning",
         "This Morning:", "Things to do this morning", &lblReminderMorning, &pnlReminderMorning,
         &memReminderMorning},
        {"lblReminderAfternoon", "pnlReminderAfternoon", "memReminderAfternoon",
         "This Afternoon:", "Things to do this afternoon", &lblReminderAfternoon,
         &pnlReminderAfternoon, &memReminderAfternoon},
        {"lblReminderEvening", "pnlReminderEvening", "memReminderEvening",
         "This Evening:", "Things to do this evening", &lblReminderEvening, &pnlReminderEvening,
         &memReminderEvening},
    };
    for (int part = 0; part < 3; ++part) {
        const auto& section = sections[part];
        const int top = SectionTops[part];
        *section.labelField = BodyLabel(this, section.label, section.title, Margin, top);
        const QRect panel(Margin, top + 24, ContentWidth, 86);
        *section.panelField = LightPanel(this, section.panel, panel);
        *section.memoField =
            MemoBox(this, section.memo, panel.adjusted(MemoInset, 9, -MemoInset, -7),
                    QString::fromLatin1(section.memoName));
        (*section.memoField)->setReadOnly(true);
    }

    btnFiveMinutes = DialogButton(this, "btnFiveMinutes", QStringLiteral("Give me 5 Minutes"),
                                  QRect(Margin, 486, 140, 32));
    lblAction = BodyLabel(this, "lblAction", QStringLiteral("Action:"), 191, 494);
    const TSkinnedCombo combo = SkinnedCombo(this, "pnlExpirationCombo", "cbxExpirationAction",
                                             "btnComboExpirationAction", QRect(241, 489, 158, 28),
                                             {"Continue", "Close Application", "Shutdown Computer"},
                                             QStringLiteral("Action"));
    pnlExpirationCombo = combo.panel;
    cbxExpirationAction = combo.combo;
    btnComboExpirationAction = combo.arrow;
    lblAction->setBuddy(cbxExpirationAction);
    lblTimeLeft = BodyLabel(this, "lblTimeLeft", QStringLiteral("Time Left:"), 300, 494);
    lblTimeValue = BodyLabel(this, "lblTimeValue", QStringLiteral("00:00"), 364, 494);
    lblTimeValue->setAccessibleName(QStringLiteral("Time left"));
    btnOk =
        DialogButton(this, "btnOk", QStringLiteral("OK"), QRect(Width - Margin - 70, 486, 70, 32));

    tmrCountdown = new QTimer(this);
    tmrCountdown->setObjectName(QStringLiteral("tmrCountdown"));
    tmrCountdown->setInterval(1000);
    connect(tmrCountdown, &QTimer::timeout, this, &TfrmReminder::tmrCountdownTimer);
    connect(btnOk, &TImageButton::clicked, this, &QDialog::accept);
    connect(btnFiveMinutes, &TImageButton::clicked, this, [this] { done(Snoozed); });
    FinishCreation();
}

const char* ReminderText(bool isBlock, TExpirationAction action) {
    return isBlock ? BlockText : LimitTexts[ExpirationActionIndex(action)];
}

TReminderChoice TfrmReminder::ShowReminder(const TOptions& options,
                                           const TReminderRequest& request) {
    const bool offersChoice = !request.isBlock && request.action == TExpirationAction::ReminderOnly;
    clock_ = &options.Clock();
    if (!offersChoice) {
        countdownStart_ = clock_->UtcNow();
        tmrCountdown->start();
        tmrCountdownTimer();
    }
    lblReminderText->setText(QString::fromLatin1(ReminderText(request.isBlock, request.action)));
    btnFiveMinutes->setVisible(request.fiveMinutesAllowed);
    LayOutForDayPart(DayPart(clock_->TimeOfDay()));
    for (QWidget* control : std::initializer_list<QWidget*>{
             lblAction, pnlExpirationCombo, cbxExpirationAction, btnComboExpirationAction}) {
        control->setVisible(offersChoice);
    }
    lblTimeLeft->setVisible(!offersChoice);
    lblTimeValue->setVisible(!offersChoice);
    int part = 0;
    for (QPlainTextEdit* memo : {memReminderMorning, memReminderAfternoon, memReminderEvening}) {
        memo->setPlainText(QString::fromStdString(options.GetReminder(part++)));
    }
    // Hidden or not, the list holds what closing the window carries out.
    cbxExpirationAction->setCurrentIndex(ExpirationActionIndex(request.action));
    ClipComboArrows();

    QWidget* owner = parentWidget();
    int result = QDialog::Rejected;
    {
        // While the reminder is open the main window takes no command (not even minimize).
        if (owner) {
            owner->setEnabled(false);
            setEnabled(true); // a window of its own stays usable under a disabled owner
        }
        TScopeExit enableOwner([owner] {
            if (owner)
                owner->setEnabled(true);
        });
        result = exec(); // shown on top and brought to the front (TfrmBase)
    }
    TReminderChoice choice;
    if (result == Snoozed) {
        choice.fiveMoreMinutes = true;
    } else if (result == QDialog::Accepted) {
        choice.action =
            ExpirationActionFromIndex(cbxExpirationAction->currentIndex()).value_or(request.action);
    }
    return choice;
}

void TfrmReminder::LayOutForDayPart(TDayPart dayPart) {
    setFixedHeight(ReminderHeight(dayPart));
    const int first = DayPartIndex(dayPart);
    QWidget* const sections[3][3] = {
        {lblReminderMorning, pnlReminderMorning, memReminderMorning},
        {lblReminderAfternoon, pnlReminderAfternoon, memReminderAfternoon},
        {lblReminderEvening, pnlReminderEvening, memReminderEvening}};
    // The sections still ahead close up under the message, in their order.
    const int shift = SectionTops[0] - SectionTops[first];
    for (int part = 0; part < 3; ++part) {
        for (QWidget* control : sections[part]) {
            control->setVisible(part >= first);
            if (part >= first) {
                control->move(control->x(), control->y() + shift);
            }
        }
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             pnlExpirationCombo, btnFiveMinutes, lblAction, cbxExpirationAction,
             btnComboExpirationAction, btnOk, lblTimeLeft, lblTimeValue}) {
        control->move(control->x(), control->y() + shift);
    }
}

void TfrmReminder::tmrCountdownTimer() {
    const long long elapsedMs =
        std::llround((clock_->UtcNow() - countdownStart_) * SecondsPerDay * 1000);
    countdownSeconds_ = TimeUpCountdownSeconds - static_cast<int>(elapsedMs / 1000);
    if (countdownSeconds_ <= 0) {
        countdownSeconds_ = 0;
        tmrCountdown->stop();
        accept();
        return;
    }
    lblTimeValue->setText(
        QString::fromStdString(FormatMinuteSecond(countdownSeconds_ / SecondsPerDay)));
    lblTimeValue->adjustSize();
}

void TfrmReminder::keyPressEvent(QKeyEvent* event) {
    // Enter closes it as OK does, carrying out the action; Escape does not dismiss it.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        return;
    default:
        TfrmBase::keyPressEvent(event);
    }
}

void TfrmReminder::closeEvent(QCloseEvent* event) {
    // Only OK, the five minutes and the countdown close it: a close request from outside
    // would otherwise leave the time-up action undone.
    event->ignore();
}

} // namespace tw
