#include "support/x11_program_windows.h"

#include "support/child_process.h"

#include <vector>

namespace twtest {

TXWindow WaitForWindowOf(TScreen& screen, pid_t pid, const std::string& title, int milliseconds) {
    std::vector<TXWindow> shown;
    WaitUntil(
        [&] {
            shown = screen.WindowsOf(pid, title);
            return !shown.empty();
        },
        milliseconds);
    return shown.empty() ? 0 : shown.front();
}

void PressReminderOk(TScreen& screen, TXWindow reminder) {
    const TScreenRect place = screen.Geometry(reminder);
    const int shift = place.height == 413 ? -119 : place.height == 295 ? -236 : 0;
    screen.Click(place.x + 421 + 35, place.y + 486 + 16 + shift);
}

} // namespace twtest
