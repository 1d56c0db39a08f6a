#include "storage/settings_restore.h"

#include "platform/native_path.h"
#include "storage/activity_database.h"
#include "storage/error_log.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

#include <sqlite3.h>

#include <filesystem>

namespace tw {

namespace fs = std::filesystem;

bool SettingsDatabaseDamaged(const std::string& path) {
    try {
        // A file cut short may still show its first page; the check reads every page.
        TSQLiteDatabase db(path);
        auto result = db.GetTable("PRAGMA quick_check");
        return !result->First() || result->ValueAsText(0) != "ok";
    } catch (const ESQLiteException& e) {
        return e.Code() == SQLITE_NOTADB || e.Code() == SQLITE_CORRUPT;
    }
}

bool SettingsCopyHeld(const std::string& activityPath, TErrorLog& log) {
    try {
        TSQLiteDatabase db(activityPath);
        auto table = db.GetTable("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND "
                                 "name = 'settings'");
        if (!table->First() || table->ValueAsText(0) != "1") {
            return false;
        }
        table = db.GetTable("SELECT COUNT(*) FROM settings");
        return table->First() && table->ValueAsText(0) != "0";
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, "; SettingsCopyHeld: "));
        return false;
    }
}

bool TakeSettingsFromActivity(const TPlaces& places, TErrorLog& log) {
    try {
        TSQLiteDatabase db(places.SettingsDatabasePath());
        db.ExecSQL("ATTACH DATABASE ?1 AS activity", {places.ActivityDatabasePath()});
        db.ExecSQL("BEGIN IMMEDIATE");
        db.ExecSQL("DELETE FROM main.settings");
        db.ExecSQL("INSERT INTO main.settings(name, value) SELECT name, value FROM "
                   "activity.settings ORDER BY rowid");
        db.ExecSQL("COMMIT");
        return true;
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, "; TakeSettingsFromActivity: "));
        return false;
    }
}

std::string MoveSettingsAside(const std::string& path, TDateTime when, TErrorLog& log) {
    std::error_code error;
    const std::string aside = MoveDatabaseAside(path, when, error);
    if (aside.empty()) {
        log.Report("The damaged database \"" + path +
                   "\" could not be moved aside: " + error.message());
    }
    return aside;
}

} // namespace tw
