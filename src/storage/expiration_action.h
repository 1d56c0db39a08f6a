#pragma once

#include <optional>

namespace tw {

// What happens when the day's time on the list reaches the limit. Stored by its index: as
// the index's name in the settings database, as the number itself for a pending change.
enum class TExpirationAction : int {
    ReminderOnly = 0,     // "Reminder Only"
    CloseListed = 1,      // "Close Browser/App.": every listed window is asked to close
    ShutdownComputer = 2, // "Shutdown Computer"
};

inline int ExpirationActionIndex(TExpirationAction action) {
    return static_cast<int>(action);
}

// The action stored under an index; none for an index that names no action.
inline std::optional<TExpirationAction> ExpirationActionFromIndex(int index) {
    if (index < 0 || index > 2) {
        return std::nullopt;
    }
    return static_cast<TExpirationAction>(index);
}

} // namespace tw
