#pragma once

#include "base/exception.h"
#include "storage/places.h"

#include <string>

namespace tw {

class TErrorLog;

// The program folder lacks a template database that a first start needs: the install is
// broken. The message names the folder looked in.
class ETemplatesMissing : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "ETemplatesMissing"; }
};

// What seeding the data folder did at this start.
struct TSeedOutcome {
    // settings.sqlite was made afresh: its list is then not to be trusted for removing
    // history at this start.
    bool seededAfresh = false;
    // For the person, once: their settings were lost or damaged and have been restored from
    // their copy. Empty when nothing was restored.
    std::string notice;
};

// On the first start, copies the template databases that ship in the program folder into
// the data folder. Nothing is copied once the data folder has a readable settings.sqlite, and
// an existing actmondb.sqlite is never replaced: a fresh settings.sqlite beside it takes the
// list, and the settings where it holds their copy, from there, so that the history of the
// listed programs stays and the limit, its action and the password are not lost with one
// file. A damaged settings.sqlite beside such a copy is moved aside and restored the same way;
// without a copy it is left for the load to report, as before. When the program folder lacks
// either template, throws ETemplatesMissing before anything is created: the program must not
// go on to make empty databases of its own. A failed copy is left for the database layer to
// report when the file is used. Throws when the data folder cannot be created.
TSeedOutcome SeedDataFolder(const TPlaces& places, TErrorLog& log);

// The list's copy in the activity database is the best record of the list a lost settings
// database held: it is added to settings.sqlite's list tables. False (reported) when that
// failed.
bool TakeListFromActivity(const TPlaces& places, TErrorLog& log);

// Whether a database file is absent, or empty (what an open that was allowed to create it
// leaves): either way it holds nothing to lose.
bool DatabaseFileMissing(const std::string& path);

// Puts a fresh copy of one template database ("settings.sqlite", "actmondb.sqlite") into
// the data folder, creating the folder and replacing what is there. Returns the reason
// when it could not (no template beside the program, a folder that cannot be written),
// else the empty text.
std::string CopyTemplateDatabase(const TPlaces& places, const std::string& name);

} // namespace tw
