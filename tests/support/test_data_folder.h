#pragma once

#include "storage/data_folder.h"
#include "support/collecting_log.h"
#include "support/manual_clock.h"
#include "support/temp_dir.h"

#include <memory>
#include <string>

namespace twtest {

// The program's state of one test: a fresh data folder holding copies of the template
// databases, the settings file, appearance and activity database over it (as the program
// object holds them), the log written there that keeps what it hears, stamped by the folder's
// program clock, and that clock over a source that moves only when the test says so.
class TestDataFolder {
  public:
    explicit TestDataFolder(tw::TDateTime now);
    // The folder under the given one (a memory file system, for a test that writes a lot).
    TestDataFolder(tw::TDateTime now, const std::filesystem::path& under);
    ~TestDataFolder();
    TestDataFolder(const TestDataFolder&) = delete;
    TestDataFolder& operator=(const TestDataFolder&) = delete;

    const std::filesystem::path& Path() const { return dir_.Path(); }
    std::string File(const std::string& name) const { return dir_.File(name); }
    // The source the test moves time with.
    TManualClockSource& Clock() { return clock_; }
    // The program clock over it, which the folder's objects and those a test builds over them
    // count by.
    tw::TClock& ProgramClock() { return *programClock_; }
    // The log the folder's objects report to (the folder's log file); it outlives Restart.
    TCollectingLog& Log() { return log_; }
    // Whether the system says its clock is synchronised (never, until a test says so).
    void SetClockSynchronised(bool synchronised) { Clock().SetSynchronised(synchronised); }
    // What the objects of a test are built over (options, loggers, a program object).
    tw::TDataFolder& Data() { return *data_; }
    const tw::TPlaces& Places() const { return data_->Places(); }
    tw::TSettingsFile& Settings() { return data_->Settings(); }
    tw::TAppearance& Appearance() { return data_->Appearance(); }
    tw::TActivityDatabase& Activity() { return data_->Activity(); }
    // What a restarted program would see: the settings file, the appearance and the activity
    // database made afresh over the folder. Whatever was built over the old ones must be gone.
    void Restart();
    // A start of the program: as Restart, and the program clock starts again from the
    // source's UTC time (as a new process's does).
    void RestartClock();
    // Runs one statement on a database of the folder (test set-up and inspection).
    void Exec(const std::string& file, const std::string& sql) const;
    // The first column of the first row of a query, as text ("" for no rows).
    std::string Scalar(const std::string& file, const std::string& sql) const;

  private:
    TempDir dir_;
    TManualClockSource clock_;
    std::unique_ptr<tw::TClock> programClock_;
    TCollectingLog log_;
    std::unique_ptr<tw::TDataFolder> data_;
};

} // namespace twtest
