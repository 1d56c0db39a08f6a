#include "ui/dock_geometry.h"

namespace tw {

int DockedLeft(int align, const TWorkArea& workArea, int windowWidth) {
    return align == daRight ? workArea.right - windowWidth : workArea.left;
}

int DockedTop(bool liteView, int alignVertical, const TWorkArea& workArea, int windowHeight) {
    return liteView && alignVertical == dvBottom ? workArea.bottom - windowHeight : workArea.top;
}

TDockChoice DragDock(const TDockChoice& current, bool liteView, int left, int top,
                     const TWorkArea& workArea) {
    TDockChoice result = current;
    if (liteView) {
        result.alignVertical = top > workArea.Height() / 2 + workArea.top ? dvBottom : dvTop;
    }
    const int middle = workArea.Width() / 2 + workArea.left;
    if (current.align == daRight && left < middle) {
        result.align = daLeft;
    } else if (current.align == daLeft && left > middle) {
        result.align = daRight;
    }
    return result;
}

} // namespace tw
