// Docking, drag flipping and the auto-hide slide of the main window, as plain arithmetic.
#include "ui/dock_geometry.h"
#include "ui/slide_steps.h"

#include <gtest/gtest.h>

namespace {

using namespace tw;

// A 1280 x 800 screen with a 30-pixel panel at the top: the work area does not start at 0.
const TWorkArea Screen{0, 30, 1280, 800};
// A second monitor to the right of the first, to catch edges taken as absolute.
const TWorkArea RightMonitor{1280, 0, 3200, 1050};
constexpr int Width = 327;

TEST(DockGeometry, DocksFlushWithTheChosenEdgeAndTheCompactViewAtTopOrBottom) {
    EXPECT_EQ(DockedLeft(daRight, Screen, Width), 1280 - 327);
    EXPECT_EQ(DockedLeft(daLeft, Screen, Width), 0);
    EXPECT_EQ(DockedLeft(daRight, RightMonitor, Width), 3200 - 327);
    EXPECT_EQ(DockedLeft(daLeft, RightMonitor, Width), 1280);

    EXPECT_EQ(DockedTop(true, dvBottom, Screen, 250), 800 - 250);
    EXPECT_EQ(DockedTop(true, dvTop, Screen, 250), 30);
    EXPECT_EQ(DockedTop(true, dvNone, Screen, 250), 30);
    // The full views stand along the whole work area whatever the vertical choice.
    EXPECT_EQ(DockedTop(false, dvBottom, Screen, 770), 30);
}

TEST(DockGeometry, CrossingTheMiddleFlipsTheEdgeAndNothingElseDoes) {
    const TDockChoice right{daRight, dvNone};
    // The middle is 640; only a left strictly beyond it in the other direction flips.
    EXPECT_EQ(DragDock(right, false, 639, 100, Screen).align, daLeft);
    EXPECT_EQ(DragDock(right, false, 640, 100, Screen).align, daRight);
    const TDockChoice left{daLeft, dvNone};
    EXPECT_EQ(DragDock(left, false, 641, 100, Screen).align, daRight);
    EXPECT_EQ(DragDock(left, false, 640, 100, Screen).align, daLeft);
    // The middle of a second monitor is its own, not that of the virtual desktop.
    EXPECT_EQ(DragDock(right, false, 2000, 0, RightMonitor).align, daLeft);
    EXPECT_EQ(DragDock(right, false, 2300, 0, RightMonitor).align, daRight);
    // Dragging right then left again comes back to where it started.
    TDockChoice c = DragDock(right, false, 100, 0, Screen);
    c = DragDock(c, false, 1000, 0, Screen);
    EXPECT_EQ(c, right);
}

TEST(DockGeometry, TheVerticalHalfCountsOnlyInTheCompactView) {
    const TDockChoice start{daRight, dvNone};
    // Work-area middle: 30 + 770 / 2 = 415.
    EXPECT_EQ(DragDock(start, true, 1000, 416, Screen).alignVertical, dvBottom);
    EXPECT_EQ(DragDock(start, true, 1000, 415, Screen).alignVertical, dvTop);
    EXPECT_EQ(DragDock(start, false, 1000, 700, Screen).alignVertical, dvNone);
    // Both choices at once: a drag to the lower left.
    EXPECT_EQ(DragDock(start, true, 10, 700, Screen), (TDockChoice{daLeft, dvBottom}));
}

// Runs the slide from a state until it finishes; returns the ticks taken and the last tick.
std::pair<int, TSlideTick> Slide(int state, int align, int left, const TWorkArea& area) {
    for (int ticks = 1; ticks < 1000; ++ticks) {
        TSlideTick tick = SlideTick(state, align, left, Width, area);
        if (tick.finished) {
            return {ticks, tick};
        }
        state = tick.state;
        left = tick.left;
    }
    ADD_FAILURE() << "the slide never ends";
    return {0, {}};
}

TEST(SlideSteps, HidingLeavesATwoPixelStripAndShowingEndsFlush) {
    EXPECT_EQ(SlideStepWidth(327), 32);
    for (const TWorkArea& area : {Screen, RightMonitor}) {
        SCOPED_TRACE(area.left);
        const int docked = DockedLeft(daRight, area, Width);
        auto [hideTicks, hidden] = Slide(ssShown, daRight, docked, area);
        EXPECT_EQ(hidden.state, ssHidden);
        EXPECT_EQ(area.right - hidden.left, 2);
        EXPECT_EQ(hideTicks, 11);
        auto [showTicks, shown] = Slide(ssHidden, daRight, hidden.left, area);
        EXPECT_EQ(shown.state, ssShown);
        EXPECT_EQ(shown.left, docked);
        EXPECT_EQ(showTicks, 11);

        const int leftDocked = DockedLeft(daLeft, area, Width);
        auto [leftHideTicks, leftHidden] = Slide(ssShown, daLeft, leftDocked, area);
        EXPECT_EQ(leftHidden.left + Width - area.left, 2);
        EXPECT_EQ(leftHideTicks, 11);
        auto [leftShowTicks, leftShown] = Slide(ssHidden, daLeft, leftHidden.left, area);
        EXPECT_EQ(leftShown.left, leftDocked);
        EXPECT_EQ(leftShowTicks, 11);
    }
}

TEST(SlideSteps, EveryTickMovesOneStepTowardsItsEnd) {
    TSlideTick first = SlideTick(ssShown, daRight, 953, Width, Screen);
    EXPECT_EQ(first.state, ssHiding);
    EXPECT_EQ(first.left, 953 + 32);
    EXPECT_FALSE(first.finished);
    TSlideTick back = SlideTick(ssHidden, daLeft, -325, Width, Screen);
    EXPECT_EQ(back.state, ssShowing);
    EXPECT_EQ(back.left, -325 + 32);
    // A window moved past its end (a work area that shrank meanwhile) still lands on it.
    TSlideTick late = SlideTick(ssShowing, daRight, 900, Width, Screen);
    EXPECT_TRUE(late.finished);
    EXPECT_EQ(late.left, 1280 - 327);
}

} // namespace
