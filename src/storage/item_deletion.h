#pragma once

namespace tw {

// How far a listed item was taken off the list: the access level and the day's change
// rules decide (TOptions::MonitoredItemDelete); today's list follows the same result.
enum class TItemDeletion : int {
    Nothing = 0,     // no right to change the list
    Deactivated = 1, // kept, inactive, until the next daily reset removes it
    Removed = 2,
};

} // namespace tw
