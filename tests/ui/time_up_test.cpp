// The time-up reminder, Block mode and the to-do memos as the person meets them: the main
// window on the offscreen platform, a scripted desktop whose close requests and shutdowns are
// recorded, and a clock that moves only when told.
#include "monitor/day_part.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/test_data_folder.h"
#include "ui/main_window.h"
#include "ui/main_window_list_rows.h"
#include "ui/modal_helper.h"
#include "ui/shown_main_window.h"
#include "ui/window_helpers.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace tw;
using twtest::Child;

const TDateTime Today = EncodeDate(2026, 3, 14);
const char* const Game = "/usr/games/game";
const char* const Chat = "/usr/bin/chat";

void Fire(QTimer* timer) {
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

// What the person saw of a window that an action opened, and how it was answered.
struct TSeen {
    QString window;
    bool ownerEnabled = true;
    bool choiceShown = false;
    bool countdownShown = false;
    bool fiveMinutesShown = false;
    QString countdown;
    QString text;
    std::size_t closeRequestsMeanwhile = 0;
};

class TimeUpTest : public ::testing::Test {
  protected:
    explicit TimeUpTest(TDateTime start = Today + 10 * OneHour) : folder_(start) {}
    ~TimeUpTest() override {
        window_.reset();
        program_.reset();
    }

    // Two listed programs, the daily limit (six seconds unless said) and the action; the
    // game is in front.
    void ListTwoPrograms(TExpirationAction action, int limitSeconds = 6) {
        {
            TOptions options(folder_.Data());
            for (const char* name : {Game, Chat}) {
                auto item = std::make_unique<TMonitoredItem>();
                item->Name = name;
                item->Caption = name;
                item->ItemType = TMonitoredItemType::mitApp;
                options.Edit().MonitoredList.Add(name, std::move(item));
            }
            options.Edit().TimeLimitSeconds = limitSeconds;
            options.Edit().ExpirationAction = action;
            ASSERT_TRUE(options.Save());
        }
        game_ = AddEditorWindow(desktop_, Game);
        chat_ = AddEditorWindow(desktop_, Chat);
        desktop_.SetForeground(game_);
    }

    TfrmMain& Window() { return twtest::ShownMainWindow(window_, program_, desktop_, folder_); }
    template <class T> T* Find(const char* name) { return Child<T>(Window(), name); }
    QTimer* ProgramTimer(const char* name) {
        Window();
        return program_->Timer(name);
    }
    void Scan(double seconds) {
        folder_.Clock().Advance(seconds);
        Fire(ProgramTimer("tmrScan"));
    }
    // Looks at the reminder once it is up, then answers it.
    twtest::TModalAnswer Answer(TSeen& seen, std::function<void(QWidget*)> answer) {
        return twtest::TModalAnswer([this, &seen, answer](QWidget* modal) {
            seen.window = modal->objectName();
            seen.ownerEnabled = Window().isEnabled();
            seen.closeRequestsMeanwhile = desktop_.CloseRequests().size();
            if (auto* choice = modal->findChild<QComboBox*>("cbxExpirationAction")) {
                seen.choiceShown = choice->isVisible();
                seen.countdownShown = Child<QLabel>(*modal, "lblTimeValue")->isVisible();
                seen.fiveMinutesShown = Child<QWidget>(*modal, "btnFiveMinutes")->isVisible();
                seen.countdown = Child<QLabel>(*modal, "lblTimeValue")->text();
                seen.text = Child<QLabel>(*modal, "lblReminderText")->text();
            }
            answer(modal);
        });
    }
    int CloseRequestsTo(TWindowHandle window) {
        return static_cast<int>(
            std::count(desktop_.CloseRequests().begin(), desktop_.CloseRequests().end(), window));
    }

    twtest::TestDataFolder folder_;
    TFakeDesktop desktop_;
    std::unique_ptr<twtest::TTestProgram> program_;
    std::unique_ptr<TfrmMain> window_;
    TWindowHandle game_ = 0;
    TWindowHandle chat_ = 0;
};

// --- the reminder ---

TEST_F(TimeUpTest, TheReminderClosesTheListedWindowsWhenOkClosesItNotBefore) {
    ListTwoPrograms(TExpirationAction::CloseListed);
    Window();
    Scan(3);
    Scan(3);
    EXPECT_TRUE(desktop_.CloseRequests().empty());

    TSeen seen;
    auto answer = Answer(seen, [](QWidget* reminder) { twtest::Click(*reminder, "btnOk"); });
    Scan(3); // six seconds on the list: the limit
    EXPECT_EQ(seen.window, "frmReminder");
    EXPECT_FALSE(seen.ownerEnabled); // the main window takes no command meanwhile
    EXPECT_EQ(seen.closeRequestsMeanwhile, 0u);
    EXPECT_TRUE(seen.countdownShown);
    EXPECT_FALSE(seen.choiceShown);
    EXPECT_EQ(seen.countdown, "01:00");
    EXPECT_TRUE(seen.text.contains("will be closing in 60 seconds"));
    // OK before the countdown ends: every listed window is asked to close at once, the one
    // in front once more by the scan itself.
    EXPECT_EQ(CloseRequestsTo(chat_), 1);
    EXPECT_EQ(CloseRequestsTo(game_), 2);
    EXPECT_TRUE(Window().isEnabled());
}

TEST_F(TimeUpTest, FiveMoreMinutesDoNothingOnceADayAndTheCountdownEndsAMinuteLater) {
    ListTwoPrograms(TExpirationAction::ShutdownComputer);
    Window();
    Scan(3);
    Scan(3);
    TSeen first;
    {
        auto answer =
            Answer(first, [](QWidget* reminder) { twtest::Click(*reminder, "btnFiveMinutes"); });
        Scan(3);
    }
    EXPECT_EQ(first.window, "frmReminder");
    EXPECT_TRUE(first.fiveMinutesShown);
    EXPECT_TRUE(desktop_.ShutdownCalls().empty());
    EXPECT_TRUE(desktop_.CloseRequests().empty());

    // Five minutes later the reminder is due again, without the five minutes. Its countdown
    // runs on the program clock: at 59 seconds it still stands, at 60 it closes and the
    // computer is shut down with a minute's warning.
    folder_.Clock().Advance(300);
    Fire(ProgramTimer("tmrReminderOnly"));
    TSeen second;
    QString atFiftyNine;
    bool openAtFiftyNine = false;
    auto answer = Answer(second, [&](QWidget* reminder) {
        auto* countdown = Child<QTimer>(*reminder, "tmrCountdown");
        folder_.Clock().Advance(59);
        Fire(countdown);
        atFiftyNine = Child<QLabel>(*reminder, "lblTimeValue")->text();
        openAtFiftyNine = reminder->isVisible();
        folder_.Clock().Advance(1);
        Fire(countdown);
    });
    Scan(3);
    EXPECT_EQ(second.window, "frmReminder");
    EXPECT_FALSE(second.fiveMinutesShown);
    EXPECT_TRUE(openAtFiftyNine);
    EXPECT_EQ(atFiftyNine, "00:01");
    EXPECT_EQ(desktop_.ShutdownCalls(),
              (std::vector<TFakeDesktop::TShutdownCall>{{TShutdownKind::PowerOff, 60}}));
}

TEST_F(TimeUpTest, WithoutWindowsTheShutdownAlsoWaitsTheCountdownNobodySaw) {
    ListTwoPrograms(TExpirationAction::ShutdownComputer);
    twtest::TTestProgram windowless(desktop_, folder_);
    for (int scan = 0; scan < 3; ++scan) {
        folder_.Clock().Advance(3);
        Fire(windowless.Timer("tmrScan"));
    }
    // The windowed program counts down a minute and then asks for a minute's warning.
    EXPECT_EQ(desktop_.ShutdownCalls(),
              (std::vector<TFakeDesktop::TShutdownCall>{{TShutdownKind::PowerOff, 120}}));
}

TEST_F(TimeUpTest, ReminderOnlyHasNoCountdownAndContinueDoesNothing) {
    ListTwoPrograms(TExpirationAction::ReminderOnly);
    Window();
    Scan(3);
    Scan(3);
    TSeen seen;
    QString choice;
    auto answer = Answer(seen, [&](QWidget* reminder) {
        choice = Child<QComboBox>(*reminder, "cbxExpirationAction")->currentText();
        // Escape and a close request from outside leave it open: only an answer closes it.
        QTest::keyClick(reminder, Qt::Key_Escape);
        reminder->close();
        if (reminder->isVisible()) {
            QTest::keyClick(reminder, Qt::Key_Return);
        }
    });
    Scan(3);
    EXPECT_EQ(seen.window, "frmReminder");
    EXPECT_TRUE(seen.choiceShown);
    EXPECT_FALSE(seen.countdownShown);
    EXPECT_EQ(choice, "Continue");
    EXPECT_TRUE(desktop_.CloseRequests().empty());
    EXPECT_TRUE(desktop_.ShutdownCalls().empty());
    Scan(3); // not due again for five minutes, and nothing is closed meanwhile
    EXPECT_TRUE(desktop_.CloseRequests().empty());
}

// Its height and the memos it shows follow the part of the day.
class ReminderLayoutTest : public TimeUpTest, public ::testing::WithParamInterface<int> {
  protected:
    ReminderLayoutTest() : TimeUpTest(Today + GetParam() * OneHour) {}
};

TEST_P(ReminderLayoutTest, HeightAndMemosFollowThePartOfTheDay) {
    ListTwoPrograms(TExpirationAction::ReminderOnly);
    Window();
    Scan(3);
    Scan(3);
    int height = 0;
    std::vector<bool> memosShown;
    int firstMemoTop = 0;
    auto answer = twtest::TModalAnswer([&](QWidget* reminder) {
        height = reminder->height();
        for (const char* memo :
             {"memReminderMorning", "memReminderAfternoon", "memReminderEvening"}) {
            auto* shown = Child<QWidget>(*reminder, memo);
            memosShown.push_back(shown->isVisible());
            if (shown->isVisible() && firstMemoTop == 0) {
                firstMemoTop = shown->y();
            }
        }
        twtest::Click(*reminder, "btnOk");
    });
    Scan(3);
    const TDayPart part = DayPart(folder_.ProgramClock().TimeOfDay());
    EXPECT_EQ(height, part == TDayPart::Morning ? 533 : part == TDayPart::Afternoon ? 413 : 295);
    EXPECT_EQ(memosShown,
              (std::vector<bool>{part == TDayPart::Morning, part != TDayPart::Evening, true}));
    EXPECT_EQ(firstMemoTop, 164); // the first memo shown closes up under the message
}

INSTANTIATE_TEST_SUITE_P(Hours, ReminderLayoutTest, ::testing::Values(9, 13, 19, 3));

// --- Block mode ---

TEST_F(TimeUpTest, BlockModeClosesListedWindowsUntilItEndsAndCannotBeEndedEarly) {
    ListTwoPrograms(TExpirationAction::ReminderOnly, 3600);
    Window();
    auto* focus = Find<QWidget>("btnFocus");
    const QString startedAt =
        QString::fromStdString(FormatHourMinute(folder_.ProgramClock().Now()));
    {
        auto answer = twtest::TModalAnswer([](QWidget* settings) {
            Child<QLineEdit>(*settings, "medTimeLimit")->setText("00:02");
            QTest::keyClick(settings, Qt::Key_Return);
        });
        twtest::Click(Window(), "btnFocus");
    }
    EXPECT_FALSE(focus->isVisible()); // nothing ends it early
    EXPECT_TRUE(Find<QWidget>("lblMain_FocusTime")->isVisible());
    EXPECT_FALSE(Find<QWidget>("lblMain_Time")->isVisible());
    EXPECT_EQ(Find<QLabel>("lblMain_FocusTime")->text(), "00:02");
    EXPECT_EQ(Find<QLabel>("lblMain_FocusTimeTitle")->text(), "Focus Ends In:");

    // A listed window in front: the Block reminder, which offers no choice, closes every
    // listed window; later scans ask the one in front again, without a reminder.
    TSeen seen;
    {
        auto answer = Answer(seen, [](QWidget* reminder) { twtest::Click(*reminder, "btnOk"); });
        Scan(3);
    }
    EXPECT_EQ(seen.window, "frmReminder");
    EXPECT_FALSE(seen.choiceShown);
    EXPECT_TRUE(seen.countdownShown);
    EXPECT_TRUE(seen.text.startsWith("You have chosen to focus"));
    EXPECT_EQ(CloseRequestsTo(chat_), 1);
    EXPECT_EQ(CloseRequestsTo(game_), 2);
    Scan(3);
    EXPECT_EQ(CloseRequestsTo(game_), 3);

    // "Focus Ends In" counts whole minutes gone: one, a minute and six seconds in.
    folder_.Clock().Advance(60);
    Fire(Find<QTimer>("tmrTime"));
    EXPECT_EQ(Find<QLabel>("lblMain_FocusTime")->text(), "00:01");
    // Each form of the Block time stands under its own title, the start included.
    const struct {
        const char *title, *link;
        QString value;
    } forms[] = {
        {"Time Now:", "Show Focus Start Time",
         QString::fromStdString(FormatHourMinute(folder_.ProgramClock().Now()))},
        {"Focus Started:", "Show Focus End Time", startedAt},
        {"Focus Ends In:", "Show Time Now", "00:01"},
    };
    for (const auto& form : forms) {
        QTest::mouseClick(Find<QLabel>("lblMain_FocusModeTimeLink"), Qt::LeftButton);
        EXPECT_EQ(Find<QLabel>("lblMain_FocusTimeTitle")->text(), form.title);
        EXPECT_EQ(Find<QLabel>("lblMain_FocusModeTimeLink")->text(), form.link);
        EXPECT_EQ(Find<QLabel>("lblMain_FocusTime")->text(), form.value);
    }

    // The period ends at the first scan after it: the header and the button come back, and
    // a listed window under the limit stays open.
    folder_.Clock().Advance(54);
    desktop_.ClearRecords();
    Scan(1);
    EXPECT_TRUE(focus->isVisible());
    EXPECT_TRUE(Find<QWidget>("lblMain_Time")->isVisible());
    EXPECT_FALSE(Find<QWidget>("lblMain_FocusTime")->isVisible());
    EXPECT_TRUE(desktop_.CloseRequests().empty());
}

// --- the memos ---

class MemoTest : public TimeUpTest {
  protected:
    MemoTest() : TimeUpTest(Today + 3.5 * OneHour) {}
    bool Marked(int part) {
        return Find<QComboBox>("cbxReminder")->itemData(part, Qt::UserRole + 1).toBool();
    }
};

TEST_F(MemoTest, TheSelectorFollowsTheDayAndMarksThePartsThatHaveAMemo) {
    Window();
    auto* selector = Find<QComboBox>("cbxReminder");
    auto* memo = Find<QPlainTextEdit>("mmReminder");
    EXPECT_EQ(selector->currentText(), "Evening"); // 03:30 belongs to the evening

    // Typing in one view shows in the other at once.
    memo->setPlainText("read to the children");
    EXPECT_EQ(Find<QPlainTextEdit>("mmReminderEvening")->toPlainText(), "read to the children");
    Find<QPlainTextEdit>("mmReminderMorning")->setPlainText("  \n\t ");
    Find<QPlainTextEdit>("mmReminderAfternoon")->setPlainText("write the report");
    EXPECT_EQ(program_->Options().GetReminder(1), "write the report");
    EXPECT_FALSE(Marked(0)); // blanks and line breaks are no memo
    EXPECT_TRUE(Marked(1));
    EXPECT_TRUE(Marked(2));

    // The open list draws the marks: the check picture at the right of marked rows only.
    selector->showPopup();
    QAbstractItemView* list = selector->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QImage drawn = list->viewport()->grab().toImage();
    const auto teal = [&](int row) {
        const QRect item = list->visualRect(selector->model()->index(row, 0));
        int count = 0;
        for (int x = item.right() - item.height() - 10; x <= item.right(); ++x) {
            for (int y = item.top(); y <= item.bottom(); ++y) {
                const QColor c = drawn.pixelColor(x, y);
                // The mark's teal: green and blue alike and well above red.
                count += c.green() > c.red() + 30 && std::abs(c.green() - c.blue()) < 20;
            }
        }
        return count;
    };
    EXPECT_EQ(teal(0), 0);
    EXPECT_GT(teal(1), 10);
    EXPECT_GT(teal(2), 10);
    selector->hidePopup();

    // 04:00 starts the morning at the next scan; a part chosen by hand stays until the
    // next part of the day begins.
    Scan(30 * 60);
    EXPECT_EQ(selector->currentText(), "Morning");
    EXPECT_TRUE(memo->toPlainText().trimmed().isEmpty());
    selector->setCurrentIndex(2);
    Scan(6 * 3600);
    EXPECT_EQ(selector->currentText(), "Evening");
    EXPECT_EQ(memo->toPlainText(), "read to the children");
    Scan(2 * 3600);
    EXPECT_EQ(selector->currentText(), "Afternoon");
}

TEST_F(MemoTest, ThePromptComesByItsRuleCountsRoundedDaysAndNeverStopsIt) {
    Window();
    program_->Options().Edit().ReminderChangePeriod = tw::TReminderChangePeriod::Weekly;
    program_->Options().Edit().ReminderChangedDateTime =
        folder_.ProgramClock().Now() - 7 - 13 * OneHour; // 7.5 days: 8
    program_->Options().Edit().ReminderShowedDateTime =
        folder_.ProgramClock().Now() - 6.4; // shown 6 days ago
    int prompts = 0;
    QString text;
    auto answer = twtest::TModalAnswer([&](QWidget* prompt) {
        ++prompts;
        text = Child<QLabel>(*prompt, "lblWarningText")->text();
        Child<QComboBox>(*prompt, "cbxReminderChangeFrequency")->setCurrentText("Never");
        QTest::keyClick(prompt, Qt::Key_Escape); // Escape answers as OK does
    });
    auto* timer = Find<QTimer>("tmrReminderChange");
    Fire(timer);
    EXPECT_EQ(prompts, 0); // shown too recently
    folder_.Clock().Advance(0.2 * SecondsPerDay);
    Fire(timer);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(text, "You have not updated your reminders in 8 day(s)");
    EXPECT_EQ(program_->Options().Edit().ReminderChangePeriod, tw::TReminderChangePeriod::Never);
    EXPECT_DOUBLE_EQ(program_->Options().Edit().ReminderShowedDateTime,
                     folder_.ProgramClock().Now());
    folder_.Clock().Advance(30 * SecondsPerDay);
    Fire(timer);
    EXPECT_EQ(prompts, 1); // "Never" asks no more
}

// --- windows the timers outlive ---

TEST_F(TimeUpTest, ADailyResetWhileTheDeleteQuestionIsOpenDeletesTheItemChosen) {
    ListTwoPrograms(TExpirationAction::ReminderOnly);
    desktop_.SetForeground(0);
    Window();
    Find<QAction>("actViewMain")->trigger();
    auto* list = Find<QListWidget>("lbxMain_Applications");
    list->setCurrentRow(1);
    ASSERT_EQ(list->item(1)->text(), QString::fromLatin1(Game));
    // While the question is open the day ends: the reset frees today's list and the rows
    // are drawn anew.
    auto answer = twtest::TModalAnswer([&](QWidget* question) {
        folder_.Clock().Advance(20 * 3600);
        Fire(ProgramTimer("tmrScan"));
        Fire(Find<QTimer>("tmrUsage"));
        static_cast<QDialog*>(question)->accept();
    });
    twtest::Click(Window(), "btnApp_Delete");
    EXPECT_EQ(twtest::Captions(*list), QStringList{QString::fromLatin1(Chat)});
    TOptions reloaded(folder_.Data());
    ASSERT_EQ(reloaded.Values().MonitoredList.Count(), 1);
    EXPECT_EQ(reloaded.Values().MonitoredList.Items(0).Name, Chat);
}

} // namespace
