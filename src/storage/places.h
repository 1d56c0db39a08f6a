#pragma once

#include <string>

namespace tw {

// Where the program's files are. The program asks the system once at start (SystemPlaces);
// a test names folders of its own. Folders end with a separator.
struct TPlaces {
    // The per-user data folder: settings, activity, log, lock.
    std::string dataFolder;
    // The files the program ships with: template databases, Skins, the uninstaller's marker.
    std::string programFolder;
    // The running executable.
    std::string programPath;

    // The executable's file name without its extension: it names the settings file and log.
    std::string ProgramBaseName() const;
    std::string SettingsFilePath() const { return dataFolder + ProgramBaseName() + ".ini"; }
    std::string SettingsDatabasePath() const { return dataFolder + "settings.sqlite"; }
    std::string ActivityDatabasePath() const { return dataFolder + "actmondb.sqlite"; }
    std::string LogFilePath() const { return dataFolder + ProgramBaseName() + ".log"; }
};

// The given data folder (created, with missing parents) and the shipped files of the given
// executable.
TPlaces PlacesOf(const std::string& dataFolder, const std::string& programPath);
// The system's: the user's application-data folder + "Tallywick.V3", and this executable.
// Throws when the system names no application-data folder.
TPlaces SystemPlaces();

} // namespace tw
