#pragma once

#include "monitor/probe.h"
#include "monitor/scan_host.h"
#include "platform/desktop.h"
#include "storage/expiration_action.h"
#include "storage/options.h"

namespace tw {

// What happens at the limit or in a Block period: the action a reminder proposes and the scan
// enforces, and carrying out what the person chose.
class TTimeUpActions {
  public:
    // kept: the scan's addresses, so that a page the scan saw is closed whatever its address
    // bar shows meanwhile.
    TTimeUpActions(TDesktop& desktop, TOptions& options, TKeptAddresses& kept);

    // What the time-up reminder does when it closes unless the user picks otherwise, and
    // what the scan enforces on every listed cycle meanwhile: in Block mode the listed
    // windows are closed, otherwise the setting holds.
    TExpirationAction Action(bool isBlock) const;
    // What the person chose in the reminder: nothing, ask every listed window to close, or
    // shut the computer down with a minute's warning, lengthened by the part of the
    // reminder's countdown the host could not show. Throws the system's refusal of a
    // shutdown.
    void CarryOut(const TReminderChoice& choice);

  private:
    void CloseAllListed();

    TDesktop& desktop_;
    TOptions& options_;
    // A probe of its own, so that the scan's probe keeps the values of the running cycle.
    TOnlineTimeApplication closeProbe_;
};

} // namespace tw
