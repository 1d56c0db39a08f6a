#include "storage/seed_data_folder.h"

#include "platform/native_path.h"
#include "storage/error_log.h"
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

bool SeedDataFolder(const TPlaces& places, TErrorLog& log) {
    const fs::path program = NativePath(places.programFolder);
    if (!DatabaseFileMissing(places.SettingsDatabasePath())) {
        return false;
    }
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        if (!fs::exists(program / name)) {
            // Two lines in the notice: the path on a line of its own.
            throw ETemplatesMissing("Please reinstall Tallywick: no template databases in\n" +
                                    Utf8Path(program));
        }
    }
    fs::create_directories(NativePath(places.dataFolder)); // throws the system's error
    const bool historyKept = !DatabaseFileMissing(places.ActivityDatabasePath());
    // A failed copy is reported by the database layer when the file is used.
    CopyTemplateDatabase(places, "settings.sqlite");
    if (historyKept) {
        log.Report("The settings database \"" + places.SettingsDatabasePath() +
                   "\" was missing; a new one takes the list from \"" +
                   places.ActivityDatabasePath() + "\", whose history is kept.");
        TakeListFromActivity(places, log);
    } else {
        CopyTemplateDatabase(places, "actmondb.sqlite");
    }
    return true;
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
    return error ? error.message() : std::string();
}

} // namespace tw
