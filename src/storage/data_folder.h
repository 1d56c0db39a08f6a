#pragma once

#include "base/slice_runner.h"
#include "storage/activity_database.h"
#include "storage/appearance.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/places.h"
#include "storage/settings_file.h"

namespace tw {

// What the program keeps of its data folder for one run: where its files are, the settings
// file with the windows' appearance read from it, and the activity database (with the rows
// it holds while the file cannot be written), the program clock they are dated by, the log
// they report to, and the turns the program's connections to the activity file take with the
// slices of its clean-up. The program object owns one and hands it down; a test builds one over a
// folder of its own.
class TDataFolder {
  public:
    // Makes the folder and what is in it private to the person's account where it was not,
    // and logs what it found open. The clock and the log must outlive the folder.
    TDataFolder(TPlaces places, TClock& clock, TErrorLog& log);
    TDataFolder(const TDataFolder&) = delete;
    TDataFolder& operator=(const TDataFolder&) = delete;

    const TPlaces& Places() const { return places_; }
    TClock& Clock() const { return clock_; }
    TSettingsFile& Settings() { return settings_; }
    TAppearance& Appearance() { return appearance_; }
    TActivityDatabase& Activity() { return activity_; }
    TErrorLog& Log() const { return log_; }
    TSliceTurns& SliceTurns() { return sliceTurns_; }

  private:
    TPlaces places_;
    TClock& clock_;
    TErrorLog& log_;
    TSliceTurns sliceTurns_; // before what hands it down
    TSettingsFile settings_;
    TAppearance appearance_;
    TActivityDatabase activity_;
};

} // namespace tw
