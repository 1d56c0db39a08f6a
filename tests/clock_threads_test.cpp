// The add wizard's scan thread reads the program clock while the window's thread reads and
// moves it. Built with ThreadSanitizer, which ends the run at the first unguarded access: a
// race there is rare in a plain run and would show only as a clock that stalls or leaps.
#include "storage/clock.h"

#include <cstdio>
#include <thread>

int main() {
    tw::TSystemClockSource source;
    tw::TClock clock(source);
    auto read = [&clock] {
        for (int i = 0; i < 20000; ++i) {
            clock.UtcNow();
            clock.Now();
        }
    };
    std::thread other(read);
    for (int i = 0; i < 2000; ++i) {
        clock.Realign();
        clock.FollowCorrection();
        clock.Synchronised(1);
    }
    read();
    other.join();
    std::puts("no race");
    return 0;
}
