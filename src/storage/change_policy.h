#pragma once

#include "storage/access.h"
#include "storage/expiration_action.h"
#include "storage/item_deletion.h"
#include "storage/settings_value.h"

#include <string>
#include <vector>

namespace tw {

class TSettingsFile;

// What the program answers a window that wants to begin a guarded change.
enum class TChangeDecision {
    Allowed,         // the change may go ahead now
    AllowedTomorrow, // already decided: it takes effect at the next daily reset
    NeedsPassword,   // the window asks for the administrator's password, then asks again
};

// Who may change the settings, and when: the edition, the administrator's one-action session
// and the once-a-day rules. A user without the password gets one immediate change of each
// kind per day; later ones wait in the settings file (section Common, and the pending
// removals' sections) until the next daily reset.
class TChangePolicy {
  public:
    TChangePolicy(TSettings& settings, TSettingsFile& file);
    TChangePolicy(const TChangePolicy&) = delete;
    TChangePolicy& operator=(const TChangePolicy&) = delete;

    // Whether this build guards the strict settings with an administrator password; the
    // self-managed edition asks nobody for one, and lets everybody change them.
    static constexpr bool PasswordGuardsSettings() { return BuildEdition != TEdition::SelfManaged; }

    // Reads the day's change markers from the settings file.
    void LoadMarkers();
    bool ExpirationActionChanged() const { return expirationActionChanged_; }
    bool TimeLimitSecondsChanged() const { return timeLimitSecondsChanged_; }
    bool MonitoredItemDeleteActionProcessed() const { return deleteActionProcessed_; }
    void SetMonitoredItemDeleteActionProcessed(bool value);

    // Whether a guarded change (the list, the limit, the time-up action) may begin.
    TChangeDecision DecideChange() const;
    // Whether the person may delete this item of today's list: an inactive one is already
    // on its way off the list.
    TChangeDecision DecideDeletion(const TMonitoredItem& item) const;
    // Whether the program's start at login may be switched on or off now. Off is a loosening
    // like a longer limit: where the settings are the administrator's, it needs the password.
    TChangeDecision DecideStartAtLogin(bool on) const;
    // What deleting an item of the settings wizard's list comes to for this person.
    TItemDeletion DeletionRight() const;
    // Whether the settings wizard's limit, action and list controls may be used, after its
    // Logon page (passwordTyped: something was typed there).
    bool GuardedControlsUsable(bool firstRun, bool passwordTyped) const;
    // Whether items waiting for their removal are shown as such (the self-managed edition).
    bool PendingRemovalsShown() const { return !PasswordGuardsSettings(); }

    // The administrator's session lasts one guarded action (TAdminSession ends it).
    bool AdminSessionOpen() const { return adminAccess_; }
    void EndAdminSession() { adminAccess_ = false; }
    // The settings wizard opened at the very first start works with administrator rights in
    // the self-managed edition: the first settings are the person's own decision.
    void BeginSettingsWizard(bool firstRun);
    // Opens the session when the password is right; a wrong one closes it.
    bool CheckPassword(const std::string& text);
    // The Logon page: with no password set yet, any entry opens the session.
    bool LogOn(const std::string& text);
    void SetPassword(const std::string& text);
    TAccessLevel AccessLevel() const;
    // Whether a guarded change needs the administrator's password before it may begin.
    bool ChangeNeedsPassword() const;

    void SetExpirationAction(TExpirationAction value);
    void SetTimeLimitSeconds(int seconds);
    // What a window's OK hands over: the limit and the action the person left there, and
    // what the window showed when it opened (ShownTimeLimitSeconds, ShownExpirationAction).
    // Only what differs is a change: an untouched value must not use up the day's one
    // change of it.
    void ApplyLimitAndAction(int seconds, TExpirationAction action, int shownSeconds,
                             TExpirationAction shownAction);
    // The limit and the action a window shows: the administrator the ones in force, anybody
    // else the changes waiting for the next daily reset, where there are any.
    int ShownTimeLimitSeconds() const;
    TExpirationAction ShownExpirationAction() const;

    // Takes the item off the list as far as the access level and the day's change rules
    // allow; for an item not on the list, says what the access level would allow.
    TItemDeletion MonitoredItemDelete(const TMonitoredItem* item);
    // The daily reset's share: the items waiting for their removal leave the list (where the
    // person may change it), and the notes go.
    void ApplyPendingRemovals();
    // The daily reset: markers cleared, pending values applied. The standing settings kept
    // beside the markers stay.
    void ResetChangeFlags();

  private:
    TSettings& settings_;
    TSettingsFile& file_;
    bool adminAccess_ = false;
    bool expirationActionChanged_ = false;
    bool timeLimitSecondsChanged_ = false;
    bool deleteActionProcessed_ = false;
};

// One guarded action: the administrator's access given for it ends with it, however it ends.
class TAdminSession {
  public:
    explicit TAdminSession(TChangePolicy& policy) : policy_(policy) {}
    ~TAdminSession() { policy_.EndAdminSession(); }
    TAdminSession(const TAdminSession&) = delete;
    TAdminSession& operator=(const TAdminSession&) = delete;

  private:
    TChangePolicy& policy_;
};

} // namespace tw
