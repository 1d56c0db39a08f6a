#include "app/timer_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = tw::TTimerLoop::TClock;
using std::chrono::milliseconds;

TEST(TimerLoopTest, FiresDueTimersInOrderAndRestartsTheirInterval) {
    tw::TTimerLoop loop;
    std::vector<std::string> fired;
    const auto start = Clock::now();
    loop.Add("fast", 100, true, [&] { fired.push_back("fast"); });
    loop.Add("slow", 1000, true, [&] { fired.push_back("slow"); });
    loop.Add("off", 10, false, [&] { fired.push_back("off"); });
    auto noError = [](const std::exception& e) { FAIL() << e.what(); };

    loop.FireDue(start + milliseconds(50), noError);
    EXPECT_TRUE(fired.empty());
    loop.FireDue(start + milliseconds(150), noError);
    loop.FireDue(start + milliseconds(1200), noError);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast", "fast", "slow"}));
    EXPECT_GE(loop.NextDue(), start + milliseconds(1300)); // counted from the last firing
}

TEST(TimerLoopTest, EnablingARunningTimerKeepsItsInterval) {
    tw::TTimerLoop loop;
    int id = loop.Add("re-arm", 300000, false, [] {});
    EXPECT_EQ(loop.NextDue(), Clock::time_point::max());
    loop.SetEnabled(id, true);
    const auto due = loop.NextDue();
    loop.SetEnabled(id, true);
    EXPECT_EQ(loop.NextDue(), due);
    loop.SetEnabled(id, false);
    EXPECT_FALSE(loop.IsEnabled(id));
}

TEST(TimerLoopTest, AFailingHandlerIsReportedAndTheOthersStillRun) {
    tw::TTimerLoop loop;
    int ran = 0;
    std::vector<std::string> errors;
    loop.Add("broken", 1, true, [] { throw std::runtime_error("boom"); });
    loop.Add("fine", 1, true, [&] { ++ran; });
    loop.FireDue(Clock::now() + milliseconds(10),
                 [&](const std::exception& e) { errors.push_back(e.what()); });
    EXPECT_EQ(errors, std::vector<std::string>{"boom"});
    EXPECT_EQ(ran, 1);
}

} // namespace
