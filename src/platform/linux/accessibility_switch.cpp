#include "platform/linux/accessibility_switch.h"

#include "platform/linux/atspi_client.h"

#include <chrono>

namespace tw {

namespace {

// The launcher answers at once when it runs; when the session starts it for the first
// question, that takes a moment, which the program can afford when the list changes.
constexpr auto SwitchCallBudget = std::chrono::seconds(2);
// Asked at every scan while needed: a launcher that does not answer at once holds no scan.
constexpr auto RecheckBudget = std::chrono::milliseconds(250);

TDeadline CallDeadline() {
    return std::chrono::steady_clock::now() + SwitchCallBudget;
}

} // namespace

TAccessibilitySwitch::TAccessibilitySwitch(TAtspiClient& client) : client_(client) {}

TAccessibilitySwitch::~TAccessibilitySwitch() {
    PutBack();
}

bool TAccessibilitySwitch::Need(bool needed) {
    if (needed == needed_) {
        return needed && KeepOn();
    }
    needed_ = needed;
    if (needed) {
        SwitchOn();
    } else {
        PutBack();
    }
    return false;
}

bool TAccessibilitySwitch::KeepOn() {
    if (client_.Enabled(std::chrono::steady_clock::now() + RecheckBudget) != false) {
        return false;
    }
    // Found off as at the start: ours again to put back when no longer needed.
    const TDeadline deadline = CallDeadline();
    ours_ = true;
    screenReaderFound_ = client_.ScreenReaderEnabled(deadline);
    return client_.Switch(true, deadline);
}

void TAccessibilitySwitch::SwitchOn() {
    const TDeadline deadline = CallDeadline();
    const std::optional<bool> found = client_.Enabled(deadline);
    if (found == true) {
        return;
    }
    // A switch nobody answers for is asked all the same (the session may start its launcher
    // for it), but with nothing known to put back it is left as it ends up.
    ours_ = found.has_value();
    if (ours_) {
        screenReaderFound_ = client_.ScreenReaderEnabled(deadline);
    }
    client_.Switch(true, CallDeadline());
}

void TAccessibilitySwitch::PutBack() {
    if (!ours_) {
        return;
    }
    ours_ = false;
    const TDeadline deadline = CallDeadline();
    // Switched off by somebody else already, or relied on by a screen reader started since.
    if (client_.Enabled(deadline) != true ||
        client_.ScreenReaderEnabled(deadline) != screenReaderFound_) {
        return;
    }
    client_.Switch(false, deadline);
}

} // namespace tw
