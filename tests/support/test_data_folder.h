#pragma once

#include "storage/clock.h"
#include "support/temp_dir.h"

#include <string>

namespace twtest {

// A fresh data folder holding copies of the template databases, and a program clock
// that moves only when the test says so. Everything is put back on destruction.
class TestDataFolder {
  public:
    explicit TestDataFolder(tw::TDateTime now);
    ~TestDataFolder();
    TestDataFolder(const TestDataFolder&) = delete;
    TestDataFolder& operator=(const TestDataFolder&) = delete;

    std::string File(const std::string& name) const { return dir_.File(name); }
    tw::TManualClockSource& Clock() { return clock_; }
    // Runs one statement on a database of the folder (test set-up and inspection).
    void Exec(const std::string& file, const std::string& sql) const;
    // The first column of the first row of a query, as text ("" for no rows).
    std::string Scalar(const std::string& file, const std::string& sql) const;

  private:
    TempDir dir_;
    tw::TManualClockSource clock_;
};

} // namespace twtest
