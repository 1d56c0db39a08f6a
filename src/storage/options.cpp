#include "storage/options.h"

#include "base/text.h"
#include "storage/access.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/day_start.h"
#include "storage/error_log.h"
#include "storage/list_rows.h"
#include "storage/options_save_scope.h"
#include "storage/options_sql.h"
#include "storage/settings_file.h"

namespace tw {

const std::array<const char*, 3> ExpirationActionNames = {"Reminder Only", "Close Browser/App.",
                                                          "Shutdown Computer"};
const std::array<const char*, 5> ReminderChangePeriodNames = {"never", "daily", "weekly",
                                                              "fortnightly", "monthly"};
const std::array<const char*, 3> ReminderTypeNames = {"morning", "afternoon", "evening"};

namespace {

// Index of a stored name, letters compared without case; 0 when it is none of them.
template <std::size_t N>
int IndexOfName(const std::array<const char*, N>& names, const std::string& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (SameText(names[i], value)) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

} // namespace

TOptions::TOptions(TDataFolder& data) : data_(data) {
    AdminAccess = false;
    try {
        Load();
        listCopyMatches_ = !loadFailed_ && ListCopyEqual();
    } catch (const std::exception& e) {
        loadFailed_ = true;
        loadError_ = e.what();
        ErrorLog(ErrorReportText(e, "; TOptions.Load: "));
    }
}

TOptions::~TOptions() {
    Save();
}

void TOptions::Load() {
    // Anything below that cannot be read leaves the options incomplete; until a load
    // succeeds, nothing is written back over what is stored.
    loadFailed_ = true;
    TSettingsFile& file = Settings();
    ExpirationActionChanged = file.ReadBool("Common", "ExpirationActionChanged", false);
    TimeLimitSecondsChanged = file.ReadBool("Common", "TimeLimitSecondsChanged", false);
    MonitoredItemDeleteActionProcessed =
        file.ReadBool("Common", "MonitoredItemDeleteActionProcessed", false);
    readFailed_ = false;
    MonitoredListsLoad();
    RemindersLoad();
    SettingsLoad();
    loadFailed_ = readFailed_;
    if (readFailed_) {
        loadError_ = readError_;
    }
}

std::unique_ptr<TSQLiteTable> TOptions::LoadQuery(const std::string& sql) {
    auto table = SettingsDBGetTable(sql);
    if (!table) {
        readFailed_ = true;
    }
    return table;
}

void TOptions::MonitoredListsLoad() {
    for (TMonitoredItemType type : {TMonitoredItemType::mitApp, TMonitoredItemType::mitWeb}) {
        auto table = LoadQuery(std::string("SELECT * FROM ") + MonitoredListTable(type));
        if (!table) {
            return;
        }
        MonitoredList.SetCapacity(MonitoredList.Count() + table->RowCount());
        if (!table->First()) {
            continue;
        }
        const TListColumns columns(*table);
        for (; !table->Eof(); table->Next()) {
            auto item = ListItemFromRow(*table, columns, type);
            std::string key = item->Caption;
            MonitoredList.Add(key, std::move(item));
        }
    }
}

void TOptions::RemindersLoad() {
    auto table = LoadQuery("SELECT * FROM reminders");
    if (!table || !table->First()) {
        return;
    }
    for (; !table->Eof(); table->Next()) {
        std::string type = table->ValueByName("reminder_type");
        int index = 0;
        for (std::size_t i = 0; i < ReminderTypeNames.size(); ++i) {
            if (type == ReminderTypeNames[i]) {
                index = static_cast<int>(i);
            }
        }
        Reminders[index] = table->ValueByName("text");
    }
}

void TOptions::SettingsLoad() {
    ScanPeriodSeconds = DefaultScanPeriodSeconds;
    ReminderChangedDateTime = ClockNow();
    ResetDateTime = NextDayStart(ClockNow());
    TimeLimitSeconds = DefaultTimeLimitSeconds;
    ReminderShowedDateTime = ClockNow();

    auto table = LoadQuery("SELECT * FROM settings");
    if (!table) {
        return;
    }
    if (table->First()) {
        for (; !table->Eof(); table->Next()) {
            std::string name = table->ValueByName("name");
            std::string value = table->ValueByName("value");
            if (SameText(name, "ScanPeriodSeconds")) {
                ScanPeriodSeconds =
                    StoredInteger(value, 1, MaxScanPeriodSeconds, DefaultScanPeriodSeconds);
            } else if (SameText(name, "TimeLimitSeconds")) {
                TimeLimitSeconds =
                    StoredInteger(value, 0, MaxTimeLimitSeconds, DefaultTimeLimitSeconds);
            } else if (SameText(name, "ExpirationAction")) {
                ExpirationAction =
                    ExpirationActionFromIndex(IndexOfName(ExpirationActionNames, value))
                        .value_or(TExpirationAction::ReminderOnly);
            } else if (SameText(name, "Password")) {
                Password = value;
            } else if (SameText(name, "ResetDateTime")) {
                // Stored as the date only: the reset is at the day's start.
                ResetDateTime = NextDayStart(TextToDate(value));
            } else if (SameText(name, "DayStartUtc")) {
                DayStartUtc = StoredDayCount(value, 0);
            } else if (SameText(name, "AllowUserToChangeSettings")) {
                AllowUserToChangeSettings = value == "1";
            } else if (SameText(name, "ReminderChangedDateTime")) {
                ReminderChangedDateTime = StoredDayCount(value, ReminderChangedDateTime);
            } else if (SameText(name, "ReminderChangePeriod")) {
                ReminderChangePeriod =
                    ReminderChangePeriodFromIndex(IndexOfName(ReminderChangePeriodNames, value));
            } else if (SameText(name, "ReminderShowedDateTime")) {
                ReminderShowedDateTime = StoredDayCount(value, ReminderShowedDateTime);
            } else if (SameText(name, "IsNotFirstRun")) {
                IsNotFirstRun = value == "1";
            }
        }
    }
    if (!PasswordGuardsSettings()) {
        AllowUserToChangeSettings = true;
    }
}

bool TOptions::Save() {
    if (readOnly_) {
        return false;
    }
    if (loadFailed_) {
        if (!refusalReported_) {
            refusalReported_ = true;
            ErrorLog("ErrorClassName: Exception; TOptions.Save: the stored settings could not be "
                     "read, so they are not overwritten: " +
                     loadError_);
        }
        return false;
    }
    RestoreSettingsDatabase();
    return Transacted([this] {
        bool ok = SettingsDBExecSQL("DELETE FROM settings;");
        ok = SettingsDBExecSQL("DELETE FROM reminders;") && ok;
        ok = SettingsSave() && ok;
        ok = MonitoredItemsWrite() && ok;
        return RemindersSave() && ok;
    });
}

bool TOptions::SettingsSave() {
    auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
    const std::pair<const char*, std::string> values[] = {
        {"ScanPeriodSeconds", std::to_string(ScanPeriodSeconds)},
        {"TimeLimitSeconds", std::to_string(TimeLimitSeconds)},
        {"ExpirationAction", ExpirationActionText()},
        {"Password", Password},
        {"ResetDateTime", DateToText(ResetDateTime)},
        {"DayStartUtc", DayCountToText(DayStartUtc)},
        {"AllowUserToChangeSettings", flag(AllowUserToChangeSettings)},
        {"ReminderChangedDateTime", DayCountToText(ReminderChangedDateTime)},
        {"ReminderChangePeriod",
         ReminderChangePeriodNames.at(ReminderChangePeriodIndex(ReminderChangePeriod))},
        {"ReminderShowedDateTime", DayCountToText(ReminderShowedDateTime)},
        {"IsNotFirstRun", flag(IsNotFirstRun)},
    };
    bool ok = true;
    for (const auto& [name, value] : values) {
        ok = SettingsDBExecSQL("INSERT INTO settings(name, value) VALUES(?1, ?2)",
                               {std::string(name), value}) &&
             ok;
    }
    return ok;
}

bool TOptions::RemindersSave() {
    bool ok = true;
    for (std::size_t i = 0; i < Reminders.size(); ++i) {
        ok = SettingsDBExecSQL("INSERT INTO reminders(text, reminder_type) VALUES(?1, ?2)",
                               {Reminders[i], std::string(ReminderTypeNames[i])}) &&
             ok;
    }
    return ok;
}

bool TOptions::MonitoredItemsSave() {
    if (loadFailed_ || readOnly_) {
        return Save(); // refuses and reports
    }
    RestoreSettingsDatabase();
    return Transacted([this] { return MonitoredItemsWrite(); });
}

bool TOptions::MonitoredItemsWrite() {
    bool ok = SettingsDBExecSQL("DELETE FROM applications_list;");
    ok = SettingsDBExecSQL("DELETE FROM websites_list;") && ok;
    for (int i = 0; i < MonitoredList.Count(); ++i) {
        const TMonitoredItem& item = MonitoredList.Items(i);
        ok = SettingsDBExecSQL(std::string("INSERT INTO ") + MonitoredListTable(item.ItemType) +
                                   "(name, caption, active) VALUES(?1, ?2, ?3)",
                               {item.Name, item.Caption, std::int64_t{item.Active ? 1 : 0}}) &&
             ok;
    }
    return ok;
}

std::string TOptions::ExpirationActionText() const {
    return ExpirationActionNames.at(
        static_cast<std::size_t>(ExpirationActionIndex(ExpirationAction)));
}

const std::string& TOptions::GetReminder(int index) const {
    return Reminders.at(index);
}

void TOptions::SetReminder(int index, const std::string& text) {
    std::string& current = Reminders.at(index);
    if (current != text) {
        current = text;
        ReminderChangedDateTime = ClockNow();
    }
}

} // namespace tw
