#pragma once

// The engine over a Wayland desktop, as every compositor's end-to-end test drives it: a real
// Qt Wayland client listed, counted in the database, closed at the limit.
#include "monitor/scan_engine.h"
#include "platform/desktop.h"
#include "storage/date_format.h"
#include "support/child_process.h"
#include "support/test_data_folder.h"
#include "support/test_scan_host.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace twtest {

// A Qt client's first window can take seconds on a machine busy with builds.
constexpr int WaylandWindowShownMs = 30000;

inline std::string WaylandClientProgram() {
    return OwnFolder() + "/wayland_test_client";
}

// The window in front once it is the program's.
inline tw::TWindowFacts FrontOnceItIs(tw::TDesktop& desktop, const std::string& executable) {
    tw::TWindowFacts front;
    WaitUntil(
        [&] {
            front = desktop.WhatIsInFront();
            return front.executablePath == executable;
        },
        WaylandWindowShownMs);
    return front;
}

inline bool ShowsWindowOf(tw::TDesktop& desktop, const std::string& executable) {
    bool shown = false;
    desktop.DescribeTopLevelWindows([&](const tw::TWindowFacts& facts) {
        shown = shown || facts.executablePath == executable;
        return true;
    });
    return shown;
}

// The engine over the desktop with the test client listed under "Close Browser/App.", its
// reminder answered with the close, and the day's limit an hour away.
class TListedClientEngine {
  public:
    explicit TListedClientEngine(tw::TDesktop& desktop)
        : desktop_(desktop), folder_(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour),
          options_(folder_.Data()) {
        options_.Edit().TimeLimitSeconds = 3600;
        options_.Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = WaylandClientProgram();
        item->Caption = "Wayland client";
        item->ItemType = tw::TMonitoredItemType::mitApp;
        options_.Edit().MonitoredList.Add("Wayland client", std::move(item));
        EXPECT_TRUE(options_.MonitoredItemsSave());
        host_.answer = [](bool, bool) {
            return tw::TReminderChoice{false, tw::TExpirationAction::CloseListed};
        };
        engine_ = std::make_unique<tw::TScanEngine>(desktop, options_, host_, host_, true);
    }

    tw::TScanEngine& Engine() { return *engine_; }
    tw::TOptions& Options() { return options_; }
    int Total() { return engine_->Logger().Total; }

    // One cycle three seconds after the last, the desktop's notices handled first as the
    // program's own loop does.
    void Scan() {
        PassNotices();
        folder_.Clock().Advance(3);
        engine_->ScanTimer();
    }

    // Hands the desktop's waiting notices to the engine; true when one was the lock.
    bool PassNotices() {
        bool locked = false;
        tw::TNotice notice;
        while (desktop_.NextNotice(notice)) {
            locked = locked || notice.what == tw::TDesktopNotice::SessionLock;
            engine_->HandleNotice(notice);
        }
        return locked;
    }

    int Rows() {
        return std::stoi(folder_.Scalar("actmondb.sqlite",
                                        "SELECT COUNT(*) FROM applications WHERE app_name = '" +
                                            WaylandClientProgram() + "'"));
    }

    // Three cycles with the client in front are counted, in the database as in the day's total.
    void ExpectCounted() {
        const int before = Total();
        for (int i = 0; i < 3; ++i) {
            Scan();
        }
        EXPECT_GT(Rows(), 0);
        EXPECT_EQ(Total(), before + 9);
    }

    // The limit comes at the next cycles: the reminder shows once, and the compositor takes the
    // client's window away. (Whether the client then ends is Qt's business: a close that comes
    // early in its life sometimes leaves it running without a window.)
    ::testing::AssertionResult ClosedAtTheLimit() {
        options_.Edit().TimeLimitSeconds = Total() + 3;
        if (!WaitUntil(
                [&] {
                    Scan();
                    return host_.shown.size() == 1;
                },
                5000)) {
            return ::testing::AssertionFailure() << "no reminder at the limit";
        }
        if (!WaitUntil([&] { return !ShowsWindowOf(desktop_, WaylandClientProgram()); },
                       WaylandWindowShownMs)) {
            return ::testing::AssertionFailure() << "the client's window was not closed";
        }
        return ::testing::AssertionSuccess();
    }

  private:
    tw::TDesktop& desktop_;
    TestDataFolder folder_;
    tw::TOptions options_;
    TTestScanHost host_;
    std::unique_ptr<tw::TScanEngine> engine_;
};

} // namespace twtest
