#include "platform/clock_sync.h"

#ifdef __linux__
#include <sys/timex.h>
#endif

namespace tw {

bool SystemClockSynchronised() {
#ifdef __linux__
    // Reading only (no modes): needs no privilege.
    timex state{};
    const int result = adjtimex(&state);
    return result >= 0 && result != TIME_ERROR && (state.status & STA_UNSYNC) == 0;
#else
    return false;
#endif
}

} // namespace tw
