#include "storage/clock.h"

#include "storage/date_format.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>
#include <thread>

namespace tw {
namespace {

class TSystemClockSource : public TClockSource {
  public:
    std::int64_t Ticks() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    std::int64_t Frequency() override { return 1000000000; }
    TDateTime WallNow() override { return LocalWallClockNow(); }
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
    TDateTime base = 0;
    std::int64_t overhead = 0;
    std::int64_t systemOverhead = -1; // measured once per process
    TStopwatch stopwatch;

    TClockState() { Restart(); }

    void Restart() {
        std::lock_guard guard(lock);
        base = source->WallNow();
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
    }
};

TClockState& State() {
    static TClockState state;
    return state;
}

// Set up while the program's modules initialise, so the clock starts with the process.
[[maybe_unused]] const bool clockStarted = (State(), true);

} // namespace

TDateTime ClockNow() {
    TClockState& s = State();
    s.stopwatch.Stop(*s.source, s.overhead);
    double seconds = static_cast<double>(s.stopwatch.accumulated) / s.source->Frequency();
    s.stopwatch.Start(*s.source);
    return s.base + seconds / SecondsPerDay;
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
    State().base += delta;
}

bool ClockRealign() {
    TDateTime delta = State().source->WallNow() - ClockNow();
    // Compared in whole milliseconds, the wall clock's resolution: as a day fraction, a
    // difference of exactly five minutes often comes out a hair smaller.
    if (std::llround(std::fabs(delta) * SecondsPerDay * 1000) < 300000) {
        ClockAdjust(delta);
        return true;
    }
    return false;
}

TDateTime LocalWallClockNow() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
}

void ClockInstallSource(TClockSource* source) {
    TClockState& s = State();
    s.source = source ? source : &s.systemSource;
    s.Restart();
}

} // namespace tw
