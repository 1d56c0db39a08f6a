#pragma once

#include "app/program.h"
#include "app/qt_timers.h"
#include "dialogs/message_windows.h"
#include "platform/fake/fake_instance_lock.h"
#include "support/test_data_folder.h"
#include "ui/test_look.h"

#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

namespace twtest {

// The program of a window test, over the test's data folder: its timers on Qt's loop (found
// by name), what they throw shown as the program shows it, the options read afresh, the
// windows drawn with its appearance and the engine started, as the windowed entry does
// before it makes the main window.
class TTestProgram {
  public:
    // Not started: the test starts it, as the entry does after the first start's settings.
    TTestProgram(tw::TDesktop& desktop, TestDataFolder& folder, bool started = true)
        : folder_(folder),
          program_(desktop, locks_, timers_, folder.ProgramClock(), folder.Places(), folder.Log()) {
        kit_.UseLook(program_.Data().Appearance());
        program_.LoadOptions();
        // The clean-up's slices when the test fires their timer.
        program_.SetSliceRunner(std::make_unique<tw::TInlineSliceRunner>());
        if (started) {
            program_.Start();
        }
    }

    tw::TProgram& Program() { return program_; }
    tw::TOptions& Options() { return program_.Options(); }
    tw::TWindowKit& Kit() { return kit_.Kit(); }
    QTimer* Timer(const char* name) {
        auto* timer = timerOwner_.findChild<QTimer*>(QString::fromLatin1(name));
        EXPECT_NE(timer, nullptr) << name;
        return timer;
    }

  private:
    TestDataFolder& folder_;
    TestKit kit_{folder_.Log()};
    QObject timerOwner_;
    tw::TQtTimers timers_{timerOwner_, [this](const std::exception& e) {
                              tw::ReportApplicationException(kit_.Kit(), e);
                          }};
    tw::TFakeInstanceLocks locks_;
    tw::TProgram program_;
};

} // namespace twtest
