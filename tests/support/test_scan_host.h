#pragma once

#include "monitor/scan_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace twtest {

// The engine's host and timers in tests: records what the engine asked of them, and answers
// the reminder as the test says (by default with nothing to carry out and no snooze).
class TTestScanHost : public tw::TScanHost, public tw::TScanTimers {
  public:
    struct Shown {
        bool isBlock;
        bool fiveMinutesAllowed;
    };
    // What the user does in the reminder.
    std::function<tw::TReminderChoice(bool isBlock, bool five)> answer = [](bool, bool) {
        return tw::TReminderChoice{};
    };
    std::vector<Shown> shown;
    std::vector<tw::TDayPart> dayParts;
    std::vector<bool> blockDisplay;
    int redisplays = 0;
    std::vector<tw::TAddressProblem> addressNotices;
    bool scanEnabled = true;
    bool reArmEnabled = false;
    std::vector<std::string> notices;

    tw::TReminderChoice ShowReminder(const tw::TOnlineTimeApplication&, bool isBlock,
                                     bool five) override {
        EXPECT_FALSE(scanEnabled) << "no cycle may start while the reminder is open";
        shown.push_back({isBlock, five});
        return answer(isBlock, five);
    }
    void SelectDayPart(tw::TDayPart part) override { dayParts.push_back(part); }
    void SetBlockDisplay(bool on) override { blockDisplay.push_back(on); }
    void RedisplayAfterReset() override { ++redisplays; }
    void SetScanTimerEnabled(bool enabled) override { scanEnabled = enabled; }
    void EnableReminderOnlyTimer() override { reArmEnabled = true; }
    void DisableReminderOnlyTimer() override { reArmEnabled = false; }
    void ShowAddressNotice(tw::TAddressProblem problem) override {
        addressNotices.push_back(problem);
    }
    void ShowFailureNotice(const std::string& text) override { notices.push_back(text); }
};

} // namespace twtest
