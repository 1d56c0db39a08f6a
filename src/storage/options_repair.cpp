// What the options put right in their own files: a list copy that differs at start, and a
// settings database deleted or emptied while the program runs.
#include "storage/options.h"

#include "storage/error_log.h"
#include "storage/seed_data_folder.h"

#include <utility>

namespace tw {

void TOptions::RepairListCopy(bool seededAfresh) {
    // Either list may be the older one (a settings.sqlite put back from a backup, a fresh one
    // whose list could not be taken from the copy): a program missing from it has not
    // necessarily left the list.
    listPutBack_ = seededAfresh || !listCopyMatches_;
    if (loadFailed_ || readOnly_ || listCopyMatches_) {
        return;
    }
    ErrorLog("The list's copy in \"" + LogDBPath() + "\" differs from the list in \"" +
             SettingsDBPath() + "\"; it is written again from the settings.");
    MonitoredItemsSave();
}

void TOptions::RestoreSettingsDatabase() {
    if (!DatabaseFileMissing(SettingsDBPath())) {
        return;
    }
    const std::string copyError = CopyTemplateDatabase(Places(), "settings.sqlite");
    if (!copyError.empty()) {
        if (!settingsRepairFailedReported_) {
            settingsRepairFailedReported_ = true;
            ErrorLog("The settings database \"" + SettingsDBPath() +
                     "\" is missing and no new one could be started: " + copyError);
        }
        return;
    }
    settingsRepairFailedReported_ = false;
    settingsNotice_ =
        "Tallywick's settings database was missing or empty. A new one has been started:\n" +
        SettingsDBPath() +
        "\n\nThe settings, the list and the reminders in use have been saved "
        "into it.";
    ErrorLog(settingsNotice_);
}

std::string TOptions::RepairSettingsDatabase() {
    if (!loadFailed_ && !readOnly_ && DatabaseFileMissing(SettingsDBPath())) {
        Save();
    }
    return std::exchange(settingsNotice_, std::string());
}

} // namespace tw
