#pragma once

#include "skin/slide_state.h"
#include "ui/dock_geometry.h"

namespace tw {

// How many pixels one tick of the slide moves a window of this width.
int SlideStepWidth(int windowWidth);

// One tick of the slide timer at the window's docking edge.
struct TSlideTick {
    int left;      // where the window goes now
    int state;     // the slide state after the tick
    bool finished; // the slide reached its end: stop the slide and the auto-hide timers
};
// A shown window starts hiding and a hidden one starts showing; a hiding window ends with
// 2 pixels left on the screen, a showing one ends flush with the edge.
TSlideTick SlideTick(int state, int align, int left, int windowWidth, const TWorkArea& workArea);

} // namespace tw
