#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace twtest {

// One simulated stretch of a person's life with the program: the program object rebuilt from
// its files at every start, on the scripted desktop, over real SQLite files with faults
// injected, on a clock the run owns. Steps are drawn from one seed; after each one the
// program is held to the simulation's model.
struct TSimSettings {
    std::uint64_t seed = 1;
    int days = 30;
    // Checks and kinds of step left out, by name (see SimCheckNames, SimStepNames).
    std::set<std::string> off;
    // Every step is printed as it runs.
    bool verbose = false;
    // ... and every scan, with what the model and the program credited.
    bool scans = false;
};

struct TSimOutcome {
    bool passed = true;
    int step = 0;
    std::string check;   // which check failed
    std::string message; // what it found
    std::string recent;  // the steps before it
    int steps = 0;
    long scans = 0;
    double days = 0;
};

TSimOutcome RunSimulation(const TSimSettings& settings);

// "total history daystart limit credit instance"
const char* SimCheckNames();
// The kinds of step that can be left out.
const char* SimStepNames();

} // namespace twtest
