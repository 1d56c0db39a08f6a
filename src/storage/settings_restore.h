#pragma once

#include "base/date_time.h"
#include "storage/places.h"

#include <string>

namespace tw {

class TErrorLog;

// The settings' copy in actmondb.sqlite (its table "settings", written with the list's copy
// at every save) brings back a settings.sqlite that was lost or damaged while the program was
// stopped: the limit, the action at the limit and the administrator's password must not go
// with one deleted file.

// Whether settings.sqlite is there but is no database SQLite can read (not a database, or
// corrupt). A file that is locked, or that lacks a table, is not damaged: it is left alone.
bool SettingsDatabaseDamaged(const std::string& path);

// Whether the activity database holds a copy of the settings. Older files have none.
bool SettingsCopyHeld(const std::string& activityPath, TErrorLog& log);

// Replaces the settings rows of settings.sqlite with the copy's; false (reported) when that
// failed, and then settings.sqlite is as it was.
bool TakeSettingsFromActivity(const TPlaces& places, TErrorLog& log);

// Moves a damaged settings.sqlite and its journals aside (MoveDatabaseAside); returns where it
// went, or the empty text (reported) when it could not be moved.
std::string MoveSettingsAside(const std::string& path, TDateTime when, TErrorLog& log);

} // namespace tw
