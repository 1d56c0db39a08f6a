#pragma once

namespace tw {

// Whether the system says its clock is synchronised to a time source now. On Linux the
// kernel's own flag, which the time daemons clear once they have set the clock; where the
// system offers no such answer (Windows documents none), false: the caller must then judge
// the clock by other means.
bool SystemClockSynchronised();

} // namespace tw
