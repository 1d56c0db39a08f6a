#include "monitor/probe.h"

#include "base/exception.h"
#include "storage/error_log.h"

namespace tw {

namespace {

constexpr const char* Unit = "OnlineTimeApplicationObjects";
constexpr const char* ExecuteLabel = "; TOnlineTimeApplication.Execute: ";

} // namespace

const char* BrowserKindText(TBrowserKind kind) {
    switch (kind) {
    case TBrowserKind::InternetExplorer:
        return "MS Internet Explorer";
    case TBrowserKind::Firefox:
        return "Mozila FireFox";
    case TBrowserKind::Chrome:
        return "Google Chrome";
    case TBrowserKind::Opera:
        return "Opera";
    case TBrowserKind::Edge:
        return "Edge";
    case TBrowserKind::Brave:
        return "Brave";
    case TBrowserKind::Vivaldi:
        return "Vivaldi";
    default:
        return "Desktop Application";
    }
}

const char* AddressProblemText(TAddressProblem problem) {
    switch (problem) {
    case TAddressProblem::NoAccessibilityBus:
        return "This session has no accessibility bus, so no browser address can be read.";
    case TAddressProblem::AccessibilityOff:
        return "Accessibility is switched off in this session, so browser addresses cannot be "
               "read. Start Tallywick, which switches it on, then restart the browser.";
    case TAddressProblem::StartedBeforeAccessibility:
        return "The browser was started before accessibility was switched on, so its address "
               "cannot be read. Restart the browser.";
    case TAddressProblem::NotAnswering:
        return "The browser did not answer in time.";
    case TAddressProblem::NotFound:
        return "The browser's address bar was not found.";
    case TAddressProblem::BrowserAccessibilityOff:
        return "Firefox has its accessibility switched off, so its addresses cannot be read. In "
               "Firefox, open about:config, set accessibility.force_disabled to 0, then restart "
               "Firefox.";
    default:
        return "";
    }
}

bool AddressProblemNeedsThePerson(TAddressProblem problem) {
    return problem == TAddressProblem::NoAccessibilityBus ||
           problem == TAddressProblem::AccessibilityOff ||
           problem == TAddressProblem::StartedBeforeAccessibility ||
           problem == TAddressProblem::BrowserAccessibilityOff;
}

void TOnlineTimeApplication::Execute(bool closeAll, const TMonitoredList* list) {
    BrowserKind = TBrowserKind::Desktop;
    AddressProblem = TAddressProblem::NoProblem;
    try {
        Url.clear();
        ExeName.clear();
        Visited = false;
        Window = 0;
        CloseAll = closeAll;
        CloseList = list;
        if (closeAll) {
            desktop_.DescribeTopLevelWindows([this](const TWindowFacts& facts) {
                Take(facts);
                int index = -1;
                TMonitoredItemType kind = TMonitoredItemType::mitAll;
                std::string caption;
                if (IsListed(*this, CloseList, index, kind, caption)) {
                    desktop_.PostCloseRequest(facts.window);
                }
                return true;
            });
        } else if (const TWindowFacts facts = desktop_.WhatIsInFront(); facts.window != 0) {
            // With nothing in front there is no process to name; the fields stay empty.
            Take(facts);
            Visited = true;
        }
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, ExecuteLabel));
    }
    CloseAll = false;
    CloseList = nullptr;
}

void TOnlineTimeApplication::Take(const TWindowFacts& facts) {
    Window = facts.window;
    ExeName = facts.executablePath;
    BrowserKind = facts.browser;
    Url = kept_.AddressOf(facts);
    AddressProblem = Url.empty() ? facts.addressProblem : TAddressProblem::NoProblem;
    if (facts.readFailure) {
        // One browser window whose tree could not be walked costs its own address only: in
        // a close-all pass the remaining windows must still be asked to close.
        try {
            std::rethrow_exception(facts.readFailure);
        } catch (const std::exception& e) {
            log_.Report(ErrorReportText(e, ExecuteLabel));
        }
    }
}

bool IsListed(const TOnlineTimeApplication& probe, const TMonitoredList* list, int& index,
              TMonitoredItemType& kind, std::string& caption) {
    caption.clear();
    Require(list != nullptr, Unit, "list must not be null");
    index = list->FindMatch(probe.ExeName, probe.Url, kind);
    if (index != -1) {
        caption = list->Items(index).Caption;
    }
    return index != -1;
}

} // namespace tw
