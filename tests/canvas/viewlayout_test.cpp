// The document window's layout: scroll bars, the corner panel and the
// 1600-pixel view of large canvases.
#include "canvas/viewlayout.h"

#include <gtest/gtest.h>

using namespace canvas;

namespace {

viewLayout_t layout(int w, int h, int cw, int ch, int sx = 0, int sy = 0, int ox = 0, int oy = 0)
{
    viewLayoutIn_t in;
    in.width = w;
    in.height = h;
    in.canvasRight = cw;
    in.canvasBottom = ch;
    in.scrollX = sx;
    in.scrollY = sy;
    in.originX = ox;
    in.originY = oy;
    return computeViewLayout(in);
}

} // namespace

TEST(ViewLayout, PageThatFitsShowsNoBars)
{
    const viewLayout_t l = layout(800, 600, 800 - 24, 600 - 24);
    EXPECT_FALSE(l.showX);
    EXPECT_FALSE(l.showY);
    EXPECT_TRUE(l.Panel1.isEmpty());
    EXPECT_EQ(l.Panel0, QRect(12, 12, 788, 588));
    EXPECT_EQ(l.corner1, QRect(0, 0, 12, 12));
    EXPECT_EQ(l.rulerX, QRect(12, 0, 788, 12));
    EXPECT_EQ(l.rulerY, QRect(0, 12, 12, 588));
    EXPECT_EQ(l.scrollX, 0);
    EXPECT_EQ(l.image, QSize(776, 576));
    EXPECT_EQ(l.Panel2.topLeft(), QPoint(12, 12));
}

TEST(ViewLayout, OnePixelTooWideShowsOnlyTheHorizontalBar)
{
    // Panel0 is 788 wide: a canvas of 777 needs 789.
    const viewLayout_t l = layout(800, 600, 777, 300);
    EXPECT_TRUE(l.showX);
    EXPECT_FALSE(l.showY);
    EXPECT_TRUE(l.Panel1.isEmpty());
    EXPECT_EQ(l.maxX, 1);
    EXPECT_EQ(l.ScrollBarX.height(), 16);
    EXPECT_EQ(l.ScrollBarX.bottom(), 599);
}

TEST(ViewLayout, HorizontalBarCanMakeTheVerticalOneNecessary)
{
    // Fits vertically by 10 pixels, which the horizontal bar takes away.
    const viewLayout_t l = layout(800, 600, 2000, 588 - 12 - 10);
    EXPECT_TRUE(l.showX);
    EXPECT_TRUE(l.showY);
    EXPECT_FALSE(l.Panel1.isEmpty());
}

TEST(ViewLayout, BothBarsShortenEachOtherAndPanel1FillsTheCorner)
{
    const viewLayout_t l = layout(800, 600, 3000, 4000);
    EXPECT_TRUE(l.showX);
    EXPECT_TRUE(l.showY);
    EXPECT_EQ(l.Panel1, QRect(784, 584, 16, 16));
    EXPECT_EQ(l.ScrollBarX.right(), 783);
    EXPECT_EQ(l.ScrollBarY.bottom(), 583);
    EXPECT_FALSE(l.ScrollBarX.intersects(l.ScrollBarY));
    // Each maximum includes the other bar's thickness.
    EXPECT_EQ(l.maxX, 3000 - 788 + 12 + 16);
    EXPECT_EQ(l.maxY, 4000 - 588 + 12 + 16);
}

TEST(ViewLayout, ScrollPositionIsClampedAndHiddenBarsSitAtZero)
{
    EXPECT_EQ(layout(800, 600, 3000, 300, 99999).scrollX, layout(800, 600, 3000, 300).maxX);
    EXPECT_EQ(layout(800, 600, 300, 300, 500, 500).scrollX, 0);
    EXPECT_EQ(layout(800, 600, 300, 300, 500, 500).scrollY, 0);
}

TEST(ViewLayout, ImageNeverExceeds1600)
{
    const viewLayout_t l = layout(1200, 900, 816 * 3, 1056 * 3);
    EXPECT_EQ(l.image, QSize(1600, 1600));
}

// At 300 % on a large page the 1600-pixel image must cover the visible part
// of the canvas at every scroll position, scrolling right and back.
TEST(ViewLayout, ViewMovesInStepsWithoutGapsAt300Percent)
{
    const int W = 1000, H = 700, CW = 2448, CH = 3168;  // Letter at 300 %
    int origin = 0;
    auto check = [&](int s) {
        const viewLayout_t l = layout(W, H, CW, 300, s, 0, origin, 0);
        origin = l.originX;
        const int visLeft = std::max(0, l.scrollX - 12);
        const int visRight = std::min(CW, l.scrollX - 12 + l.Panel0.width() - (l.showY ? 16 : 0));
        EXPECT_LE(l.originX, visLeft) << "scroll " << s;
        EXPECT_GE(l.originX + l.image.width(), visRight) << "scroll " << s;
        EXPECT_LE(l.originX, CW - 1600);
        EXPECT_GE(l.originX, 0);
        // Panel2 puts canvas pixel x at panel x = 12 - scroll + x.
        EXPECT_EQ(l.Panel2.left(), 12 - l.scrollX + l.originX);
    };
    const int maxX = layout(W, H, CW, 300).maxX;
    for (int s = 0; s <= maxX; s += 37) check(s);
    check(maxX);
    for (int s = maxX; s >= 0; s -= 53) check(s);
    check(0);
    (void)CH;
}

TEST(ViewLayout, OriginStaysWhileTheImageStillCovers)
{
    // From origin 0, a small scroll keeps the first piece.
    EXPECT_EQ(axisViewOrigin(0, 300, 800, 5000), 0);
    // Past the piece's right edge: the next 1600 step, or the scrolled-away part.
    EXPECT_EQ(axisViewOrigin(0, 1700, 800, 5000), std::min(3200, 1700 - 12));
    // A small canvas never moves.
    EXPECT_EQ(axisViewOrigin(0, 100, 800, 1600), 0);
    // Never beyond the canvas end.
    EXPECT_LE(axisViewOrigin(0, 4000, 800, 5000), 5000 - 1600);
}
