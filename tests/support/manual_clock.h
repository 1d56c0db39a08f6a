#pragma once

#include "storage/clock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace twtest {

// A clock source whose counter and system clock move only when told: a program clock built
// over it (tw::TClock) is how tests and benchmarks move the program's time. Its local time is
// its UTC time until a test gives it a time zone.
class TManualClockSource : public tw::TClockSource {
  public:
    explicit TManualClockSource(tw::TDateTime startUtc) : utc_(startUtc) {}
    ~TManualClockSource() override;
    TManualClockSource(const TManualClockSource&) = delete;
    TManualClockSource& operator=(const TManualClockSource&) = delete;

    std::int64_t Ticks() override { return ticks_; }
    std::int64_t Frequency() override { return 1000000; }
    tw::TDateTime UtcNow() override { return utc_; }
    tw::TDateTime LocalTime(tw::TDateTime utc) override;
    bool Synchronised() override { return synchronised_; }

    // Both the counter and the system clock move on (also through a sleep of the machine:
    // the program's counter goes on while it sleeps).
    void Advance(double seconds);
    // Only the system clock moves, as when the user sets it.
    void MoveWallClock(double seconds) { utc_ += seconds / tw::SecondsPerDay; }
    // The system clock reads exactly this from now on (a run that keeps its own true time
    // in whole milliseconds, so that a year of small steps does not drift).
    void SetWallClock(tw::TDateTime utc) { utc_ = utc; }
    // The machine starts again: the counter counts from zero, the system clock goes on, not
    // yet set from a time server.
    void Reboot() {
        ticks_ = 0;
        synchronised_ = false;
    }
    // The system says its clock is (or is no longer) set from a time server.
    void SetSynchronised(bool synchronised) { synchronised_ = synchronised; }
    // How long the machine has been up, sleeps included.
    double BootSeconds() const { return static_cast<double>(ticks_) / 1000000; }
#ifndef _WIN32
    // From now on local times follow the system's own rules for a POSIX TZ value
    // ("CET-1CEST,M3.5.0,M10.5.0/3"), as when the person changes the zone. The process's
    // TZ is put back when the source goes.
    void UseZone(const std::string& tz);
#endif

  private:
    // Booted a day ago: a wall clock moved now is the person's doing, not a correction made
    // soon after boot.
    std::int64_t ticks_ = std::int64_t{86400} * 1000000;
    tw::TDateTime utc_;
    bool zoned_ = false;
    bool synchronised_ = false;
    std::optional<std::string> previousTz_;
};

} // namespace twtest
