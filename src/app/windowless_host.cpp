#include "app/windowless_host.h"

#include <cstdio>

namespace tw {

void TWindowlessHost::Attach(TScanEngine& engine) {
    engine_ = &engine;
    scanTimer_ = loop_.Add("tmrScan", options_.ScanPeriodSeconds * 1000, true,
                           [&engine] { engine.ScanTimer(); });
    reminderOnlyTimer_ =
        loop_.Add("tmrReminderOnly", 300000, false, [&engine] { engine.ReminderOnlyTimer(); });
    loop_.Add("tmrTimeSynchronization", 1800000, true,
              [&engine] { engine.TimeSynchronizationTimer(); });
}

bool TWindowlessHost::ShowReminder(const TOnlineTimeApplication& probe, bool isBlock, bool) {
    std::fprintf(stderr, "Time is up: %s%s\n", probe.ExeName.c_str(),
                 isBlock ? " (Block mode)" : "");
    if (isBlock || options_.ExpirationAction == 1) {
        engine_->CloseAllListed();
    } else if (options_.ExpirationAction == 2) {
        engine_->ShutdownComputer(1, 60);
    }
    return false;
}

} // namespace tw
