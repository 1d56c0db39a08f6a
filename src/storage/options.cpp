#include "storage/options.h"

#include "base/exception.h"
#include "base/text.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/day_start.h"
#include "storage/error_log.h"
#include "storage/list_rows.h"
#include "storage/log_purge.h"
#include "storage/options_sql.h"

namespace tw {

const std::array<const char*, 3> ExpirationActionNames = {"Reminder Only", "Close Browser/App.",
                                                          "Shutdown Computer"};
const std::array<const char*, 5> ReminderChangePeriodNames = {"never", "daily", "weekly",
                                                              "fortnightly", "monthly"};
const std::array<const char*, 3> ReminderTypeNames = {"morning", "afternoon", "evening"};

std::string TSettings::ExpirationActionText() const {
    return ExpirationActionNames.at(
        static_cast<std::size_t>(ExpirationActionIndex(ExpirationAction)));
}

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

void ReadMonitoredLists(TSettingsDatabase& db, TMonitoredList& list) {
    for (TMonitoredItemType type : {TMonitoredItemType::mitApp, TMonitoredItemType::mitWeb}) {
        auto table = db.Query(std::string("SELECT * FROM ") + MonitoredListTable(type));
        if (!table) {
            return;
        }
        list.SetCapacity(list.Count() + table->RowCount());
        if (!table->First()) {
            continue;
        }
        const TListColumns columns(*table);
        for (; !table->Eof(); table->Next()) {
            auto item = ListItemFromRow(*table, columns, type);
            std::string key = item->Caption;
            list.Add(key, std::move(item));
        }
    }
}

namespace {

void ReadReminders(TSettingsDatabase& db, std::array<std::string, 3>& reminders) {
    auto table = db.Query("SELECT * FROM reminders");
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
        reminders[static_cast<std::size_t>(index)] = table->ValueByName("text");
    }
}

void ReadSettingsRows(TSettingsDatabase& db, const TClock& clock, TSettings& s) {
    s.ScanPeriodSeconds = DefaultScanPeriodSeconds;
    s.ReminderChangedDateTime = clock.Now();
    s.ResetDateTime = NextDayStart(clock.Now());
    s.TimeLimitSeconds = DefaultTimeLimitSeconds;
    s.ReminderShowedDateTime = clock.Now();

    auto table = db.Query("SELECT * FROM settings");
    if (!table) {
        return;
    }
    if (table->First()) {
        for (; !table->Eof(); table->Next()) {
            std::string name = table->ValueByName("name");
            std::string value = table->ValueByName("value");
            if (SameText(name, "ScanPeriodSeconds")) {
                s.ScanPeriodSeconds =
                    StoredInteger(value, 1, MaxScanPeriodSeconds, DefaultScanPeriodSeconds);
            } else if (SameText(name, "TimeLimitSeconds")) {
                s.TimeLimitSeconds =
                    StoredInteger(value, 0, MaxTimeLimitSeconds, DefaultTimeLimitSeconds);
            } else if (SameText(name, "ExpirationAction")) {
                s.ExpirationAction =
                    ExpirationActionFromIndex(IndexOfName(ExpirationActionNames, value))
                        .value_or(TExpirationAction::ReminderOnly);
            } else if (SameText(name, "Password")) {
                s.Password = value;
            } else if (SameText(name, "ResetDateTime")) {
                // Stored as the date only: the reset is at the day's start.
                s.ResetDateTime = NextDayStart(TextToDate(value));
            } else if (SameText(name, "DayStartUtc")) {
                s.DayStartUtc = StoredDayCount(value, 0);
            } else if (SameText(name, "AllowUserToChangeSettings")) {
                s.AllowUserToChangeSettings = value == "1";
            } else if (SameText(name, "ReminderChangedDateTime")) {
                s.ReminderChangedDateTime = StoredDayCount(value, s.ReminderChangedDateTime);
            } else if (SameText(name, "ReminderChangePeriod")) {
                s.ReminderChangePeriod =
                    ReminderChangePeriodFromIndex(IndexOfName(ReminderChangePeriodNames, value));
            } else if (SameText(name, "ReminderShowedDateTime")) {
                s.ReminderShowedDateTime = StoredDayCount(value, s.ReminderShowedDateTime);
            } else if (SameText(name, "IsNotFirstRun")) {
                s.IsNotFirstRun = value == "1";
            }
        }
    }
    if (!TChangePolicy::PasswordGuardsSettings()) {
        s.AllowUserToChangeSettings = true;
    }
}

bool WriteSettingsRows(TSettingsDatabase& db, const TSettings& s) {
    auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
    const std::pair<const char*, std::string> values[] = {
        {"ScanPeriodSeconds", std::to_string(s.ScanPeriodSeconds)},
        {"TimeLimitSeconds", std::to_string(s.TimeLimitSeconds)},
        {"ExpirationAction", s.ExpirationActionText()},
        {"Password", s.Password},
        {"ResetDateTime", DateToText(s.ResetDateTime)},
        {"DayStartUtc", DayCountToText(s.DayStartUtc)},
        {"AllowUserToChangeSettings", flag(s.AllowUserToChangeSettings)},
        {"ReminderChangedDateTime", DayCountToText(s.ReminderChangedDateTime)},
        {"ReminderChangePeriod",
         ReminderChangePeriodNames.at(ReminderChangePeriodIndex(s.ReminderChangePeriod))},
        {"ReminderShowedDateTime", DayCountToText(s.ReminderShowedDateTime)},
        {"IsNotFirstRun", flag(s.IsNotFirstRun)},
    };
    bool ok = true;
    for (const auto& [name, value] : values) {
        ok = db.Exec("INSERT INTO settings(name, value) VALUES(?1, ?2)",
                     {std::string(name), value}) &&
             ok;
    }
    return ok;
}

bool WriteReminders(TSettingsDatabase& db, const std::array<std::string, 3>& reminders) {
    bool ok = true;
    for (std::size_t i = 0; i < reminders.size(); ++i) {
        ok = db.Exec("INSERT INTO reminders(text, reminder_type) VALUES(?1, ?2)",
                     {reminders[i], std::string(ReminderTypeNames[i])}) &&
             ok;
    }
    return ok;
}

bool WriteMonitoredList(TSettingsDatabase& db, const TMonitoredList& list) {
    bool ok = db.Exec("DELETE FROM applications_list;");
    ok = db.Exec("DELETE FROM websites_list;") && ok;
    for (int i = 0; i < list.Count(); ++i) {
        const TMonitoredItem& item = list.Items(i);
        ok = db.Exec(std::string("INSERT INTO ") + MonitoredListTable(item.ItemType) +
                         "(name, caption, active) VALUES(?1, ?2, ?3)",
                     {item.Name, item.Caption, std::int64_t{item.Active ? 1 : 0}}) &&
             ok;
    }
    return ok;
}

} // namespace

