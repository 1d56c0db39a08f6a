#pragma once

#include "storage/change_policy.h"
#include "storage/data_folder.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_database.h"
#include "storage/settings_value.h"

#include <array>
#include <string>
#include <vector>

namespace tw {

// The settings' store: loads the settings value from settings.sqlite when created and writes
// it back with Save; the watched list is mirrored into actmondb.sqlite, where the usage
// queries join it, in the same transaction. The change policy beside the value decides who
// may change what; windows change settings only through its decisions and the named
// operations (storage/settings_changes.h), never by writing the value.
class TOptions {
  public:
    // Loads everything. A load that fails is reported and leaves the options usable with
    // what was read (defaults elsewhere), but read-only on disk: see LoadFailed.
    explicit TOptions(TDataFolder& data);
    // Saves, then frees the list.
    ~TOptions();
    TOptions(const TOptions&) = delete;
    TOptions& operator=(const TOptions&) = delete;

    // Where the options are stored; windows reach the settings file and the program's
    // folders through it.
    TDataFolder& Data() const { return data_; }
    const TPlaces& Places() const { return data_.Places(); }
    TClock& Clock() const { return data_.Clock(); }
    TSettingsFile& Settings() const { return data_.Settings(); }
    TAppearance& Appearance() const { return data_.Appearance(); }

    const TSettings& Values() const { return values_; }
    // The value itself, for the program's own operations (the engine, the daily reset, the
    // operations windows call) and tests; a window never writes it.
    TSettings& Edit() { return values_; }
    TChangePolicy& Policy() { return policy_; }
    const TChangePolicy& Policy() const { return policy_; }

    // Reads the change markers from the settings file, then the lists, reminders and
    // settings. Throws on a malformed stored value (EConvertError, ESQLiteException).
    void Load();
    // Writes settings, list and reminders; each database's share is all-or-nothing.
    // Writes nothing after a failed load. Returns whether everything was written.
    bool Save();
    // True when the stored settings could not be read completely; saving is then refused
    // so that defaults never replace what the user stored.
    bool LoadFailed() const { return loadFailed_; }
    // Why, in a few words ("File opened that is not a database file").
    const std::string& LoadError() const { return loadError_; }
    // For tools that only look: nothing is ever written back, not even at destruction.
    void MakeReadOnly() { readOnly_ = true; }

    // Rewrites the watched list in both databases, in one transaction.
    bool MonitoredItemsSave();
    // Whether the list's copy in actmondb.sqlite is known to equal the list in force, and
    // that list was not put back at this start: the clean-up removes the history of programs
    // missing from the copy, so it trusts nothing else.
    bool ListTrusted() const { return !loadFailed_ && db_.CopyMatches() && !listPutBack_; }
    // At start: a copy that differs from settings.sqlite (a crash, a failed write, a
    // hand-edited file, an older settings.sqlite put back) is written again from it. Either
    // that, or a settings.sqlite made afresh at this start (seeded.seededAfresh), leaves the
    // list untrusted for this run's clean-up. The seeding's notice waits for
    // RepairSettingsDatabase.
    void RepairListCopy(const TSeedOutcome& seeded = {});
    // Programs a repair of the copy took off it: the clean-up keeps their history.
    std::vector<std::string> KeptHistoryNames() const;
    // settings.sqlite deleted or emptied while the program runs gets a fresh template with
    // what this run holds. Returns the notice for the person once a repair (or a restore at
    // this start), else empty.
    std::string RepairSettingsDatabase();
    // Removes activity rows older than 90 days (when the clock is judged right) and rows of
    // programs no longer listed (when the list is trusted), all at once. The program runs it in
    // slices (TLogPurge) once its window is up.
    void LogDBPurge();

    // A memo's new text; a change restarts the memos' age.
    void SetReminder(int index, const std::string& text);
    const std::string& GetReminder(int index) const {
        return values_.Reminders.at(static_cast<std::size_t>(index));
    }
    TDateTime TimeLimit() const { return values_.TimeLimit(); }
    std::string ExpirationActionText() const { return values_.ExpirationActionText(); }

    std::string SettingsDBPath() const { return Places().SettingsDatabasePath(); }
    std::string LogDBPath() const { return Places().ActivityDatabasePath(); }

  private:
    TDataFolder& data_;
    TSettings values_;
    TChangePolicy policy_;
    TSettingsDatabase db_;
    bool loadFailed_ = false;
    bool readOnly_ = false;
    bool refusalReported_ = false;
    bool listPutBack_ = false; // the list was repaired or seeded at this start
    std::string startNotice_;  // the settings were restored at this start; not yet told
    std::string loadError_;
};

// The stored names of the three value tables, in index order.
extern const std::array<const char*, 3> ExpirationActionNames;
extern const std::array<const char*, 5> ReminderChangePeriodNames;
extern const std::array<const char*, 3> ReminderTypeNames;

} // namespace tw
