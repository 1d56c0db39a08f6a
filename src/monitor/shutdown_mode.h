#pragma once

namespace tw {

// How the computer goes down at the limit. The desktop takes the number
// (TDesktop::ShutdownComputer).
enum class TShutdownMode : int {
    Restart = 0,
    PowerOff = 1,
};

} // namespace tw
