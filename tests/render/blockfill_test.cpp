// Upright rectangles with the thinnest outline are drawn on an image by block
// fills; the pixels must be those the general polygon gives, for every fill
// rule, corner order, clip and position across the image's edges.
#include "render/shapedraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using render::canvas_t;

namespace {

QImage blankImage()
{
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(0xFF808080u);
    return image;
}

// The rectangle as the general polygon draws it.
QImage byPolygon(const std::vector<QPoint>& pts, int32_t pen, int32_t fill, int32_t line, const QRect& clip)
{
    QImage image = blankImage();
    canvas_t canvas(image);
    if (!clip.isNull()) canvas.clipTo(clip);
    render::applyFillRules(canvas, fill, line, pen);
    canvas.polygon(pts);
    canvas.release();
    return image;
}

QImage byPointList(const std::vector<QPoint>& pts, int32_t pen, int32_t fill, int32_t line, const QRect& clip)
{
    QImage image = blankImage();
    canvas_t canvas(image);
    if (!clip.isNull()) canvas.clipTo(clip);
    render::drawPointList(canvas, pts, 2, pen, fill, line);
    canvas.release();
    return image;
}

// Corners of the rectangle l..r × t..b in one of eight orders (four starting
// corners, either way round), with the first point repeated at the end or not.
std::vector<QPoint> corners(int32_t l, int32_t t, int32_t r, int32_t b, int32_t order, bool closed)
{
    std::vector<QPoint> ring{{l, t}, {r, t}, {r, b}, {l, b}};
    if (order & 4) std::swap(ring[1], ring[3]);
    std::rotate(ring.begin(), ring.begin() + (order & 3), ring.end());
    if (closed) ring.push_back(ring.front());
    return ring;
}

TEST(BlockFilledRectangles, SamePixelsAsThePolygon)
{
    std::mt19937 rng(44);
    auto rnd = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
    const int32_t fills[] = {-1, -2, 0x30A050, -7, 0};
    int32_t within = 0;
    for (int32_t k = 0; k < 3000; ++k) {
        // Mostly within the image (where the blocks are used), some across
        // its edges; now and then only one or two pixels across.
        const bool across = k % 6 == 0;
        const int32_t l = across ? rnd(-30, 140) : rnd(0, 119), t = across ? rnd(-30, 110) : rnd(0, 89);
        const int32_t r = std::clamp(l + (k % 7 == 0 ? rnd(-2, 2) : rnd(-60, 60)), across ? -90 : 0, across ? 200 : 119);
        const int32_t b = std::clamp(t + (k % 5 == 0 ? rnd(-2, 2) : rnd(-50, 50)), across ? -80 : 0, across ? 170 : 89);
        const std::vector<QPoint> pts = corners(l, t, r, b, rnd(0, 7), k % 3 == 0);
        const int32_t fill = fills[k % 5], pen = k % 2, line = 0x102030 + k;
        // A band of rows as a drawing thread has, now and then.
        const QRect clip = k % 4 == 0 ? QRect(0, rnd(0, 60), 120, rnd(1, 40)) : QRect();
        const QImage expected = byPolygon(pts, pen, fill, line, clip);
        ASSERT_EQ(byPointList(pts, pen, fill, line, clip), expected)
            << "corners (" << l << ", " << t << ") - (" << r << ", " << b << "), fill " << fill << ", pen " << pen
            << (clip.isNull() ? "" : ", clipped");
        within += !across && l != r && t != b;
    }
    // Enough rectangles took the block fills.
    EXPECT_GT(within, 2000);
}

// Figures that only look like rectangles keep the polygon: a tilted one, and
// a thick outline (drawn as a band with round corners).
TEST(BlockFilledRectangles, OtherFiguresAreLeftToThePolygon)
{
    const std::vector<std::vector<QPoint>> shapes{{{10, 10}, {60, 12}, {58, 50}, {8, 48}},
                                                  {{10, 10}, {60, 10}, {60, 50}, {10, 50}}};
    for (size_t i = 0; i < shapes.size(); ++i) {
        const int32_t pen = i == 0 ? 1 : 5;
        EXPECT_EQ(byPointList(shapes[i], pen, 0x30A050, 0x102030, {}), byPolygon(shapes[i], pen, 0x30A050, 0x102030, {}))
            << "shape " << i;
    }
}

} // namespace
