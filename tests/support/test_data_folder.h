#pragma once

#include "support/manual_clock.h"
#include "support/temp_dir.h"

#include <string>

namespace twtest {

// The program-wide objects of one test: a fresh data folder holding copies of the template
// databases, the settings file, options object and appearance read from there, and a
// program clock that moves only when the test says so. Everything is put back on
// destruction, the data folder a test runner had set included.
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
    TManualClockSource& Clock() { return clock_; }
    // What a restarted program would see: the options object (saved first), the settings
    // file and the appearance are read afresh from the folder.
    void Restart();
    // Runs one statement on a database of the folder (test set-up and inspection).
    void Exec(const std::string& file, const std::string& sql) const;
    // The first column of the first row of a query, as text ("" for no rows).
    std::string Scalar(const std::string& file, const std::string& sql) const;

  private:
    TempDir dir_;
    TManualClockSource clock_;
    std::string previousFolder_;
};

} // namespace twtest
