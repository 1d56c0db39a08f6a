#include "storage/clock.h"

#include "platform/clock_sync.h"
#include "platform/system_time.h"
#include "storage/date_format.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <thread>

namespace tw {
namespace {

// Day count of 1970-01-01, where the system's seconds count from.
constexpr TDateTime UnixEpochDay = 25569;

class TSystemClockSource : public TClockSource {
  public:
    // A counter that stops while the machine sleeps would put the clock behind by every
    // night of sleep, and the re-alignment refuses to follow so large a step.
    std::int64_t Ticks() override { return TimeCounterTicks(); }
    std::int64_t Frequency() override { return TimeCounterFrequency(); }
    TDateTime UtcNow() override { return SystemUtcNow(); }
    TDateTime LocalTime(TDateTime utc) override { return SystemLocalTime(utc); }
    bool Synchronised() override { return SystemClockSynchronised(); }
};

// Nested start/stop that accumulates counter ticks, minus the measured cost of one
// stop-and-start so that frequent reads do not inflate the clock.
struct TStopwatch {
    int nesting = 0;
    std::int64_t startReading = 0;
    std::int64_t accumulated = 0;

    void Start(TClockSource& source) {
        if (nesting++ == 0) {
            startReading = source.Ticks();
        }
    }
    void Stop(TClockSource& source, std::int64_t overhead) {
        if (--nesting == 0) {
            std::int64_t elapsed = source.Ticks() - startReading - overhead;
            if (elapsed >= 0) {
                accumulated += elapsed;
            }
        }
    }
};

struct TClockState {
    std::mutex lock;
    TSystemClockSource systemSource;
    TClockSource* source = &systemSource;
    TDateTime base = 0; // UTC
    std::int64_t overhead = 0;
    std::int64_t systemOverhead = -1; // measured once per process
    TStopwatch stopwatch;
    bool synchronised = false;

    TClockState() { Restart(); }

    void Restart() {
        std::lock_guard guard(lock);
        base = source->UtcNow();
        overhead = 0;
        if (source == &systemSource && systemOverhead >= 0) {
            overhead = systemOverhead;
        } else if (source == &systemSource) {
            std::int64_t smallest = -1;
            for (int i = 0; i < 10; ++i) {
                if (i > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                TStopwatch probe;
                probe.Start(*source);
                probe.Stop(*source, 0);
                if (smallest < 0 || probe.accumulated < smallest) {
                    smallest = probe.accumulated;
                }
            }
            overhead = systemOverhead = smallest;
        }
        stopwatch = TStopwatch{};
        stopwatch.Start(*source);
        synchronised = false;
    }

    // Under the lock: the add wizard's scan thread reads the clock while the window's thread
    // moves it.
    TDateTime UtcNow() {
        stopwatch.Stop(*source, overhead);
        const double seconds = static_cast<double>(stopwatch.accumulated) / source->Frequency();
        stopwatch.Start(*source);
        return base + seconds / SecondsPerDay;
    }
};

// How long after boot a jump of the system's clock is taken as its correction.
constexpr double CorrectionAfterBootSeconds = 600;

TClockState& State() {
    static TClockState state;
    return state;
}

// Set up while the program's modules initialise, so the clock starts with the process.
[[maybe_unused]] const bool clockStarted = (State(), true);

} // namespace

TDateTime ClockUtcNow() {
    TClockState& s = State();
    std::lock_guard guard(s.lock);
    return s.UtcNow();
}

TDateTime ClockNow() {
    TClockState& s = State();
    std::lock_guard guard(s.lock);
    return s.source->LocalTime(s.UtcNow());
}

TDateTime ClockToday() {
    return std::floor(ClockNow());
}

TDateTime ClockTimeOfDay() {
    TDateTime now = ClockNow();
    return now - std::floor(now);
}

TDateTime DayStartToday() {
    return ClockToday() + 4 * OneHour;
}

void ClockAdjust(TDateTime delta) {
    TClockState& s = State();
    std::lock_guard guard(s.lock);
    s.base += delta;
}

bool ClockRealign() {
    TClockState& s = State();
    std::lock_guard guard(s.lock);
    const TDateTime delta = s.source->UtcNow() - s.UtcNow();
    // Compared in whole milliseconds, the wall clock's resolution: as a day fraction, a
    // difference of exactly five minutes often comes out a hair smaller.
    if (std::llround(std::fabs(delta) * SecondsPerDay * 1000) < 300000) {
        s.base += delta;
        return true;
    }
    return false;
}

bool ClockSynchronised(TDateTime tolerance) {
    TClockState& s = State();
    std::lock_guard guard(s.lock);
    return s.source->Synchronised() && std::fabs(s.source->UtcNow() - s.UtcNow()) < tolerance;
}

TDateTime ClockFollowCorrection() {
    TClockState& s = State();
    std::lock_guard guard(s.lock);
    const bool synchronised = s.source->Synchronised();
    const bool becameSynchronised = synchronised && !s.synchronised;
    s.synchronised = synchronised;
    const double sinceBoot = static_cast<double>(s.source->Ticks()) / s.source->Frequency();
    if (!becameSynchronised && sinceBoot >= CorrectionAfterBootSeconds) {
        return 0;
    }
    const TDateTime delta = s.source->UtcNow() - s.UtcNow();
    // Drift below a second is the half-hourly re-alignment's.
    if (std::fabs(delta) * SecondsPerDay < 1) {
        return 0;
    }
    s.base += delta;
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

void ClockInstallSource(TClockSource* source) {
    TClockState& s = State();
    {
        std::lock_guard guard(s.lock);
        s.source = source ? source : &s.systemSource;
    }
    s.Restart();
}

} // namespace tw
