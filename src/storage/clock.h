#pragma once

#include "base/date_time.h"

#include <cstdint>
#include <mutex>

namespace tw {

// Where the program clock takes its time from: a counter that goes on while the machine
// sleeps, the system's UTC time, and the system's time-zone rules of the moment.
class TClockSource {
  public:
    virtual ~TClockSource() = default;
    virtual std::int64_t Ticks() = 0;
    virtual std::int64_t Frequency() = 0;
    // The system's UTC time as a day count.
    virtual TDateTime UtcNow() = 0;
    // The local time of a UTC moment, by the rules in force now (a changed zone or a
    // daylight-saving change is followed at the next call).
    virtual TDateTime LocalTime(TDateTime utc) = 0;
    // Whether the system says its clock is set from a time server. A correction made when
    // that begins is one to follow, however large.
    virtual bool Synchronised() { return false; }
    // The ticks one reading of the counter costs, which the clock leaves out so that frequent
    // reads do not make it run fast.
    virtual std::int64_t ReadCost() { return 0; }
};

// The system's counter (going on through sleep), UTC time and zone rules.
class TSystemClockSource final : public TClockSource {
  public:
    // Measures the cost of a reading: takes about a tenth of a second.
    TSystemClockSource();
    std::int64_t Ticks() override;
    std::int64_t Frequency() override;
    TDateTime UtcNow() override;
    TDateTime LocalTime(TDateTime utc) override;
    bool Synchronised() override;
    std::int64_t ReadCost() override { return readCost_; }

  private:
    std::int64_t readCost_ = 0;
};

// The program clock keeps UTC: it starts at the source's UTC time and then advances by the
// counter only, so moving the system clock neither gives nor takes allowed time, while a
// night of sleep is counted as the night it was. Every local time (the 04:00 day start, the
// rows' dates, the day parts, the texts) is that UTC time converted by the current zone.
// The program's entry owns one (a test builds its own over a source it moves) and hands it
// down. Safe to use from several threads: the add wizard's scan thread reads it while the
// window's thread moves it.
class TClock {
  public:
    // The source must outlive the clock.
    explicit TClock(TClockSource& source);
    TClock(const TClock&) = delete;
    TClock& operator=(const TClock&) = delete;

    TDateTime Now() const;           // local time
    TDateTime UtcNow() const;        // the same moment in UTC
    TDateTime Today() const;         // midnight of Now
    TDateTime TimeOfDay() const;     // fraction part of Now
    TDateTime DayStartToday() const; // Today + 4 hours: the accounting day begins at 04:00

    // The periodic re-alignment: follows the system's UTC time only when it differs by less
    // than five minutes. Returns whether the clock was moved.
    bool Realign();
    // Whether the system says its clock is set from a time server and the program clock
    // keeps within the tolerance of it.
    bool Synchronised(TDateTime tolerance) const;
    // Follows the system's UTC time by any step, but only soon after boot or when the system
    // has just said its clock became synchronised: that is when a clock wrong at start (a
    // second system's offset, a clock battery run down) is put right, and not by the person.
    // Cheap enough for every scan. Returns the step taken, 0 for none.
    TDateTime FollowCorrection();

  private:
    // Under the lock.
    TDateTime UtcNowLocked() const;

    mutable std::mutex lock_;
    TClockSource& source_;
    const std::int64_t readCost_;
    TDateTime base_ = 0; // UTC
    mutable std::int64_t startReading_ = 0;
    mutable std::int64_t accumulated_ = 0;
    bool synchronised_ = false;
};

// The system's own UTC time and its local time of a UTC moment, read directly (only clock
// sources, and tests that compare with a program in another process, should need them).
TDateTime SystemUtcNow();
TDateTime SystemLocalTime(TDateTime utc);
TDateTime LocalWallClockNow(); // SystemLocalTime(SystemUtcNow())

} // namespace tw
