#pragma once

#include "monitor/scan_host.h"

#include <functional>

namespace tw {

// The engine's host in the program: what it asks and shows goes to the attached view; without
// one (the windowless program, or before the window is made), nothing is shown and nobody is
// asked.
class TViewHost final : public TScanHost {
  public:
    // timeUpAction: what the limit does without a view to ask (the configured action).
    explicit TViewHost(std::function<TExpirationAction(bool isBlock)> timeUpAction)
        : timeUpAction_(std::move(timeUpAction)) {}

    void Attach(TScanHost* view) { view_ = view; }

    // Without a view the configured action follows at once, and a shutdown takes the
    // countdown nobody saw on top of its own warning.
    TReminderChoice ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                 bool fiveMinutesAllowed) override;
    void SelectDayPart(TDayPart dayPart) override;
    void SetBlockDisplay(bool on) override;
    void RedisplayAfterReset() override;
    void ShowAddressNotice(TAddressProblem problem) override;
    void ShowFailureNotice(const std::string& text) override;

  private:
    std::function<TExpirationAction(bool isBlock)> timeUpAction_;
    TScanHost* view_ = nullptr;
};

} // namespace tw
