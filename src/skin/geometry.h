#pragma once

#include <array>
#include <vector>

namespace tw {

// Rectangles as left, top, right, bottom with right and bottom exclusive.
struct TRectI {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TRectI&) const = default;
};

struct TPointI {
    int x = 0, y = 0;
    bool operator==(const TPointI&) const = default;
};

// One piece of a nine-slice drawing: where it is taken from in the picture and where it
// goes in the target, relative to the target's top-left corner.
struct TSlicePiece {
    TRectI source;
    TRectI target;
};

// Unscoped: a piece's index in what NineSlice answers.
enum TSliceIndex {
    sliceTopLeft,
    sliceTopRight,
    sliceBottomLeft,
    sliceBottomRight,
    sliceLeft,
    sliceRight,
    sliceTop,
    sliceBottom,
    sliceCentre
};

// Cuts a picture of sourceWidth x sourceHeight into corners, sides and centre and
// stretches them over width x height. Corners larger than half the target are reduced to
// half of it, so a small panel keeps symmetric corners.
std::array<TSlicePiece, 9> NineSlice(int sourceWidth, int sourceHeight, int width, int height,
                                     int sideWidth, int sideHeight);

// Window alpha (0..255) for a transparency in percent. The percentage is kept within
// 0..90, the range the menu offers, so a hand-edited value can never make a window vanish.
int AlphaFromTransparency(int percent);

// Empty rows to append so that a list box of boxHeight shows whole rows of rowHeight
// down to its bottom, given the rows that already hold text.
int PadRowCount(int boxHeight, int rowHeight, int filledRows);

// Where a window dragged to `wanted` may stand: inside the work area, the bottom-right
// edges winning over the top-left ones when the window is larger than the area.
TPointI ClampToWorkArea(TPointI wanted, int width, int height, const TRectI& workArea);

// Top-left corners of the copies of a tile picture that cover a width x height area
// from its top-left corner (one spare copy at the right and bottom ends).
std::vector<TPointI> TileOrigins(int width, int height, int tileWidth, int tileHeight);

} // namespace tw
