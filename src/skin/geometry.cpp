#include "skin/geometry.h"

#include <algorithm>

namespace tw {

std::array<TSlicePiece, 9> NineSlice(int sourceWidth, int sourceHeight, int width, int height,
                                     int sideWidth, int sideHeight) {
    const int W = sourceWidth, H = sourceHeight, w = width, h = height;
    int sw = std::max(sideWidth, 0), sh = std::max(sideHeight, 0);
    if (2 * sw > w) {
        sw = w / 2;
    }
    if (2 * sh > h) {
        sh = h / 2;
    }
    std::array<TSlicePiece, 9> pieces;
    pieces[sliceTopLeft] = {{0, 0, sw, sh}, {0, 0, sw, sh}};
    pieces[sliceTopRight] = {{W - sw, 0, W, sh}, {w - sw, 0, w, sh}};
    pieces[sliceBottomLeft] = {{0, H - sh, sw, H}, {0, h - sh, sw, h}};
    pieces[sliceBottomRight] = {{W - sw, H - sh, W, H}, {w - sw, h - sh, w, h}};
    pieces[sliceLeft] = {{0, sh, sw, H - sh}, {0, sh, sw, h - sh}};
    pieces[sliceRight] = {{W - sw, sh, W, H - sh}, {w - sw, sh, w, h - sh}};
    pieces[sliceTop] = {{sw, 0, W - sw, sh}, {sw, 0, w - sw, sh}};
    pieces[sliceBottom] = {{sw, H - sh, W - sw, H}, {sw, h - sh, w - sw, h}};
    pieces[sliceCentre] = {{sw, sh, W - sw, H - sh}, {sw, sh, w - sw, h - sh}};
    return pieces;
}

int AlphaFromTransparency(int percent) {
    percent = std::clamp(percent, 0, 90);
    // percent x 255 / 100 rounded half to even, in whole numbers.
    const int scaled = percent * 255;
    int quotient = scaled / 100;
    const int remainder = scaled % 100;
    if (remainder > 50 || (remainder == 50 && quotient % 2 == 1)) {
        ++quotient;
    }
    return 255 - quotient;
}

int PadRowCount(int boxHeight, int rowHeight, int filledRows) {
    if (rowHeight <= 0 || boxHeight <= 2) {
        return 0;
    }
    const int rows = (boxHeight - 2) / rowHeight;
    return std::max(rows - filledRows, 0);
}

TPointI ClampToWorkArea(TPointI wanted, int width, int height, const TRectI& workArea) {
    TPointI at = wanted;
    at.x = std::max(at.x, workArea.left);
    at.y = std::max(at.y, workArea.top);
    if (at.y + height > workArea.bottom) {
        at.y = workArea.bottom - height;
    }
    if (at.x + width > workArea.right) {
        at.x = workArea.right - width;
    }
    return at;
}

std::vector<TPointI> TileOrigins(int width, int height, int tileWidth, int tileHeight) {
    std::vector<TPointI> origins;
    if (tileWidth <= 0 || tileHeight <= 0 || width < 0 || height < 0) {
        return origins;
    }
    for (int i = 0; i <= width / tileWidth; ++i) {
        for (int j = 0; j <= height / tileHeight; ++j) {
            origins.push_back({i * tileWidth, j * tileHeight});
        }
    }
    return origins;
}

} // namespace tw
