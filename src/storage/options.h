#pragma once

#include "base/date_time.h"
#include "items/monitored_list.h"
#include "storage/access.h"
#include "storage/data_folder.h"
#include "storage/day_start.h"
#include "storage/expiration_action.h"
#include "storage/item_deletion.h"
#include "storage/option_ranges.h"
#include "storage/reminder_change_period.h"
#include "storage/sql_value.h"
#include "storage/sqlite_table.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tw {

// Every setting of the program, the watched list and the once-a-day change bookkeeping.
// Loaded from settings.sqlite when created, written back by Save; the watched list is
// mirrored into actmondb.sqlite, where the usage queries join it, in the same transaction.
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
    TSettingsFile& Settings() const { return data_.Settings(); }
    TAppearance& Appearance() const { return data_.Appearance(); }

    bool AllowUserToChangeSettings = false;
    TExpirationAction ExpirationAction = TExpirationAction::ReminderOnly;
    bool ExpirationActionChanged = false;
    bool AdminAccess = false;
    bool IsNotFirstRun = false;
    bool MonitoredItemDeleteActionProcessed = false;
    TMonitoredList MonitoredList;
    std::string Password;
    TDateTime ReminderChangedDateTime = 0;
    TReminderChangePeriod ReminderChangePeriod = TReminderChangePeriod::Never;
    std::array<std::string, 3> Reminders;
    TDateTime ReminderShowedDateTime = 0;
    // The end of the program day in force (a local 04:00), and the program clock it began at.
    TDateTime ResetDateTime = 0;
    TDateTime DayStartUtc = 0;
    int ScanPeriodSeconds = DefaultScanPeriodSeconds;
    int TimeLimitSeconds = DefaultTimeLimitSeconds;
    bool TimeLimitSecondsChanged = false;

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
    // Whether the list's copy in actmondb.sqlite is known to equal the list in force: the
    // clean-up removes the history of programs missing from the copy, so it trusts nothing
    // else.
    bool ListTrusted() const { return !loadFailed_ && listCopyMatches_; }
    // At start: a copy that differs from settings.sqlite (a crash, a failed write, a
    // hand-edited file) is written again from it.
    void RepairListCopy();
    // settings.sqlite deleted or emptied while the program runs gets a fresh template with
    // what this run holds. Returns the notice for the person once a repair, else empty.
    std::string RepairSettingsDatabase();

    void SetExpirationAction(TExpirationAction value);
    void SetTimeLimitSeconds(int seconds);
    // What a window's OK hands over: the limit and the action the person left there, and
    // what the window showed when it opened (ShownTimeLimitSeconds, ShownExpirationAction).
    // Only what differs is a change: an untouched value must not use up the day's one
    // change of it.
    void ApplyLimitAndAction(int seconds, TExpirationAction action, int shownSeconds,
                             TExpirationAction shownAction);
    // Takes the item off the list as far as the access level and the day's change rules
    // allow; for an item not on the list, says what the access level would allow.
    TItemDeletion MonitoredItemDelete(const TMonitoredItem* item);
    void SetMonitoredItemDeleteActionProcessed(bool value);
    // Notes in the settings file that a deactivated item leaves the list at the next daily
    // reset; without the note it would stay on the list, inactive, for ever.
    void RecordPendingRemoval(const TMonitoredItem& item);
    // An item waiting for its removal that is wanted again stays.
    void CancelPendingRemoval(const TMonitoredItem& item);
    // The names of the items waiting for their removal at the next daily reset.
    std::vector<std::string> PendingRemovalNames() const;
    // The daily reset's share: the items waiting for their removal leave the list (where the
    // person may change it), and the notes go.
    void ApplyPendingRemovals();
    // The options' share of the daily reset: markers cleared, pending values applied.
    void ResetChangeFlags();

    // Whether this build guards the strict settings with an administrator password; the
    // self-managed edition asks nobody for one, and lets everybody change them.
    static constexpr bool PasswordGuardsSettings() { return EditionValue < 2; }
    // Whether a guarded change (the list, the limit, the time-up action) needs the
    // administrator's password before it may begin.
    bool ChangeNeedsPassword() const;
    int AccessLevel() const;
    // The limit and the action a window shows: the administrator the ones in force, anybody
    // else the changes waiting for the next daily reset, where there are any.
    int ShownTimeLimitSeconds() const;
    TExpirationAction ShownExpirationAction() const;
    bool CheckPassword(const std::string& text);
    void SetPassword(const std::string& text);

    std::string ExpirationActionText() const;
    const std::string& GetReminder(int index) const;
    void SetReminder(int index, const std::string& text);
    TDateTime TimeLimit() const { return TimeLimitSeconds / SecondsPerDay; }
    TProgramDay Day() const { return {ResetDateTime, DayStartUtc}; }
    void SetDay(const TProgramDay& day) {
        ResetDateTime = day.End;
        DayStartUtc = day.StartUtc;
    }

    // One statement on settings.sqlite; failures are caught and reported.
    bool SettingsDBExecSQL(const std::string& sql, const TSQLValues& values = {});
    std::unique_ptr<TSQLiteTable> SettingsDBGetTable(const std::string& sql);
    // Removes activity rows older than 90 days and rows of programs no longer listed (when
    // the list is trusted), all at once. The program runs it in slices (TLogPurge) once its
    // window is up.
    void LogDBPurge();

    std::string SettingsDBPath() const { return Places().SettingsDatabasePath(); }
    std::string LogDBPath() const { return Places().ActivityDatabasePath(); }

  private:
    class TSaveBatch;
    class TSaveScope;
    friend class TSaveScope;

    void MonitoredListsLoad();
    void RemindersLoad();
    void SettingsLoad();
    bool SettingsSave();
    bool RemindersSave();
    bool MonitoredItemsWrite();
    // Runs the writes in one transaction over both databases; when that fails, once more
    // over settings.sqlite alone, so that a failing activity database never costs the
    // settings. The copy is then written by the next save that can.
    bool Transacted(const std::function<bool()>& writes);
    // Whether the list's copy holds exactly the rows of settings.sqlite's list.
    bool ListCopyEqual() const;
    // A missing or empty settings.sqlite is replaced by the template before a save.
    void RestoreSettingsDatabase();

    // A load query that fails counts as a failed load.
    std::unique_ptr<TSQLiteTable> LoadQuery(const std::string& sql);

    TDataFolder& data_;
    bool loadFailed_ = false;
    bool readOnly_ = false;
    bool readFailed_ = false;
    std::string loadError_;
    std::string readError_; // why the last settings query failed
    bool refusalReported_ = false;
    TSaveBatch* batch_ = nullptr;
    bool listCopyMatches_ = false;
    bool copyFailureReported_ = false;
    std::string settingsNotice_; // a repair of settings.sqlite, not yet told
    bool settingsRepairFailedReported_ = false;
};

// The stored names of the three value tables, in index order.
extern const std::array<const char*, 3> ExpirationActionNames;
extern const std::array<const char*, 5> ReminderChangePeriodNames;
extern const std::array<const char*, 3> ReminderTypeNames;

} // namespace tw
