#pragma once

#include "support/x11_screen.h"

#include <string>
#include <sys/types.h>

namespace twtest {

// The first viewable window of the process with the title, once one is on the screen; 0 when
// none came within the time.
TXWindow WaitForWindowOf(TScreen& screen, pid_t pid, const std::string& title, int milliseconds);

// Clicks the time-up reminder's OK, as the person does. The button stands higher when the
// memos of the parts of the day already over are left out (the window is then 413 or 295
// pixels high, not 533).
void PressReminderOk(TScreen& screen, TXWindow reminder);

} // namespace twtest
