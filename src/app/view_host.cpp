#include "app/view_host.h"

#include "monitor/probe.h"

#include <cstdio>

namespace tw {

TReminderChoice TViewHost::ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                        bool fiveMinutesAllowed) {
    if (view_) {
        return view_->ShowReminder(probe, isBlock, fiveMinutesAllowed);
    }
    std::fprintf(stderr, "Time is up: %s%s\n", probe.ExeName.c_str(),
                 isBlock ? " (Block mode)" : "");
    TReminderChoice choice;
    choice.action = timeUpAction_(isBlock);
    choice.unshownCountdownSeconds = TimeUpCountdownSeconds;
    return choice;
}

void TViewHost::SelectDayPart(TDayPart dayPart) {
    if (view_) {
        view_->SelectDayPart(dayPart);
    }
}

void TViewHost::SetBlockDisplay(bool on) {
    if (view_) {
        view_->SetBlockDisplay(on);
    }
}

void TViewHost::RedisplayAfterReset() {
    if (view_) {
        view_->RedisplayAfterReset();
    }
}

void TViewHost::ShowAddressNotice(TAddressProblem problem) {
    if (view_) {
        view_->ShowAddressNotice(problem);
    }
}

void TViewHost::ShowFailureNotice(const std::string& text) {
    if (view_) {
        view_->ShowFailureNotice(text);
    }
}

} // namespace tw
