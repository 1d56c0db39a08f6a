#include "platform/linux/browser_address.h"

#include "base/text.h"
#include "platform/full_address.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace tw {

namespace {

using namespace std::chrono_literals;

constexpr const char* ApplicationRoot = "/org/a11y/atspi/accessible/root";
// The view class Chromium gives its omnibox, in every language and every browser built on
// Chromium's own toolbar.
constexpr const char* OmniboxViewClass = "OmniboxViewViews";
// The omnibox comes before any text field of the page in tree order; a few more candidates
// cover a find bar or a side panel's field standing before it.
constexpr int OmniboxCandidates = 4;
// A window without an omnibox (an app window, the developer tools) is searched again after a
// pause that doubles with each miss, up to the longest, since the search walks its whole tree.
constexpr auto OmniboxSearchPause = 2s;
constexpr int OmniboxSearchPauseDoublings = 5;
// Paths of windows not read for this long are dropped.
constexpr auto PathLifetime = 10min;
// As much of an omnibox's text as a window's title may hold.
constexpr std::size_t MaxAddressText = 1023;

} // namespace

void PutAddressInto(TWindowFacts& facts, TBrowserFamily family, const TAddressRead& read) {
    if (family == TBrowserFamily::Chromium) {
        facts.browser = TBrowserKind::Chrome;
        facts.address = CutUtf8(read.address, MaxAddressText);
    } else {
        facts.browser = TBrowserKind::Firefox;
        facts.address = IsFullAddress(read.address) ? read.address : std::string();
    }
    if (facts.address.empty()) {
        facts.addressProblem = read.problem;
    }
}

TAddressRead TBrowserAddresses::Read(const TBrowserWindow& window) {
    const TClock::time_point now = TClock::now();
    const TDeadline deadline = now + ReadBudget;
    Forget(now);
    TAddressRead read;
    if (const auto silent = silentUntil_.find(window.pid);
        silent != silentUntil_.end() && now < silent->second) {
        read.problem = TAddressProblem::NotAnswering;
        return read;
    }
    if (!client_.Reachable(deadline)) {
        read.problem = TAddressProblem::NoAccessibilityBus;
        return read;
    }
    TWindowPath& path = paths_[window.window];
    auto startAfresh = [&] {
        path = TWindowPath{};
        path.pid = window.pid;
        path.lastUsed = now;
    };
    if (path.pid != window.pid) {
        startAfresh();
    }
    path.lastUsed = now;
    const bool kept = !path.frame.Empty();
    TAtspiStatus status = ReadAlongPath(window, path, read, deadline);
    if (kept && (status == TAtspiStatus::Gone || status == TAtspiStatus::Failed)) {
        // The kept path leads nowhere any more (the browser restarted, the omnibox was
        // rebuilt): look it up from the start, once.
        std::erase_if(processes_, [&](const auto& entry) { return entry.second == window.pid; });
        startAfresh();
        read = {};
        status = ReadAlongPath(window, path, read, deadline);
    }
    if (status == TAtspiStatus::Ok) {
        return read;
    }
    if (status == TAtspiStatus::TimedOut) {
        silentUntil_[window.pid] = TClock::now() + SilencePause;
        return {{}, TAddressProblem::NotAnswering};
    }
    startAfresh();
    return {{}, TAddressProblem::NotFound};
}

TAtspiStatus TBrowserAddresses::ReadAlongPath(const TBrowserWindow& window, TWindowPath& path,
                                              TAddressRead& read, TDeadline deadline) {
    if (path.frame.Empty()) {
        const TAtspiStatus found = FindFrame(window, path, read, deadline);
        if (found != TAtspiStatus::Ok || path.frame.Empty()) {
            return found;
        }
    }
    if (window.family == TBrowserFamily::Chromium) {
        if (path.omnibox.Empty()) {
            if (TClock::now() < path.noOmniboxUntil) {
                read.problem = TAddressProblem::NotFound;
                return TAtspiStatus::Ok;
            }
            const TAtspiStatus found = FindOmnibox(path, deadline);
            if (found != TAtspiStatus::Ok) {
                return found;
            }
            if (path.omnibox.Empty()) {
                path.noOmniboxUntil =
                    TClock::now() + OmniboxSearchPause * (1 << path.omniboxMisses);
                path.omniboxMisses = std::min(path.omniboxMisses + 1, OmniboxSearchPauseDoublings);
                read.problem = TAddressProblem::NotFound;
                return TAtspiStatus::Ok;
            }
        }
        return client_.Text(path.omnibox, read.address, deadline);
    }
    // The frame embeds the document of the tab in front; its address is the page's own,
    // whatever is being typed into the address bar.
    std::vector<TAtspiRef> documents;
    const TAtspiStatus status =
        client_.RelationTargets(path.frame, AtspiRelationEmbeds, documents, deadline);
    if (status != TAtspiStatus::Ok) {
        return status;
    }
    if (documents.empty()) {
        read.problem = TAddressProblem::NotFound;
        return TAtspiStatus::Ok;
    }
    return client_.DocumentAttribute(documents.front(), "DocURL", read.address, deadline);
}

