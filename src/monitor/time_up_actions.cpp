#include "monitor/time_up_actions.h"

namespace tw {

namespace {

// A shutdown at the limit powers off (not restarts) and leaves a minute to save work.
constexpr TShutdownKind ShutdownKindAtLimit = TShutdownKind::PowerOff;
constexpr int ShutdownWarningSeconds = 60;

} // namespace

TTimeUpActions::TTimeUpActions(TDesktop& desktop, TOptions& options, TKeptAddresses& kept)
    : desktop_(desktop), options_(options), closeProbe_(desktop, options.Data().Log(), kept) {}

TExpirationAction TTimeUpActions::Action(bool isBlock) const {
    return isBlock ? TExpirationAction::CloseListed : options_.Values().ExpirationAction;
}

void TTimeUpActions::CarryOut(const TReminderChoice& choice) {
    switch (*choice.action) {
    case TExpirationAction::ReminderOnly:
        break;
    case TExpirationAction::CloseListed:
        CloseAllListed();
        break;
    case TExpirationAction::ShutdownComputer:
        // Programs are asked to close, yet one that hangs is ended unasked: what this
        // program holds goes to disk first.
        options_.Save();
        desktop_.ShutdownComputer(ShutdownKindAtLimit,
                                  ShutdownWarningSeconds + choice.unshownCountdownSeconds);
        break;
    }
}

void TTimeUpActions::CloseAllListed() {
    closeProbe_.Execute(true, &options_.Values().MonitoredList);
}

} // namespace tw
