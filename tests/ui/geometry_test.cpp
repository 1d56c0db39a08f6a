#include "skin/geometry.h"

#include <gtest/gtest.h>

namespace {

using tw::NineSlice;
using tw::TRectI;

TEST(NineSliceTest, CornersKeepTheirSizeAndTheMiddleStretches) {
    const auto pieces = NineSlice(40, 30, 200, 100, 10, 8);
    EXPECT_EQ(pieces[tw::sliceTopLeft].source, (TRectI{0, 0, 10, 8}));
    EXPECT_EQ(pieces[tw::sliceTopLeft].target, (TRectI{0, 0, 10, 8}));
    EXPECT_EQ(pieces[tw::sliceBottomRight].source, (TRectI{30, 22, 40, 30}));
    EXPECT_EQ(pieces[tw::sliceBottomRight].target, (TRectI{190, 92, 200, 100}));
    EXPECT_EQ(pieces[tw::sliceCentre].source, (TRectI{10, 8, 30, 22}));
    EXPECT_EQ(pieces[tw::sliceCentre].target, (TRectI{10, 8, 190, 92}));
    EXPECT_EQ(pieces[tw::sliceRight].target, (TRectI{190, 8, 200, 92}));
    EXPECT_EQ(pieces[tw::sliceBottom].source, (TRectI{10, 22, 30, 30}));
}

TEST(NineSliceTest, CornersShrinkToHalfOfASmallTarget) {
    // A 12-pixel-high panel with 20-pixel corners draws them 6 pixels high.
    const auto low = NineSlice(64, 64, 100, 12, 20, 20);
    EXPECT_EQ(low[tw::sliceTopLeft].target, (TRectI{0, 0, 20, 6}));
    EXPECT_EQ(low[tw::sliceBottomLeft].target, (TRectI{0, 6, 20, 12}));
    EXPECT_EQ(low[tw::sliceBottomLeft].source, (TRectI{0, 58, 20, 64}));
    EXPECT_EQ(low[tw::sliceLeft].target.Height(), 0);
    // Odd sizes round the corners down, leaving a one-pixel middle.
    const auto narrow = NineSlice(64, 64, 15, 40, 20, 20);
    EXPECT_EQ(narrow[tw::sliceTopLeft].target, (TRectI{0, 0, 7, 20}));
    EXPECT_EQ(narrow[tw::sliceTopRight].target, (TRectI{8, 0, 15, 20}));
    EXPECT_EQ(narrow[tw::sliceTop].target.Width(), 1);
}

TEST(AlphaTest, EveryOfferedPercentage) {
    const std::pair<int, int> table[] = {{0, 255},  {5, 242},  {10, 229}, {15, 217}, {20, 204},
                                         {25, 191}, {30, 179}, {40, 153}, {50, 127}, {60, 102},
                                         {70, 77},  {80, 51},  {90, 25}};
    for (const auto& [percent, alpha] : table) {
        EXPECT_EQ(tw::AlphaFromTransparency(percent), alpha) << percent << "%";
    }
}

TEST(AlphaTest, HandEditedValuesNeverHideTheWindow) {
    EXPECT_EQ(tw::AlphaFromTransparency(100), 25);
    EXPECT_EQ(tw::AlphaFromTransparency(1000), 25);
    EXPECT_EQ(tw::AlphaFromTransparency(-20), 255);
}

TEST(PadRowCountTest, FillsToTheBottomWithWholeRows) {
    EXPECT_EQ(tw::PadRowCount(202, 20, 3), 7);
    EXPECT_EQ(tw::PadRowCount(201, 20, 3), 6); // a partial row is not padded
    EXPECT_EQ(tw::PadRowCount(202, 20, 10), 0);
    EXPECT_EQ(tw::PadRowCount(202, 20, 14), 0); // more items than rows
    EXPECT_EQ(tw::PadRowCount(2, 20, 0), 0);
    EXPECT_EQ(tw::PadRowCount(0, 20, 0), 0);
    EXPECT_EQ(tw::PadRowCount(100, 0, 0), 0);
}

TEST(ClampToWorkAreaTest, StopsAtEveryEdge) {
    const TRectI area{0, 0, 1920, 1040};
    EXPECT_EQ(tw::ClampToWorkArea({3000, 2000}, 400, 300, area), (tw::TPointI{1520, 740}));
    EXPECT_EQ(tw::ClampToWorkArea({-50, -70}, 400, 300, area), (tw::TPointI{0, 0}));
    EXPECT_EQ(tw::ClampToWorkArea({100, 200}, 400, 300, area), (tw::TPointI{100, 200}));
    // A work area that does not start at the origin (a panel at the top, a second screen).
    const TRectI shifted{1920, 28, 3840, 1080};
    EXPECT_EQ(tw::ClampToWorkArea({1900, 0}, 400, 300, shifted), (tw::TPointI{1920, 28}));
    EXPECT_EQ(tw::ClampToWorkArea({4000, 900}, 400, 300, shifted), (tw::TPointI{3440, 780}));
    // Larger than the area: the top-left corner may leave it, as the bottom-right wins.
    EXPECT_EQ(tw::ClampToWorkArea({0, 0}, 400, 2000, area), (tw::TPointI{0, -960}));
}

TEST(TileOriginsTest, CoversFromTheTopLeftWithOneSpareAtEachEnd) {
    const auto origins = tw::TileOrigins(100, 50, 48, 48);
    ASSERT_EQ(origins.size(), 6u); // i in 0..2, j in 0..1
    EXPECT_EQ(origins.front(), (tw::TPointI{0, 0}));
    EXPECT_EQ(origins.back(), (tw::TPointI{96, 48}));
    EXPECT_EQ(tw::TileOrigins(96, 48, 48, 48).size(), 6u);
    EXPECT_TRUE(tw::TileOrigins(100, 50, 0, 48).empty());
}

} // namespace
