#pragma once

#include "items/monitored_list.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace tw {

// "head\r\nline1\r\nUNION ALL\r\nline2...": one INSERT carrying several SELECT lines.
// The lines are linked as they are joined, so a literal that itself holds a line break
// followed by SELECT is never touched.
std::string UnionAllInsert(const std::string& head, const std::vector<std::string>& lines);

// The settings INSERT from (key, stored value) pairs in key order.
std::string SettingsInsertSQL(const std::vector<std::pair<std::string, std::string>>& values);
// The reminders INSERT for the morning, afternoon and evening texts.
std::string RemindersInsertSQL(const std::array<std::string, 3>& reminders);
// The INSERTs of one item type into its list table, at most 15 rows each; none for none.
std::vector<std::string> MonitoredItemsInsertSQL(const TMonitoredList& list,
                                                 TMonitoredItemType type);

// Table of watched items of a type: applications_list or websites_list.
const char* MonitoredListTable(TMonitoredItemType type);

} // namespace tw
