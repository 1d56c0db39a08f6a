#pragma once

#include "skin/geometry.h"

namespace tw {

// Work areas are screen rectangles with exclusive right and bottom edges (right = left +
// width), so a window whose left is right - width sits flush against the right edge.
using TWorkArea = TRectI;

// Docking edge of the main window (the stored Align values).
enum TDockAlign : int { daRight = 1, daLeft = 2 };
// Where the compact view sits on its edge (the stored AlignVertical values).
enum TDockVertical : int { dvNone = 0, dvBottom = 1, dvTop = 2 };

// The window's left when docked: flush with the right edge for daRight, else the left edge.
int DockedLeft(int align, const TWorkArea& workArea, int windowWidth);
// The window's top: at the bottom only in the compact view docked to the bottom.
int DockedTop(bool liteView, int alignVertical, const TWorkArea& workArea, int windowHeight);

// What dragging the header to (left, top) makes of the docking: the window is never moved
// by the drag itself, but crossing the middle of the work area flips the edge, and in the
// compact view the vertical half decides top or bottom.
struct TDockChoice {
    int align;
    int alignVertical;
    bool operator==(const TDockChoice&) const = default;
};
TDockChoice DragDock(const TDockChoice& current, bool liteView, int left, int top,
                     const TWorkArea& workArea);

} // namespace tw
