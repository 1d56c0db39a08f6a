#pragma once

#include "items/monitored_list.h"
#include "monitor/kept_addresses.h"
#include "platform/browser_kind.h"
#include "platform/desktop.h"
#include "storage/logged_activity.h"

#include <string>

namespace tw {

class TErrorLog;

// What the activity log stores for each kind.
const char* BrowserKindText(TBrowserKind kind);
// What the person is told about a browser whose address could not be read; empty for NoProblem.
const char* AddressProblemText(TAddressProblem problem);
// Whether the person can do something about it (restart the browser, switch accessibility
// on), rather than a passing hitch.
bool AddressProblemNeedsThePerson(TAddressProblem problem);

// What the user is looking at, as the desktop describes it: the foreground window, the
// executable that owns it and, for a browser, the address shown. Its second mode asks every
// window on the desktop that the list covers to close.
class TOnlineTimeApplication {
  public:
    // The addresses kept per window while their titles stay are its own, or shared with
    // the other probes of the program.
    TOnlineTimeApplication(TDesktop& desktop, TErrorLog& log)
        : desktop_(desktop), log_(log), kept_(ownKept_) {}
    TOnlineTimeApplication(TDesktop& desktop, TErrorLog& log, TKeptAddresses& kept)
        : desktop_(desktop), log_(log), kept_(kept) {}
    TOnlineTimeApplication(const TOnlineTimeApplication&) = delete;
    TOnlineTimeApplication& operator=(const TOnlineTimeApplication&) = delete;

    bool Visited = false;
    std::string ExeName;
    TBrowserKind BrowserKind = TBrowserKind::Desktop;
    std::string Url;
    bool CloseAll = false;
    const TMonitoredList* CloseList = nullptr;
    TWindowHandle Window = 0;
    // Why a browser window examined last gave no address; NoProblem for other windows.
    TAddressProblem AddressProblem = TAddressProblem::NoProblem;

    // Refreshes the fields from the foreground window (closeAll false), or posts a close
    // request to every top-level window whose program or page is on the list. Failures
    // are reported to the error log, never passed on.
    void Execute(bool closeAll, const TMonitoredList* list);
    std::string BrowserName() const { return BrowserKindText(BrowserKind); }
    // The fields the activity log records.
    TLoggedActivity Activity() const { return {ExeName, Url, BrowserName()}; }

  private:
    // Fills the fields from one window's facts and reports a failed address read.
    void Take(const TWindowFacts& facts);

    TDesktop& desktop_;
    TErrorLog& log_;
    TKeptAddresses ownKept_;
    TKeptAddresses& kept_;
};

// Matches the probe's executable and address against the list. Returns whether an item
// was found; index, kind (mitApp or mitWeb) and caption describe it. The list must exist.
bool IsListed(const TOnlineTimeApplication& probe, const TMonitoredList* list, int& index,
              TMonitoredItemType& kind, std::string& caption);

} // namespace tw
