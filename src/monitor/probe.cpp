#include "monitor/probe.h"

#include "base/exception.h"
#include "storage/error_log.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tw {

namespace {

constexpr const char* Unit = "OnlineTimeApplicationObjects";
constexpr const char* ExecuteLabel = "; TOnlineTimeApplication.Execute: ";
constexpr int MozillaDepthLimit = 4;
constexpr int OperaDepthLimit = 8;

bool HasAddressPrefix(const std::string& value) {
    static constexpr std::array<const char*, 4> prefixes{"http://", "https://", "ftp://",
                                                         "ftps://"};
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const char* prefix) { return value.starts_with(prefix); });
}

// Looks for the address field in a browser window's accessibility tree: the first
// editable-text object within the depth limit whose value is a full address (and, for
// Opera, which is exactly focusable and hot-tracked).
class TAddressSearch {
  public:
    TAddressSearch(TBrowserKind kind, int depthLimit) : kind_(kind), limit_(depthLimit) {}

    std::optional<std::string> Run(const std::shared_ptr<TAccessible>& root) {
        Walk(root, 0);
        return found_;
    }

  private:
    // Each returns false once the address is found, which ends the whole search.
    bool Walk(const std::shared_ptr<TAccessible>& object, int depth) {
        if (!object || depth > limit_) {
            return true;
        }
        if (!Examine(*object)) {
            return false;
        }
        long count = 0;
        if (!object->ChildCount(count) || count <= 0) {
            return true;
        }
        std::vector<TAccVariant> children;
        if (object->Children(0, count, children)) {
            for (const TAccVariant& child : children) {
                if (!Visit(*object, child, depth + 1)) {
                    return false;
                }
            }
            return true;
        }
        if (object->OffersEnumeration()) {
            return VisitEnumerated(*object, depth + 1);
        }
        return VisitNavigated(*object, depth + 1);
    }

    bool VisitEnumerated(TAccessible& parent, int depth) {
        TAccVariant child;
        bool fetched = false;
        for (parent.EnumerateNext(child, fetched); fetched; parent.EnumerateNext(child, fetched)) {
            if (!Visit(parent, child, depth)) {
                return false;
            }
        }
        return true;
    }

    bool VisitNavigated(TAccessible& parent, int depth) {
        // A tree whose navigation leads back to any earlier sibling would otherwise keep
        // the scan busy forever.
        std::vector<TAccVariant> seen;
        TAccVariant child =
            parent.Navigate(TAccessible::NavFirstChild, TAccVariant::Number(0 /* self */));
        while (child.kind != TAccVariant::Empty &&
               std::find(seen.begin(), seen.end(), child) == seen.end()) {
            seen.push_back(child);
            if (!Visit(parent, child, depth)) {
                return false;
            }
            child = parent.Navigate(TAccessible::NavNext, child);
        }
        return true;
    }

    bool Visit(TAccessible& parent, const TAccVariant& child, int depth) {
        if (depth - 1 >= limit_) {
            return true;
        }
        switch (child.kind) {
        case TAccVariant::Int32:
            return Walk(parent.Child(child.number), depth);
        case TAccVariant::Object:
            return Walk(child.object, depth);
        default:
            return true;
        }
    }

    bool Examine(TAccessible& object) {
        const TAccVariant role = object.Role();
        if (role.kind != TAccVariant::Int32) {
            return true;
        }
        std::string value = object.Value();
        if (!HasAddressPrefix(value) || role.number != TAccessible::RoleText) {
            return true;
        }
        if (kind_ == TBrowserKind::Opera) {
            const TAccVariant state = object.State();
            if (state.kind != TAccVariant::Int32 ||
                state.number != TAccessible::StateFocusableHotTracked) {
                return true;
            }
        } else if (kind_ != TBrowserKind::Firefox) {
            return true;
        }
        found_ = std::move(value);
        return false;
    }

    TBrowserKind kind_;
    int limit_;
    std::optional<std::string> found_;
};

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
    default:
        return "";
    }
}

bool AddressProblemNeedsThePerson(TAddressProblem problem) {
    return problem == TAddressProblem::NoAccessibilityBus ||
           problem == TAddressProblem::AccessibilityOff ||
           problem == TAddressProblem::StartedBeforeAccessibility;
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
            desktop_.EnumTopLevelWindows([this](TWindowHandle w) { return TopLevelStep(w); });
        } else if (TWindowHandle foreground = desktop_.ForegroundWindow(); foreground != 0) {
            // With nothing in front there is no process to name; the fields stay empty.
            TopLevelStep(foreground);
        }
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, ExecuteLabel));
    }
    CloseAll = false;
    CloseList = nullptr;
}

bool TOnlineTimeApplication::TopLevelStep(TWindowHandle window) {
    if (!CloseAll && Visited) {
        return true;
    }
    const bool goOn = CloseAll;
    if (!CloseAll) {
        Visited = true;
    }
    Window = window;
    BrowserKind = TBrowserKind::Desktop;
    ExeName = desktop_.ExecutablePath(window);
    Url.clear();
    AddressProblem = TAddressProblem::NoProblem;
    desktop_.EnumDescendants(window, [this](TWindowHandle c) { return DescendantStep(c); });
    if (CloseAll) {
        int index = -1;
        TMonitoredItemType kind = TMonitoredItemType::mitAll;
        std::string caption;
        if (IsListed(*this, CloseList, index, kind, caption)) {
            desktop_.PostCloseRequest(window);
        }
    }
    return goOn;
}

bool TOnlineTimeApplication::DescendantStep(TWindowHandle child) {
    const std::string className = desktop_.ClassName(child);
    if (className == "MozillaWindowClass") {
        BrowserKind = TBrowserKind::Firefox;
        AccessibilitySearch(child, MozillaDepthLimit);
        NoteWhyNoAddress(child);
        return false;
    }
    if (className == "OperaWindowClass") {
        BrowserKind = TBrowserKind::Opera;
        AccessibilitySearch(child, OperaDepthLimit);
        NoteWhyNoAddress(child);
        return false;
    }
    if (className == "Chrome_AutocompleteEditView") {
        BrowserKind = TBrowserKind::Chrome;
        Url = desktop_.WindowText(child);
        NoteWhyNoAddress(child);
        return false;
    }
    if (className == "Edit" && BrowserKind == TBrowserKind::InternetExplorer) {
        if (Url.empty()) {
            Url = desktop_.WindowText(child);
        }
        return false;
    }
    if (className == "AddressDisplay Control" || className == "Address Band Root") {
        BrowserKind = TBrowserKind::InternetExplorer;
    }
    return true;
}

void TOnlineTimeApplication::AccessibilitySearch(TWindowHandle child, int depthLimit) {
    std::shared_ptr<TAccessible> root = desktop_.AccessibleObject(child);
    if (!root) {
        return;
    }
    // A broken child enumeration in one browser window ends the search in that window
    // only: in a close-all pass the remaining windows must still be asked to close.
    try {
        if (auto address = TAddressSearch(BrowserKind, depthLimit).Run(root)) {
            Url = std::move(*address);
        }
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, ExecuteLabel));
    }
}

void TOnlineTimeApplication::NoteWhyNoAddress(TWindowHandle child) {
    if (Url.empty()) {
        AddressProblem = desktop_.AddressProblem(child);
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
