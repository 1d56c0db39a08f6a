// The once-a-day rules: a user without the password gets one immediate change of each
// kind per day; later ones wait in the settings file until the next daily reset.
// Lowering the limit is always immediate, because it only makes the program stricter.
#include "storage/options.h"

#include "base/text.h"
#include "storage/access.h"
#include "storage/expiration_action.h"
#include "storage/md5.h"
#include "storage/settings_file.h"

namespace tw {

void TOptions::SetExpirationAction(TExpirationAction value) {
    TSettingsFile& file = Settings();
    if (AdminAccess || !ExpirationActionChanged) {
        ExpirationAction = value;
        file.DeleteKey("Common", "ExpirationAction");
        if (!AdminAccess) {
            ExpirationActionChanged = true;
            file.WriteBool("Common", "ExpirationActionChanged", true);
        }
    } else if (AllowUserToChangeSettings) {
        file.WriteInteger("Common", "ExpirationAction", ExpirationActionIndex(value));
    }
}

void TOptions::SetTimeLimitSeconds(int seconds) {
    TSettingsFile& file = Settings();
    auto apply = [&] {
        file.DeleteKey("Common", "TimeLimitSeconds");
        TimeLimitSeconds = seconds;
    };
    if (AdminAccess) {
        apply();
    } else if (!TimeLimitSecondsChanged) {
        if (TimeLimitSeconds < seconds) {
            TimeLimitSecondsChanged = true;
        }
        apply();
        file.WriteBool("Common", "TimeLimitSecondsChanged", TimeLimitSecondsChanged);
    } else if (AllowUserToChangeSettings) {
        if (seconds < TimeLimitSeconds) {
            apply();
        } else {
            file.WriteInteger("Common", "TimeLimitSeconds", seconds);
        }
    }
}

void TOptions::ApplyLimitAndAction(int seconds, TExpirationAction action, int shownSeconds,
                                   TExpirationAction shownAction) {
    if (action != shownAction) {
        SetExpirationAction(action);
    }
    if (seconds != shownSeconds) {
        SetTimeLimitSeconds(seconds);
    }
}

TItemDeletion TOptions::MonitoredItemDelete(const TMonitoredItem* item) {
    const int level = AccessLevel();
    if (level == alNone) {
        return TItemDeletion::Nothing;
    }
    const int index = MonitoredList.IndexOfItem(item);
    if (index < 0) {
        return level == alAdmin ? TItemDeletion::Removed : TItemDeletion::Deactivated;
    }
    if (level == alAdmin || !MonitoredItemDeleteActionProcessed) {
        if (level != alAdmin) {
            // Kept in the file at once: a restart must not grant a second removal today.
            SetMonitoredItemDeleteActionProcessed(true);
        }
        MonitoredList.Delete(index);
        return TItemDeletion::Removed;
    }
    TMonitoredItem& found = MonitoredList.Items(index);
    found.Active = false;
    RecordPendingRemoval(found);
    return TItemDeletion::Deactivated;
}

namespace {

const char* PendingRemovalSection(const TMonitoredItem& item) {
    return item.ItemType == TMonitoredItemType::mitWeb ? "WebSites" : "Applications";
}

} // namespace

void TOptions::RecordPendingRemoval(const TMonitoredItem& item) {
    Settings().WriteString(PendingRemovalSection(item), item.Name, item.Name);
}

void TOptions::CancelPendingRemoval(const TMonitoredItem& item) {
    Settings().DeleteKey(PendingRemovalSection(item), item.Name);
}

std::vector<std::string> TOptions::PendingRemovalNames() const {
    std::vector<std::string> names;
    const TSettingsFile& file = Settings();
    for (const char* section : {"Applications", "WebSites"}) {
        for (const auto& [name, value] : file.ReadSectionValues(section)) {
            names.push_back(name);
        }
    }
    return names;
}

void TOptions::ApplyPendingRemovals() {
    if (AllowUserToChangeSettings) {
        for (const std::string& name : PendingRemovalNames()) {
            if (const int index = MonitoredList.IndexOfName(name); index != -1) {
                MonitoredList.Delete(index);
            }
        }
    }
    TSettingsFile& file = Settings();
    for (const char* section : {"Applications", "WebSites"}) {
        if (file.SectionExists(section)) {
            file.EraseSection(section);
        }
    }
}

void TOptions::SetMonitoredItemDeleteActionProcessed(bool value) {
    MonitoredItemDeleteActionProcessed = value;
    Settings().WriteBool("Common", "MonitoredItemDeleteActionProcessed", value);
}

void TOptions::ResetChangeFlags() {
    TSettingsFile& file = Settings();
    ExpirationActionChanged = false;
    TimeLimitSecondsChanged = false;
    MonitoredItemDeleteActionProcessed = false;
    file.WriteBool("Common", "ExpirationActionChanged", false);
    file.WriteBool("Common", "TimeLimitSecondsChanged", false);
    file.WriteBool("Common", "MonitoredItemDeleteActionProcessed", false);
    if (AllowUserToChangeSettings) {
        int pendingLimit = file.ReadInteger("Common", "TimeLimitSeconds", -1);
        // Pending values were decided yesterday: applying them does not use up today's
        // own change.
        if (IsValidTimeLimit(pendingLimit)) {
            TimeLimitSeconds = pendingLimit;
        }
        if (auto pendingAction =
                ExpirationActionFromIndex(file.ReadInteger("Common", "ExpirationAction", -1))) {
            ExpirationAction = *pendingAction;
        }
    }
    // The administrator's standing choices live in the same section as the day's markers,
    // and outlast the day.
    file.EraseSectionExcept("Common", {"Show5MinButton"});
}

namespace {

const char* DayChoiceKey(TDayChoice choice) {
    return choice == TDayChoice::ListClosed ? "ListClosedForTheDay" : "FiveMinutesTaken";
}

} // namespace

bool TOptions::DayChoiceMade(TDayChoice choice) const {
    return Settings().ReadBool("Common", DayChoiceKey(choice), false);
}

void TOptions::MakeDayChoice(TDayChoice choice) {
    Settings().WriteBool("Common", DayChoiceKey(choice), true);
}

bool TOptions::ChangeNeedsPassword() const {
    return PasswordGuardsSettings() && !AllowUserToChangeSettings;
}

int TOptions::AccessLevel() const {
    if (AdminAccess) {
        return alAdmin;
    }
    return AllowUserToChangeSettings ? alUser : alNone;
}

int TOptions::ShownTimeLimitSeconds() const {
    if (AccessLevel() == alAdmin) {
        return TimeLimitSeconds;
    }
    const int pending = Settings().ReadInteger("Common", "TimeLimitSeconds", -1);
    return IsValidTimeLimit(pending) ? pending : TimeLimitSeconds;
}

TExpirationAction TOptions::ShownExpirationAction() const {
    if (AccessLevel() == alAdmin) {
        return ExpirationAction;
    }
    return ExpirationActionFromIndex(Settings().ReadInteger("Common", "ExpirationAction", -1))
        .value_or(ExpirationAction);
}

bool TOptions::CheckPassword(const std::string& text) {
    AdminAccess = SameText(MD5Hex(text), Password);
    return AdminAccess;
}

void TOptions::SetPassword(const std::string& text) {
    Password = MD5Hex(text);
    AdminAccess = true;
}

} // namespace tw
