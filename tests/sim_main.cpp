// A simulated year of a person's days with the program, checked against a model after every
// step. Each seed is one run; a failing seed replays alone with the command it prints.
//   tallywick_sim [--seed=N | --seeds=A-B] [--days=D] [--off=name,name] [--verbose] [--scans]
#include "support/sim_world.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    std::uint64_t first = 1;
    std::uint64_t last = 12;
    twtest::TSimSettings settings;
    settings.days = 30;
    std::string off;
    if (const char* seed = std::getenv("TALLYWICK_SIM_SEED")) {
        first = last = std::stoull(seed);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = arg.substr(arg.find('=') + 1);
        if (arg.rfind("--seed=", 0) == 0) {
            first = last = std::stoull(value);
        } else if (arg.rfind("--seeds=", 0) == 0) {
            first = std::stoull(value.substr(0, value.find('-')));
            last = std::stoull(value.substr(value.find('-') + 1));
        } else if (arg.rfind("--days=", 0) == 0) {
            settings.days = std::stoi(value);
        } else if (arg.rfind("--off=", 0) == 0) {
            off = value;
            std::stringstream names(value);
            for (std::string name; std::getline(names, name, ',');) {
                settings.off.insert(name);
            }
        } else if (arg == "--verbose") {
            settings.verbose = true;
        } else if (arg == "--scans") {
            settings.verbose = settings.scans = true;
        } else {
            std::fprintf(
                stderr,
                "usage: %s [--seed=N|--seeds=A-B] [--days=D] [--off=a,b] [--verbose] [--scans]\n"
                "checks: %s\nsteps: %s\n",
                argv[0], twtest::SimCheckNames(), twtest::SimStepNames());
            return 2;
        }
    }
    int failures = 0;
    double days = 0;
    const auto started = std::chrono::steady_clock::now();
    for (std::uint64_t seed = first; seed <= last; ++seed) {
        settings.seed = seed;
        const twtest::TSimOutcome outcome = twtest::RunSimulation(settings);
        days += outcome.days;
        if (!outcome.passed) {
            ++failures;
            std::printf("FAILED seed %llu step %d, check \"%s\": %s\n%s  replay: %s --seed=%llu "
                        "--days=%d%s%s --verbose\n",
                        static_cast<unsigned long long>(seed), outcome.step, outcome.check.c_str(),
                        outcome.message.c_str(), outcome.recent.c_str(), argv[0],
                        static_cast<unsigned long long>(seed), settings.days,
                        off.empty() ? "" : " --off=", off.c_str());
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%llu seeds, %.0f simulated days, %d failed, %.1f s\n",
                static_cast<unsigned long long>(last - first + 1), days, failures, seconds);
    return failures == 0 ? 0 : 1;
}
