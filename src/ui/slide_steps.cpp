#include "ui/slide_steps.h"

namespace tw {

namespace {
// What stays on the screen of a slid-out window, for the mouse to find.
constexpr int VisibleStrip = 2;
} // namespace

int SlideStepWidth(int windowWidth) {
    return windowWidth / 10;
}

TSlideTick SlideTick(int state, int align, int left, int windowWidth, const TWorkArea& workArea) {
    if (state == ssShown) {
        state = ssHiding;
    } else if (state == ssHidden) {
        state = ssShowing;
    }
    const int step = SlideStepWidth(windowWidth);
    TSlideTick tick{left, state, false};
    const bool right = align == daRight;
    if (state == ssHiding) {
        tick.left = right ? left + step : left - step;
        const bool out =
            right ? tick.left > workArea.right : tick.left + windowWidth < workArea.left;
        if (out) {
            tick.left =
                right ? workArea.right - VisibleStrip : workArea.left + VisibleStrip - windowWidth;
            tick.state = ssHidden;
            tick.finished = true;
        }
    } else if (state == ssShowing) {
        tick.left = right ? left - step : left + step;
        const bool in =
            right ? tick.left + windowWidth < workArea.right : tick.left > workArea.left;
        if (in) {
            tick.left = right ? workArea.right - windowWidth : workArea.left;
            tick.state = ssShown;
            tick.finished = true;
        }
    }
    return tick;
}

} // namespace tw
