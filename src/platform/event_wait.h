#pragma once

#include <vector>

namespace tw {

// Waits, on the thread of a loop of our own (the windowless program's), until the system
// has something for it or the time is up: one of the descriptors became readable (Linux;
// negative ones are left out), or messages for the thread's windows arrived, which are then
// handled (Windows: the backend's hidden windows receive the system's notices and the
// session's end that way).
void WaitForSystemEvents(int timeoutMs, const std::vector<int>& descriptors);

} // namespace tw
