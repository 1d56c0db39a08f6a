#pragma once

namespace tw {

// The auto-hide phases of a docked window (the SlideState values); a window is dragged by
// its header only while shown.
enum TSlideState : int { ssShown = 0, ssHiding = 1, ssHidden = 2, ssShowing = 3 };

} // namespace tw
