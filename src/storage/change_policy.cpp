// The once-a-day rules: a user without the password gets one immediate change of each
// kind per day; later ones wait in the settings file until the next daily reset.
// Lowering the limit is always immediate, because it only makes the program stricter.
#include "storage/change_policy.h"

#include "platform/key_derivation.h"
#include "storage/access.h"
#include "storage/error_log.h"
#include "storage/expiration_action.h"
#include "storage/password_digest.h"
#include "storage/pending_removals.h"
#include "storage/settings_file.h"

namespace tw {

TChangePolicy::TChangePolicy(TSettings& settings, TSettingsFile& file)
    : settings_(settings), file_(file) {}

void TChangePolicy::LoadMarkers() {
    expirationActionChanged_ = file_.ReadBool("Common", "ExpirationActionChanged", false);
    timeLimitSecondsChanged_ = file_.ReadBool("Common", "TimeLimitSecondsChanged", false);
    deleteActionProcessed_ = file_.ReadBool("Common", "MonitoredItemDeleteActionProcessed", false);
}

void TChangePolicy::SetExpirationAction(TExpirationAction value) {
    TSettingsFile& file = file_;
    if (adminAccess_ || !expirationActionChanged_) {
        settings_.ExpirationAction = value;
        file.DeleteKey("Common", "ExpirationAction");
        if (!adminAccess_) {
            expirationActionChanged_ = true;
            file.WriteBool("Common", "ExpirationActionChanged", true);
        }
    } else if (settings_.AllowUserToChangeSettings) {
        file.WriteInteger("Common", "ExpirationAction", ExpirationActionIndex(value));
    }
}

void TChangePolicy::SetTimeLimitSeconds(int seconds) {
    TSettingsFile& file = file_;
    auto apply = [&] {
        file.DeleteKey("Common", "TimeLimitSeconds");
        settings_.TimeLimitSeconds = seconds;
    };
    if (adminAccess_) {
        apply();
    } else if (!timeLimitSecondsChanged_) {
        if (settings_.TimeLimitSeconds < seconds) {
            timeLimitSecondsChanged_ = true;
        }
        apply();
        file.WriteBool("Common", "TimeLimitSecondsChanged", timeLimitSecondsChanged_);
    } else if (settings_.AllowUserToChangeSettings) {
        if (seconds < settings_.TimeLimitSeconds) {
            apply();
        } else {
            file.WriteInteger("Common", "TimeLimitSeconds", seconds);
        }
    }
}

void TChangePolicy::ApplyLimitAndAction(int seconds, TExpirationAction action, int shownSeconds,
                                        TExpirationAction shownAction) {
    if (action != shownAction) {
        SetExpirationAction(action);
    }
    if (seconds != shownSeconds) {
        SetTimeLimitSeconds(seconds);
    }
}

TItemDeletion TChangePolicy::MonitoredItemDelete(const TMonitoredItem* item) {
    const TItemDeletion right = DeletionRight();
    if (right == TItemDeletion::Nothing) {
        return right;
    }
    const int index = settings_.MonitoredList.IndexOfItem(item);
    if (index < 0) {
        return right;
    }
    const bool admin = right == TItemDeletion::Removed;
    if (admin || !deleteActionProcessed_) {
        if (!admin) {
            // Kept in the file at once: a restart must not grant a second removal today.
            SetMonitoredItemDeleteActionProcessed(true);
        }
        settings_.MonitoredList.Delete(index);
        return TItemDeletion::Removed;
    }
    TMonitoredItem& found = settings_.MonitoredList.Items(index);
    found.Active = false;
    RecordPendingRemoval(file_, found);
    return TItemDeletion::Deactivated;
}

void TChangePolicy::ApplyPendingRemovals() {
    if (settings_.AllowUserToChangeSettings) {
        for (const std::string& name : PendingRemovalNames(file_)) {
            if (const int index = settings_.MonitoredList.IndexOfName(name); index != -1) {
                settings_.MonitoredList.Delete(index);
            }
        }
    }
    ClearPendingRemovals(file_);
}

void TChangePolicy::SetMonitoredItemDeleteActionProcessed(bool value) {
    deleteActionProcessed_ = value;
    file_.WriteBool("Common", "MonitoredItemDeleteActionProcessed", value);
}

void TChangePolicy::ResetChangeFlags() {
    TSettingsFile& file = file_;
    expirationActionChanged_ = false;
    timeLimitSecondsChanged_ = false;
    deleteActionProcessed_ = false;
    file.WriteBool("Common", "ExpirationActionChanged", false);
    file.WriteBool("Common", "TimeLimitSecondsChanged", false);
    file.WriteBool("Common", "MonitoredItemDeleteActionProcessed", false);
    if (settings_.AllowUserToChangeSettings) {
        int pendingLimit = file.ReadInteger("Common", "TimeLimitSeconds", -1);
        // Pending values were decided yesterday: applying them does not use up today's
        // own change.
        if (IsValidTimeLimit(pendingLimit)) {
            settings_.TimeLimitSeconds = pendingLimit;
        }
        if (auto pendingAction =
                ExpirationActionFromIndex(file.ReadInteger("Common", "ExpirationAction", -1))) {
            settings_.ExpirationAction = *pendingAction;
        }
    }
    // The administrator's standing choices live in the same section as the day's markers,
    // and outlast the day.
    file.EraseSectionExcept("Common", {"Show5MinButton"});
}

TChangeDecision TChangePolicy::DecideChange() const {
    return ChangeNeedsPassword() && !adminAccess_ ? TChangeDecision::NeedsPassword
                                                  : TChangeDecision::Allowed;
}

TChangeDecision TChangePolicy::DecideDeletion(const TMonitoredItem& item) const {
    const TChangeDecision change = DecideChange();
    if (change == TChangeDecision::Allowed && !item.Active) {
        return TChangeDecision::AllowedTomorrow;
    }
    return change;
}

TChangeDecision TChangePolicy::DecideStartAtLogin(bool on) const {
    return on ? TChangeDecision::Allowed : DecideChange();
}

TItemDeletion TChangePolicy::DeletionRight() const {
    switch (AccessLevel()) {
    case TAccessLevel::None:
        return TItemDeletion::Nothing;
    case TAccessLevel::User:
        return TItemDeletion::Deactivated;
    case TAccessLevel::Admin:
        break;
    }
    return TItemDeletion::Removed;
}

bool TChangePolicy::GuardedControlsUsable(bool firstRun, bool passwordTyped) const {
    return firstRun || adminAccess_ || (!passwordTyped && settings_.AllowUserToChangeSettings);
}

void TChangePolicy::BeginSettingsWizard(bool firstRun) {
    if (firstRun && !PasswordGuardsSettings()) {
        adminAccess_ = true;
    }
}

bool TChangePolicy::LogOn(const std::string& text) {
    if (settings_.Password.empty() || CheckPassword(text)) {
        adminAccess_ = true;
        return true;
    }
    return false;
}

bool TChangePolicy::ChangeNeedsPassword() const {
    return PasswordGuardsSettings() && !settings_.AllowUserToChangeSettings;
}

TAccessLevel TChangePolicy::AccessLevel() const {
    if (adminAccess_) {
        return TAccessLevel::Admin;
    }
    return settings_.AllowUserToChangeSettings ? TAccessLevel::User : TAccessLevel::None;
}

int TChangePolicy::ShownTimeLimitSeconds() const {
    if (AccessLevel() == TAccessLevel::Admin) {
        return settings_.TimeLimitSeconds;
    }
    const int pending = file_.ReadInteger("Common", "TimeLimitSeconds", -1);
    return IsValidTimeLimit(pending) ? pending : settings_.TimeLimitSeconds;
}

TExpirationAction TChangePolicy::ShownExpirationAction() const {
    if (AccessLevel() == TAccessLevel::Admin) {
        return settings_.ExpirationAction;
    }
    return ExpirationActionFromIndex(file_.ReadInteger("Common", "ExpirationAction", -1))
        .value_or(settings_.ExpirationAction);
}

bool TChangePolicy::CheckPassword(const std::string& text) {
    const TPasswordMatch match = MatchPassword(text, settings_.Password);
    adminAccess_ = match != TPasswordMatch::Wrong;
    if (match == TPasswordMatch::RightInOldForm) {
        // The unsalted digest falls to a lookup table; the right password is at hand only
        // now. The new form goes out with the next save of the settings, as any change.
        try {
            settings_.Password = PasswordDigest(text);
        } catch (const ECryptoError& e) {
            file_.Log().Report(std::string("The administrator password stays in its old form: ") +
                               e.what());
        }
    }
    return adminAccess_;
}

void TChangePolicy::SetPassword(const std::string& text) {
    settings_.Password = PasswordDigest(text);
    adminAccess_ = true;
}

} // namespace tw
