// What the options put right in their own files: a list copy that differs at start, and a
// settings database deleted or emptied while the program runs.
#include "storage/options.h"

#include "base/exception.h"
#include "storage/error_log.h"
#include "storage/options_sql.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"

#include <utility>

namespace tw {
namespace {

// Programs whose history the clean-up keeps although they are not listed: those a repair of
// the list's copy took off it.
const char* const KeptHistorySection = "KeptHistory";

// Notes the programs on the copy that the list lacks; false (reported) when the copy could
// not be read.
bool KeepHistoryOfDroppedPrograms(const std::string& activityPath, const TMonitoredList& list,
                                  TSettingsFile& file, TErrorLog& log) {
    // Either list may be the older one: a program on the copy alone may still be wanted (a
    // settings.sqlite put back from a backup), and its history outlives the repair.
    try {
        TSQLiteDatabase db(activityPath);
        auto table = db.GetTable("SELECT DISTINCT name FROM applications_list");
        for (bool more = table->First(); more && !table->Eof(); table->Next()) {
            const std::string name = table->ValueAsText(0);
            if (list.IndexOfName(name) < 0) {
                file.WriteString(KeptHistorySection, name, name);
            }
        }
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, "; TOptions.KeepHistoryOfDroppedPrograms: "));
        return false;
    }
    return true;
}

} // namespace

void TOptions::RepairListCopy(const TSeedOutcome& seeded) {
    startNotice_ = seeded.notice;
    const bool seededAfresh = seeded.seededAfresh;
    // Either list may be the older one (a settings.sqlite put back from a backup, a fresh one
    // whose list could not be taken from the copy): a program missing from it has not
    // necessarily left the list.
    listPutBack_ = seededAfresh || !db_.CopyMatches();
    if (loadFailed_ || readOnly_ || db_.CopyMatches()) {
        return;
    }
    // An empty list beside a full copy is a list that never arrived (a fresh settings.sqlite
    // whose seeding could not read the copy): the copy is the list, not the other way round.
    if (values_.MonitoredList.Count() == 0 && TakeListFromActivity(Places(), data_.Log())) {
        ReadMonitoredLists(db_, values_.MonitoredList);
        db_.NoteCopyMatches(db_.ListCopyEqual());
        data_.Log().Report("The list in \"" + SettingsDBPath() +
                           "\" was empty; it is taken from its copy in \"" + LogDBPath() + "\".");
        if (db_.CopyMatches()) {
            return;
        }
    }
    if (!KeepHistoryOfDroppedPrograms(LogDBPath(), values_.MonitoredList, Settings(),
                                      data_.Log())) {
        return; // the copy stays as it is until what it holds can be kept
    }
    data_.Log().Report("The list's copy in \"" + LogDBPath() + "\" differs from the list in \"" +
                       SettingsDBPath() + "\"; it is written again from the settings.");
    MonitoredItemsSave();
}

std::vector<std::string> TOptions::KeptHistoryNames() const {
    std::vector<std::string> names;
    for (const auto& [name, value] : Settings().ReadSectionValues(KeptHistorySection)) {
        names.push_back(name);
    }
    return names;
}

std::string TOptions::RepairSettingsDatabase() {
    if (!loadFailed_ && !readOnly_ && DatabaseFileMissing(SettingsDBPath())) {
        Save();
    }
    const std::string notice = db_.TakeRestoreNotice();
    return notice.empty() ? std::exchange(startNotice_, std::string()) : notice;
}

} // namespace tw
