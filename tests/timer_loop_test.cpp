#include "app/timer_loop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = tw::TTimerLoop::TClock;
using std::chrono::milliseconds;

TEST(TimerLoopTest, DueTimersFireInOrderAndAFailingOneIsReportedWithoutStoppingTheOthers) {
    tw::TTimerLoop loop;
    std::vector<std::string> fired;
    std::vector<std::string> errors;
    const auto start = Clock::now();
    loop.Add("fast", 100, true, [&] { fired.push_back("fast"); });
    loop.Add("broken", 100, true, [] { throw std::runtime_error("boom"); });
    loop.Add("slow", 1000, true, [&] { fired.push_back("slow"); });
    const int rearm = loop.Add("re-arm", 300000, false, [&] { fired.push_back("re-arm"); });
    auto report = [&](const std::exception& e) { errors.push_back(e.what()); };

    loop.FireDue(start + milliseconds(50), report);
    EXPECT_TRUE(fired.empty());
    loop.FireDue(start + milliseconds(150), report);
    loop.FireDue(start + milliseconds(1200), report);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast", "fast", "slow"}));
    EXPECT_EQ(errors, (std::vector<std::string>{"boom", "boom"}));
    EXPECT_GE(loop.NextDue(), start + milliseconds(1300)); // counted from the last firing

    // Enabling a running timer keeps its interval; enabling a stopped one starts a new one.
    loop.SetEnabled(rearm, true);
    const auto due = loop.NextDue();
    loop.SetEnabled(rearm, true);
    EXPECT_EQ(loop.NextDue(), due);
}

// The end of the session arrives as a signal while the loop waits: `end` runs once, on the
// loop's own thread, and the loop ends after it.
TEST(TimerLoopTest, TheSessionsEndSignalEndsTheLoopAfterRunningTheEndOnce) {
    tw::TTimerLoop loop;
    int ends = 0;
    tw::TSessionEndWatch sessionEnd([&] {
        ++ends;
        loop.Quit();
    });
    int ticks = 0;
    loop.Add("tick", 10, true, [&] {
        if (++ticks == 3) {
            std::raise(SIGTERM);
            std::raise(SIGINT);
        }
    });
    loop.Add("give up", 5000, true, [&] { loop.Quit(); });
    loop.Run(sessionEnd, [](const std::exception&) {});
    EXPECT_EQ(ends, 1);
    EXPECT_GE(ticks, 3);
    EXPECT_LT(ticks, 100) << "the loop ran on until it gave up";
}

} // namespace
