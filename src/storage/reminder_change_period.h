#pragma once

namespace tw {

// How often the person is asked to refresh to-do memos left unchanged. Stored by its index
// (the index's name in the settings database); the windows show it as a combo box's row.
enum class TReminderChangePeriod : int {
    Never = 0,
    Daily = 1,
    Weekly = 2,
    Fortnightly = 3,
    Monthly = 4,
};

inline int ReminderChangePeriodIndex(TReminderChangePeriod period) {
    return static_cast<int>(period);
}

// The period at an index; Never for an index that names none.
inline TReminderChangePeriod ReminderChangePeriodFromIndex(int index) {
    if (index < 0 || index > 4) {
        return TReminderChangePeriod::Never;
    }
    return static_cast<TReminderChangePeriod>(index);
}

} // namespace tw
