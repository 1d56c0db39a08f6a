#pragma once

namespace tw {

// Whether a program may place its own windows. A Wayland compositor alone places them (a
// move is ignored), so there the windows are ordinary ones the person moves, and nothing
// docks or slides.
bool CanPlaceOwnWindows();

} // namespace tw
