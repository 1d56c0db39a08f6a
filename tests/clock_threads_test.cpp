// The add wizard's scan thread reads the program clock while the window's thread reads and
// moves it. Built with ThreadSanitizer, which ends the run at the first unguarded access: a
// race there is rare in a plain run and would show only as a clock that stalls or leaps.
#include "storage/clock.h"

#include <cstdio>
#include <thread>

int main() {
    auto read = [] {
        for (int i = 0; i < 20000; ++i) {
            tw::ClockUtcNow();
            tw::ClockNow();
        }
    };
    std::thread other(read);
    for (int i = 0; i < 2000; ++i) {
        tw::ClockRealign();
        tw::ClockFollowCorrection();
        tw::ClockAdjust(0);
    }
    read();
    other.join();
    std::puts("no race");
    return 0;
}
