#include "storage/clock.h"

#include "platform/clock_sync.h"
#include "platform/system_time.h"
#include "storage/date_format.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <thread>

namespace tw {
namespace {

// Day count of 1970-01-01, where the system's seconds count from.
constexpr TDateTime UnixEpochDay = 25569;

// How long after boot a jump of the system's clock is taken as its correction.
constexpr double CorrectionAfterBootSeconds = 600;

} // namespace

TSystemClockSource::TSystemClockSource() {
    // The least of a few tries, apart in time: one try may meet the scheduler.
    std::int64_t smallest = -1;
    for (int i = 0; i < 10; ++i) {
        if (i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const std::int64_t first = Ticks();
        const std::int64_t cost = Ticks() - first;
        if (smallest < 0 || cost < smallest) {
            smallest = cost;
        }
    }
    readCost_ = std::max<std::int64_t>(smallest, 0);
}

// A counter that stops while the machine sleeps would put the clock behind by every night of
// sleep, and the re-alignment refuses to follow so large a step.
std::int64_t TSystemClockSource::Ticks() {
    return TimeCounterTicks();
}

std::int64_t TSystemClockSource::Frequency() {
    return TimeCounterFrequency();
}

TDateTime TSystemClockSource::UtcNow() {
    return SystemUtcNow();
}

TDateTime TSystemClockSource::LocalTime(TDateTime utc) {
    return SystemLocalTime(utc);
}

bool TSystemClockSource::Synchronised() {
    return SystemClockSynchronised();
}

TClock::TClock(TClockSource& source)
    : source_(source), readCost_(source.ReadCost()), base_(source.UtcNow()),
      startReading_(source.Ticks()) {}

TDateTime TClock::UtcNowLocked() const {
    // The cost of the two readings is left out, so that frequent reads do not make the clock
    // run fast.
    const std::int64_t elapsed = source_.Ticks() - startReading_ - readCost_;
    if (elapsed >= 0) {
        accumulated_ += elapsed;
    }
    startReading_ = source_.Ticks();
    const double seconds = static_cast<double>(accumulated_) / source_.Frequency();
    return base_ + seconds / SecondsPerDay;
}

TDateTime TClock::UtcNow() const {
    std::lock_guard guard(lock_);
    return UtcNowLocked();
}

TDateTime TClock::Now() const {
    std::lock_guard guard(lock_);
    return source_.LocalTime(UtcNowLocked());
}

TDateTime TClock::Today() const {
    return std::floor(Now());
}

TDateTime TClock::TimeOfDay() const {
    const TDateTime now = Now();
    return now - std::floor(now);
}

TDateTime TClock::DayStartToday() const {
    return Today() + 4 * OneHour;
}

bool TClock::Realign() {
    std::lock_guard guard(lock_);
    const TDateTime delta = source_.UtcNow() - UtcNowLocked();
    // Compared in whole milliseconds, the wall clock's resolution: as a day fraction, a
    // difference of exactly five minutes often comes out a hair smaller.
    if (std::llround(std::fabs(delta) * SecondsPerDay * 1000) < 300000) {
        base_ += delta;
        return true;
    }
    return false;
}

bool TClock::Synchronised(TDateTime tolerance) const {
    std::lock_guard guard(lock_);
    return source_.Synchronised() && std::fabs(source_.UtcNow() - UtcNowLocked()) < tolerance;
}

TDateTime TClock::FollowCorrection() {
    std::lock_guard guard(lock_);
    const bool synchronised = source_.Synchronised();
    const bool becameSynchronised = synchronised && !synchronised_;
    synchronised_ = synchronised;
    const double sinceBoot = static_cast<double>(source_.Ticks()) / source_.Frequency();
    if (!becameSynchronised && sinceBoot >= CorrectionAfterBootSeconds) {
        return 0;
    }
    const TDateTime delta = source_.UtcNow() - UtcNowLocked();
    // Drift below a second is the half-hourly re-alignment's.
    if (std::fabs(delta) * SecondsPerDay < 1) {
        return 0;
    }
    base_ += delta;
    return delta;
}

TDateTime SystemUtcNow() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    return UnixEpochDay + static_cast<double>(ms) / (SecondsPerDay * 1000);
}

TDateTime SystemLocalTime(TDateTime utc) {
    const double utcSeconds = (utc - UnixEpochDay) * SecondsPerDay;
    const double whole = std::floor(utcSeconds);
    const int ms = static_cast<int>(std::llround((utcSeconds - whole) * 1000));
    const auto seconds = static_cast<std::time_t>(whole);
    const std::tm local = LocalCalendarTime(seconds);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0) + ms / (SecondsPerDay * 1000);
}

TDateTime LocalWallClockNow() {
    return SystemLocalTime(SystemUtcNow());
}

} // namespace tw
