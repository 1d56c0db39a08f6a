// What the options put right in their own files: a list copy that differs at start, and a
// settings database deleted or emptied while the program runs.
#include "storage/options.h"

#include "base/exception.h"
#include "storage/error_log.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"

#include <utility>

namespace tw {
namespace {

// Programs whose history the clean-up keeps although they are not listed: those a repair of
// the list's copy took off it.
const char* const KeptHistorySection = "KeptHistory";

} // namespace

void TOptions::RepairListCopy(bool seededAfresh) {
    // Either list may be the older one (a settings.sqlite put back from a backup, a fresh one
    // whose list could not be taken from the copy): a program missing from it has not
    // necessarily left the list.
    listPutBack_ = seededAfresh || !listCopyMatches_;
    if (loadFailed_ || readOnly_ || listCopyMatches_) {
        return;
    }
    // An empty list beside a full copy is a list that never arrived (a fresh settings.sqlite
    // whose seeding could not read the copy): the copy is the list, not the other way round.
    if (MonitoredList.Count() == 0 && TakeListFromActivity(Places())) {
        MonitoredListsLoad();
        listCopyMatches_ = ListCopyEqual();
        ErrorLog("The list in \"" + SettingsDBPath() +
                 "\" was empty; it is taken from its copy in \"" + LogDBPath() + "\".");
        if (listCopyMatches_) {
            return;
        }
    }
    if (!KeepHistoryOfDroppedPrograms()) {
        return; // the copy stays as it is until what it holds can be kept
    }
    ErrorLog("The list's copy in \"" + LogDBPath() + "\" differs from the list in \"" +
             SettingsDBPath() + "\"; it is written again from the settings.");
    MonitoredItemsSave();
}

bool TOptions::KeepHistoryOfDroppedPrograms() {
    // Either list may be the older one: a program on the copy alone may still be wanted (a
    // settings.sqlite put back from a backup), and its history outlives the repair.
    try {
        TSQLiteDatabase db(LogDBPath());
        auto table = db.GetTable("SELECT DISTINCT name FROM applications_list");
        for (bool more = table->First(); more && !table->Eof(); table->Next()) {
            const std::string name = table->ValueAsText(0);
            if (MonitoredList.IndexOfName(name) < 0) {
                Settings().WriteString(KeptHistorySection, name, name);
            }
        }
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, "; TOptions.KeepHistoryOfDroppedPrograms: "));
        return false;
    }
    return true;
}

std::vector<std::string> TOptions::KeptHistoryNames() const {
    std::vector<std::string> names;
    for (const auto& [name, value] : Settings().ReadSectionValues(KeptHistorySection)) {
        names.push_back(name);
    }
    return names;
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
