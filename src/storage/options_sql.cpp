#include "storage/options_sql.h"

#include "base/text.h"
#include "storage/options.h"

namespace tw {

std::string UnionAllInsert(const std::string& head, const std::vector<std::string>& lines) {
    std::string sql = head + "\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            sql += "\r\nUNION ALL\r\n";
        }
        sql += lines[i];
    }
    return sql;
}

std::string SettingsInsertSQL(const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : values) {
        lines.push_back("SELECT " + QuotedStr(key) + ", " + QuotedStr(value));
    }
    return UnionAllInsert("INSERT INTO settings(name, value)", lines);
}

std::string RemindersInsertSQL(const std::array<std::string, 3>& reminders) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < reminders.size(); ++i) {
        lines.push_back("SELECT " + QuotedStr(reminders[i]) + ", \"" + ReminderTypeNames[i] + "\"");
    }
    return UnionAllInsert("INSERT INTO reminders(text, reminder_type)", lines);
}

const char* MonitoredListTable(TMonitoredItemType type) {
    return type == TMonitoredItemType::mitWeb ? "websites_list" : "applications_list";
}

std::vector<std::string> MonitoredItemsInsertSQL(const TMonitoredList& list,
                                                 TMonitoredItemType type) {
    const std::string head =
        std::string("INSERT INTO ") + MonitoredListTable(type) + "(name, caption, active)";
    std::vector<std::string> statements;
    std::vector<std::string> batch;
    auto flush = [&] {
        if (!batch.empty()) {
            statements.push_back(UnionAllInsert(head, batch));
            batch.clear();
        }
    };
    for (int i = 0; i < list.Count(); ++i) {
        const TMonitoredItem& item = list.Items(i);
        if (item.ItemType != type) {
            continue;
        }
        batch.push_back("SELECT " + QuotedStr(item.Name) + ", " + QuotedStr(item.Caption) + ", " +
                        (item.Active ? "1" : "0"));
        if (batch.size() > 14) {
            flush();
        }
    }
    flush();
    return statements;
}

} // namespace tw