TAtspiStatus TBrowserAddresses::FindFrame(const TBrowserWindow& window, TWindowPath& path,
                                          TAddressRead& read, TDeadline deadline) {
    std::string busName;
    TAtspiStatus status = FindApplication(window.pid, busName, deadline);
    if (status != TAtspiStatus::Ok) {
        return status;
    }
    if (busName.empty()) {
        read.problem = WhyNotRegistered(deadline);
        return TAtspiStatus::Ok;
    }
    std::vector<TAtspiRef> frames;
    status = client_.Children({busName, ApplicationRoot}, frames, deadline);
    if (status != TAtspiStatus::Ok) {
        return status;
    }
    // The frame whose name is the window's title; Chromium adds what kind of window it is to
    // the frame's name alone (" (Incognito)", in the browser's language), so the name needs
    // only to begin with the title. Windows of one title (two windows of one page, a private
    // window beside an ordinary one) are told apart by their place on the screen, then by
    // which one is active; where that leaves two alike, or no frame has the title yet (a page
    // loading, its title on its way), none is taken, since the path found is kept: the next
    // read looks again. The place alone would not do, as every maximized window has the same.
    const std::string title = window.title ? window.title() : std::string();
    if (title.empty()) {
        read.problem = TAddressProblem::NotFound;
        return TAtspiStatus::Ok;
    }
    std::optional<TScreenRect> place;
    int bestScore = -1;
    bool tie = false;
    for (const TAtspiRef& frame : frames) {
        std::string name;
        TScreenRect extents;
        std::uint64_t states = 0;
        status = client_.Name(frame, name, deadline);
        const bool titled = name.starts_with(title);
        if (status == TAtspiStatus::Ok && titled) {
            status = client_.Extents(frame, extents, deadline);
            if (status == TAtspiStatus::Ok) {
                status = client_.States(frame, states, deadline);
            }
        }
        if (status == TAtspiStatus::TimedOut) {
            return status;
        }
        if (status != TAtspiStatus::Ok || !titled) {
            continue; // another window's frame, a pop-up, a frame closing while we look
        }
        if (!place) {
            place = window.place ? window.place() : TScreenRect{};
        }
        const bool active = (states & (std::uint64_t{1} << AtspiStateActive)) != 0;
        const int score = (extents == *place ? 2 : 0) + (active == window.foreground ? 1 : 0);
        if (score > bestScore) {
            bestScore = score;
            tie = false;
            path.frame = frame;
        } else if (score == bestScore) {
            tie = true;
        }
    }
    if (bestScore < 0 || tie) {
        path.frame = {};
        read.problem = TAddressProblem::NotFound;
    }
    return TAtspiStatus::Ok;
}

TAtspiStatus TBrowserAddresses::FindApplication(long pid, std::string& busName,
                                                TDeadline deadline) {
    auto lookUp = [&] {
        for (const auto& [name, process] : processes_) {
            if (process == pid) {
                busName = name;
            }
        }
        return !busName.empty();
    };
    if (lookUp()) {
        return TAtspiStatus::Ok;
    }
    std::vector<TAtspiRef> applications;
    TAtspiStatus status = client_.Applications(applications, deadline);
    if (status != TAtspiStatus::Ok) {
        return status;
    }
    std::map<std::string, long> registered;
    for (const TAtspiRef& application : applications) {
        long process = -1;
        if (const auto known = processes_.find(application.bus); known != processes_.end()) {
            process = known->second;
        } else {
            status = client_.ProcessOf(application.bus, process, deadline);
            if (status == TAtspiStatus::TimedOut) {
                return status;
            }
            if (status != TAtspiStatus::Ok) {
                continue; // gone since the registry answered
            }
        }
        registered[application.bus] = process;
    }
    processes_ = std::move(registered);
    lookUp();
    return TAtspiStatus::Ok;
}

TAtspiStatus TBrowserAddresses::FindOmnibox(TWindowPath& path, TDeadline deadline) {
    // Chromium builds a window's tree below the frame only once asked for more than its name
    // and place; asking for the frame's attributes does it, and the search below then finds
    // what it holds.
    std::map<std::string, std::string> frameAttributes;
    TAtspiStatus status = client_.Attributes(path.frame, frameAttributes, deadline);
    if (status != TAtspiStatus::Ok) {
        return status;
    }
    std::vector<TAtspiRef> entries;
    status = client_.DescendantsWithRole(path.frame, AtspiRoleEntry, OmniboxCandidates, entries,
                                         deadline);
    if (status != TAtspiStatus::Ok) {
        return status;
    }
    for (const TAtspiRef& entry : entries) {
        std::map<std::string, std::string> attributes;
        status = client_.Attributes(entry, attributes, deadline);
        if (status == TAtspiStatus::TimedOut) {
            return status;
        }
        if (status == TAtspiStatus::Ok && attributes["class"] == OmniboxViewClass) {
            path.omnibox = entry;
            break;
        }
    }
    return TAtspiStatus::Ok;
}

TAddressProblem TBrowserAddresses::WhyNotRegistered(TDeadline deadline) {
    // A browser looks whether accessibility is on when it starts; Chromium never looks again.
    const std::optional<bool> enabled = client_.Enabled(deadline);
    if (!enabled) {
        return TAddressProblem::NoAccessibilityBus;
    }
    return *enabled ? TAddressProblem::StartedBeforeAccessibility
                    : TAddressProblem::AccessibilityOff;
}

void TBrowserAddresses::Forget(TClock::time_point now) {
    std::erase_if(paths_,
                  [&](const auto& entry) { return now - entry.second.lastUsed > PathLifetime; });
    std::erase_if(silentUntil_, [&](const auto& entry) { return now >= entry.second; });
}

} // namespace tw
