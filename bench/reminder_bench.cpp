// Measures how long the time-up reminder takes to appear: from the start of the scan that
// reaches the limit to the moment the reminder's window is on the screen (exposed), with the
// real main window and a listed window in front on the scripted desktop. The program clock
// moves only when told, so every round reaches the limit at once. Prints the median and the
// worst of 50 rounds.
//
// Run it on an X display (scripts/with-x-server.sh --window-manager openbox ...).
#include "dialogs/message_windows.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/test_data_folder.h"
#include "ui/main_window.h"
#include "ui/test_program.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace tw;
using Clock = std::chrono::steady_clock;

constexpr int Rounds = 50;
const char* const Game = "/usr/games/game";

void Fire(QTimer* timer) {
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

// Notes when the reminder's window is first exposed, then answers it.
class TReminderWatch : public QObject {
  public:
    Clock::time_point shownAt;
    bool shown = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        QWidget* modal = QApplication::activeModalWidget();
        if (!shown && event->type() == QEvent::Expose && window && window->isExposed() && modal &&
            modal->objectName() == QStringLiteral("frmReminder") &&
            modal->windowHandle() == window) {
            shown = true;
            shownAt = Clock::now();
            QTimer::singleShot(0, [] {
                if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    modal->accept();
                }
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    twtest::TestDataFolder folder(EncodeDate(2026, 12, 7) + 10 * OneHour);
    {
        TOptions options(folder.Data());
        auto item = std::make_unique<TMonitoredItem>();
        item->Name = Game;
        item->Caption = Game;
        item->ItemType = TMonitoredItemType::mitApp;
        options.Edit().MonitoredList.Add(Game, std::move(item));
        options.Edit().TimeLimitSeconds = 1;
        options.Edit().ExpirationAction = TExpirationAction::ReminderOnly;
        if (!options.Save()) {
            std::fprintf(stderr, "could not write the settings\n");
            return 1;
        }
    }
    TFakeDesktop desktop;
    desktop.SetForeground(AddEditorWindow(desktop, Game));
    twtest::TTestProgram program(desktop, folder);
    TfrmMain window(program.Kit(), desktop, program.Options(), program.Program());
    window.show();
    QTimer* scan = program.Timer("tmrScan");
    QTimer* reArm = program.Timer("tmrReminderOnly");

    TReminderWatch watch;
    application.installEventFilter(&watch);
    std::vector<double> milliseconds;
    folder.Clock().Advance(3);
    Fire(scan); // the first listed scan logs the time that reaches the limit
    for (int round = 0; round < Rounds; ++round) {
        folder.Clock().Advance(300);
        Fire(reArm);
        watch.shown = false;
        const Clock::time_point start = Clock::now();
        Fire(scan); // returns once the reminder is answered
        if (!watch.shown) {
            std::fprintf(stderr, "round %d: no reminder appeared\n", round);
            return 1;
        }
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(watch.shownAt - start).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("reminder on the screen after the scan began: median %.1f ms, worst %.1f ms "
                "(%d rounds, platform %s)\n",
                milliseconds[milliseconds.size() / 2], milliseconds.back(), Rounds,
                qPrintable(QGuiApplication::platformName()));
    return 0;
}
