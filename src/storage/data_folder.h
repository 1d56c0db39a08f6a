#pragma once

#include "storage/activity_database.h"
#include "storage/appearance.h"
#include "storage/clock.h"
#include "storage/places.h"
#include "storage/settings_file.h"

namespace tw {

// What the program keeps of its data folder for one run: where its files are, the settings
// file with the windows' appearance read from it, and the activity database (with the rows
// it holds while the file cannot be written), and the program clock they are dated by.
// The program object owns one and hands it down; a test builds one over a folder of its own.
class TDataFolder {
  public:
    // Makes the folder and what is in it private to the person's account where it was not,
    // and logs what it found open. The clock must outlive the folder.
    TDataFolder(TPlaces places, TClock& clock);
    TDataFolder(const TDataFolder&) = delete;
    TDataFolder& operator=(const TDataFolder&) = delete;

    const TPlaces& Places() const { return places_; }
    TClock& Clock() const { return clock_; }
    TSettingsFile& Settings() { return settings_; }
    TAppearance& Appearance() { return appearance_; }
    TActivityDatabase& Activity() { return activity_; }

  private:
    TPlaces places_;
    TClock& clock_;
    TSettingsFile settings_;
    TAppearance appearance_;
    TActivityDatabase activity_;
};

} // namespace tw
