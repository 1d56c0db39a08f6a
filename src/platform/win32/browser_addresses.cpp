#include "platform/win32/browser_addresses.h"

#include "platform/full_address.h"
#include "platform/win32/address_bar_search.h"

#include <algorithm>

namespace tw {

namespace {

using namespace std::chrono_literals;

// A window without an address bar (an app window, the developer tools) is searched again
// after a pause that doubles with each miss, since the search walks much of its tree.
constexpr auto BarSearchPause = 2s;
constexpr int BarSearchPauseDoublings = 5;
// What is kept of windows not read for this long is dropped.
constexpr auto StateLifetime = 10min;

} // namespace

bool TWin32BrowserAddresses::Begin(TWindowHandle window, unsigned long processId,
                                   TWindowState*& state, TClock::time_point now) {
    std::erase_if(windows_,
                  [&](const auto& entry) { return now - entry.second.lastUsed > StateLifetime; });
    std::erase_if(silentUntil_, [&](const auto& entry) { return entry.second <= now; });
    state = &windows_[window];
    if (state->processId != processId) {
        *state = {};
        state->processId = processId;
    }
    state->lastUsed = now;
    return silentUntil_.count(processId) == 0;
}

std::shared_ptr<TAccessible>
TWin32BrowserAddresses::Client(TWindowHandle window, TClock::time_point deadline, bool& standard) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now_());
    standard = false;
    return client_(window, static_cast<unsigned>(std::max<long long>(left.count(), 1)), standard);
}

TBrowserRead TWin32BrowserAddresses::NotAnswering(unsigned long processId) {
    silentUntil_[processId] = now_() + SilencePause;
    return {{}, TAddressProblem::NotAnswering};
}

void TWin32BrowserAddresses::LeaveAloneIfSlow(unsigned long processId, TClock::time_point start) {
    // The calls themselves cannot be cut short: a browser that answered them too slowly is
    // spared the next reads instead.
    if (now_() - start > ReadBudget) {
        silentUntil_[processId] = now_() + SilencePause;
    }
}

TBrowserRead TWin32BrowserAddresses::ReadChromium(TWindowHandle window, unsigned long processId,
                                                  TBrowserKind kind) {
    const TClock::time_point now = now_();
    TWindowState* state = nullptr;
    if (!Begin(window, processId, state, now)) {
        return {{}, TAddressProblem::NotAnswering};
    }
    TBarReading reading;
    if (state->object && LookForAddressBar(*state->object, kind, reading) != TNodeVerdict::Stop) {
        state->object.reset(); // rebuilt, or gone with its window's toolbar
    }
    if (!state->object) {
        if (now < state->noSearchUntil) {
            return {{}, TAddressProblem::NotFound};
        }
        TWalkBounds bounds;
        bounds.depthLimit = AddressBarDepthLimit;
        bounds.nodeLimit = AddressBarNodeLimit;
        bounds.deadline = now + ReadBudget;
        bounds.now = now_;
        bool standard = false;
        const std::shared_ptr<TAccessible> root = Client(window, bounds.deadline, standard);
        if (!root) {
            return NotAnswering(processId);
        }
        TBarSearch search = FindAddressBar(root, kind, bounds);
        if (search.end == TWalkEnd::OutOfTime) {
            return NotAnswering(processId);
        }
        if (!search.bar) {
            state->noSearchUntil = now_() + BarSearchPause * (1 << state->failures);
            state->failures = std::min(state->failures + 1, BarSearchPauseDoublings);
            return {{}, TAddressProblem::NotFound};
        }
        state->object = std::move(search.bar);
        state->failures = 0;
        reading = std::move(search.reading);
    }
    LeaveAloneIfSlow(processId, now);
    if (!reading.focused) {
        state->lastAddress = std::move(reading.value);
    }
    return {state->lastAddress, TAddressProblem::NoProblem};
}

TBrowserRead TWin32BrowserAddresses::ReadFirefox(TWindowHandle window, unsigned long processId) {
    const TClock::time_point now = now_();
    TWindowState* state = nullptr;
    if (!Begin(window, processId, state, now)) {
        return {{}, TAddressProblem::NotAnswering};
    }
    if (!state->object) {
        bool standard = false;
        state->object = Client(window, now + ReadBudget, standard);
        if (!state->object) {
            return NotAnswering(processId);
        }
        if (standard) {
            // Without accessibility Firefox leaves its window to the system's object, which
            // embeds nothing; a first call may also meet it while the service starts.
            state->object.reset();
        }
    }
    TAccVariant document;
    if (state->object) {
        document = state->object->Navigate(TAccessible::NavEmbeds, TAccVariant::Number(0));
    }
    if (document.kind != TAccVariant::Object || !document.object) {
        // Asked afresh at the next scan.
        state->object.reset();
        state->failures = std::min(state->failures + 1, FailuresMeaningOff);
        return {{},
                state->failures >= FailuresMeaningOff ? TAddressProblem::BrowserAccessibilityOff
                                                      : TAddressProblem::NotFound};
    }
    state->failures = 0;
    std::string address = document.object->Value();
    LeaveAloneIfSlow(processId, now);
    if (!IsFullAddress(address)) {
        address.clear(); // the browser's own pages and local files are no site
    }
    return {std::move(address), TAddressProblem::NoProblem};
}

} // namespace tw
