#pragma once

#include <optional>

namespace tw {

class TAtspiClient;

// The session's accessibility switch, on only while the program needs browser addresses. The
// launcher keeps the switch in the desktop's settings, so it outlives the program: what the
// program switched on it switches off again when addresses are no longer needed and when it
// goes, unless somebody else has taken the switch over meanwhile (switched it off, or started a
// screen reader that relies on it). A switch that was on already is never touched. Switched off
// while still needed, it is switched on again: a website would otherwise go uncounted in every
// browser started from then on.
class TAccessibilitySwitch {
  public:
    explicit TAccessibilitySwitch(TAtspiClient& client);
    // Puts the switch back.
    ~TAccessibilitySwitch();
    TAccessibilitySwitch(const TAccessibilitySwitch&) = delete;
    TAccessibilitySwitch& operator=(const TAccessibilitySwitch&) = delete;

    // True when the switch, needed still, was found off and switched on again.
    bool Need(bool needed);

  private:
    bool KeepOn();
    void SwitchOn();
    void PutBack();

    TAtspiClient& client_;
    bool needed_ = false;
    // Switched on by us, and ours to switch off.
    bool ours_ = false;
    // Unknown where the launcher keeps no such switch.
    std::optional<bool> screenReaderFound_;
};

} // namespace tw
