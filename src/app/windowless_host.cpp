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
    engine_->CarryOutTimeUpAction(engine_->TimeUpAction(isBlock));
    return false;
}

} // namespace tw
