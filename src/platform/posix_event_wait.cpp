// Windows waits for its window messages instead; this file is for descriptor systems.
#ifndef _WIN32

#include "platform/event_wait.h"

#include <poll.h>
#include <vector>

namespace tw {

void WaitForSystemEvents(int timeoutMs, const std::vector<int>& descriptors) {
    std::vector<pollfd> watched;
    for (const int descriptor : descriptors) {
        if (descriptor >= 0) {
            watched.push_back({descriptor, POLLIN, 0});
        }
    }
    // An interruption by a signal simply ends the wait early.
    poll(watched.data(), watched.size(), timeoutMs);
}

} // namespace tw

#endif
