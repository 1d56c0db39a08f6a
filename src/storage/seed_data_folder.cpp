#include "storage/seed_data_folder.h"

#include "platform/file_privacy.h"
#include "platform/native_path.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/settings_restore.h"
#include "storage/sqlite_database.h"

#include <filesystem>

namespace tw {
namespace {

namespace fs = std::filesystem;

} // namespace

bool TakeListFromActivity(const TPlaces& places, TErrorLog& log) {
    try {
        TSQLiteDatabase db(places.SettingsDatabasePath());
        db.ExecSQL("ATTACH DATABASE ?1 AS activity", {places.ActivityDatabasePath()});
        db.ExecSQL("BEGIN IMMEDIATE");
        for (const char* table : {"applications_list", "websites_list"}) {
            db.ExecSQL(std::string("INSERT INTO main.") + table +
                       "(name, caption, active) SELECT name, caption, active FROM activity." +
                       table + " ORDER BY rowid");
        }
        db.ExecSQL("COMMIT");
        return true;
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, "; SeedDataFolder: "));
        return false;
    }
}

bool DatabaseFileMissing(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(NativePath(path), error);
    return error ? !fs::exists(NativePath(path), error) : size == 0;
}

TSeedOutcome SeedDataFolder(const TPlaces& places, TErrorLog& log) {
    const fs::path program = NativePath(places.programFolder);
    const std::string settingsPath = places.SettingsDatabasePath();
    const std::string activityPath = places.ActivityDatabasePath();
    const bool missing = DatabaseFileMissing(settingsPath);
    // A settings.sqlite that can be read always wins over the copy.
    const bool damaged = !missing && SettingsDatabaseDamaged(settingsPath) &&
                         !DatabaseFileMissing(activityPath) && SettingsCopyHeld(activityPath, log);
    if (!missing && !damaged) {
        return {};
    }
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        if (!fs::exists(program / name)) {
            // Two lines in the notice: the path on a line of its own.
            throw ETemplatesMissing("Please reinstall Tallywick: no template databases in\n" +
                                    Utf8Path(program));
        }
    }
    if (fs::create_directories(NativePath(places.dataFolder))) { // throws the system's error
        MakePrivate(places.dataFolder);
    }
    std::string aside;
    if (damaged) {
        aside = MoveSettingsAside(settingsPath, LocalWallClockNow(), log); // a name for the person
        if (aside.empty()) {
            return {}; // the load reports the damage, and nothing is written over it
        }
    }
    const bool historyKept = !DatabaseFileMissing(activityPath);
    // A failed copy is reported by the database layer when the file is used.
    CopyTemplateDatabase(places, "settings.sqlite");
    if (!historyKept) {
        CopyTemplateDatabase(places, "actmondb.sqlite");
        return {true, {}};
    }
    log.Report("The settings database \"" + settingsPath + "\" was " +
               (damaged ? "damaged and has been kept as \"" + aside + "\"" : "missing") +
               "; a new one takes the list from \"" + activityPath + "\", whose history is kept.");
    TakeListFromActivity(places, log);
    if (!SettingsCopyHeld(activityPath, log) || !TakeSettingsFromActivity(places, log)) {
        return {true, {}};
    }
    std::string notice = "Tallywick's settings database was " +
                         std::string(damaged ? "damaged" : "missing") +
                         ". Your settings (the time limit, the action at the limit, the "
                         "administrator's password) and your list have been restored from their "
                         "copy in\n" +
                         activityPath + "\n";
    if (damaged) {
        notice += "\nThe damaged file has been kept as\n" + aside + "\n";
    }
    log.Report(notice);
    return {true, notice};
}

std::string CopyTemplateDatabase(const TPlaces& places, const std::string& name) {
    const fs::path source = NativePath(places.programFolder) / name;
    std::error_code error;
    if (!fs::is_regular_file(source, error)) {
        return "no template \"" + Utf8Path(source) + "\" beside the program";
    }
    fs::create_directories(NativePath(places.dataFolder), error);
    fs::copy_file(source, NativePath(places.dataFolder) / name,
                  fs::copy_options::overwrite_existing, error);
    if (error) {
        return error.message();
    }
    // The copy has the template's permissions, readable by all; SQLite gives its journals
    // those of the database.
    MakePrivate(places.dataFolder + name);
    return {};
}

} // namespace tw