TOptions::TOptions(TDataFolder& data)
    : data_(data), policy_(values_, data.Settings()),
      db_(data.Places(), data.Log(), &data.SliceTurns()) {
    try {
        Load();
        db_.NoteCopyMatches(!loadFailed_ && db_.ListCopyEqual());
    } catch (const std::exception& e) {
        loadFailed_ = true;
        loadError_ = e.what();
        data_.Log().Report(ErrorReportText(e, "; TOptions.Load: "));
    }
}

TOptions::~TOptions() {
    Save();
}

void TOptions::Load() {
    // Anything below that cannot be read leaves the options incomplete; until a load
    // succeeds, nothing is written back over what is stored.
    loadFailed_ = true;
    policy_.LoadMarkers();
    db_.StartRead();
    ReadMonitoredLists(db_, values_.MonitoredList);
    ReadReminders(db_, values_.Reminders);
    ReadSettingsRows(db_, Clock(), values_);
    loadFailed_ = db_.ReadFailed();
    if (loadFailed_) {
        loadError_ = db_.ReadError();
    }
}

bool TOptions::Save() {
    if (readOnly_) {
        return false;
    }
    if (loadFailed_) {
        if (!refusalReported_) {
            refusalReported_ = true;
            data_.Log().Report(
                "ErrorClassName: Exception; TOptions.Save: the stored settings could not be "
                "read, so they are not overwritten: " +
                loadError_);
        }
        return false;
    }
    db_.Restore();
    return db_.Transacted([this] {
        bool ok = db_.Exec("DELETE FROM settings;");
        ok = db_.Exec("DELETE FROM reminders;") && ok;
        ok = WriteSettingsRows(db_, values_) && ok;
        ok = WriteMonitoredList(db_, values_.MonitoredList) && ok;
        return WriteReminders(db_, values_.Reminders) && ok;
    });
}

bool TOptions::MonitoredItemsSave() {
    if (loadFailed_ || readOnly_) {
        return Save(); // refuses and reports
    }
    db_.Restore();
    return db_.Transacted([this] { return WriteMonitoredList(db_, values_.MonitoredList); });
}

void TOptions::SetReminder(int index, const std::string& text) {
    std::string& current = values_.Reminders.at(static_cast<std::size_t>(index));
    if (current != text) {
        current = text;
        values_.ReminderChangedDateTime = Clock().Now();
    }
}

void TOptions::LogDBPurge() {
    TLogPurge purge(data_.Log(), LogDBPath(), Clock().Now(), ListTrusted(),
                    TLogPurge::ClockRight(data_.Log(), LogDBPath(), Settings(), Clock()),
                    KeptHistoryNames(), &data_.SliceTurns());
    while (purge.Step()) {
    }
}

} // namespace tw
