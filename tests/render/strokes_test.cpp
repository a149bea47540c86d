#include "render/strokes.h"

#include "docbuilder.h"
#include "testnames.h"
#include "render/surface.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace render;
using testdoc::addLine;
using testdoc::addPattern;

namespace {

constexpr double pi = std::numbers::pi;
constexpr int32_t white = 0xFFFFFF;

int32_t px(const QImage& img, int x, int y) { return toBgr(img.pixel(x, y)); }

struct patternCase {
    const char* name;
    int32_t index;
    double weightMm;
    double zoom;
    pattern_t expected;
};

void PrintTo(const patternCase& c, std::ostream* os)
{
    *os << "pattern " << c.index << ", " << c.weightMm << " mm at zoom " << c.zoom << " gives "
        << ::testing::PrintToString(c.expected);
}

class BuiltinPatterns : public ::testing::TestWithParam<patternCase> {};

TEST_P(BuiltinPatterns, LengthsInPixels)
{
    const patternCase& c = GetParam();
    model::itemList_t doc;
    model::item_t* line = addLine(doc, 0, 0, 100, 0, c.weightMm, c.index);
    EXPECT_EQ(resolvePattern(doc, line, c.zoom), c.expected) << c.name;
    model::freeList(doc);
}

// 0.5 mm at 96 ppi: w = Round(1.89) = 2, so a = 2 at 100 % and 4 at 200 %.
INSTANTIATE_TEST_SUITE_P(
    Table, BuiltinPatterns,
    ::testing::Values(patternCase{"Dash0p5mm", patternDash, 0.5, 1.0, {12, 4}},
                      patternCase{"Dash0p5mmAt200Percent", patternDash, 0.5, 2.0, {24, 8}},
                      patternCase{"DotWeight0", patternDot, 0.0, 1.0, {1, 2}},
                      patternCase{"Dot0p5mm", patternDot, 0.5, 1.0, {2, 4}},
                      patternCase{"Dot0p5mmAt200Percent", patternDot, 0.5, 2.0, {4, 8}},
                      patternCase{"Center0p5mm", patternCenter, 0.5, 1.0, {12, 4, 4, 4}},
                      patternCase{"CenterWeight0", patternCenter, 0.0, 1.0, {6, 3, 2, 3}},
                      patternCase{"Phantom0p5mm", patternPhantom, 0.5, 1.0, {12, 4, 4, 4, 4, 4}},
                      patternCase{"Phantom0p5mmAt200Percent", patternPhantom, 0.5, 2.0, {24, 8, 8, 8, 8, 8}},
                      // At 25 % a rounds to 0: the minimums hold.
                      patternCase{"Dash0p5mmAt25Percent", patternDash, 0.5, 0.25, {6, 2}},
                      patternCase{"DotWeight0At25Percent", patternDot, 0.0, 0.25, {1, 1}},
                      patternCase{"Solid", patternSolid, 0.5, 1.0, {solidDash}},
                      patternCase{"CustomisingEntry5", 5, 0.5, 1.0, {solidDash}},
                      patternCase{"IndexAbove5", 9, 0.5, 1.0, {solidDash}}),
    testnames::byName{});

TEST(ResolvePattern, DocumentRecordInPixelsAndScaledByZoom)
{
    model::itemList_t doc;
    addPattern(doc, -1, {1.0, 0.5});
    addPattern(doc, -2, {2.0, 1.0, 0.5, 1.0});
    model::item_t* line = addLine(doc, 0, 0, 100, 0, 0.5, -2);
    // 96/25.4 px per mm: 2 mm = 7.56 → 8, 1 mm → 4, 0.5 mm → 2.
    EXPECT_EQ(resolvePattern(doc, line, 1.0), (pattern_t{8, 4, 2, 4}));
    EXPECT_EQ(resolvePattern(doc, line, 2.0), (pattern_t{16, 8, 4, 8}));
    EXPECT_EQ(resolvePattern(doc, line, 1.5), (pattern_t{12, 6, 3, 6}));
    line->patternIndex = -1;
    EXPECT_EQ(resolvePattern(doc, line, 1.0), (pattern_t{4, 2}));
    model::freeList(doc);
}

TEST(ResolvePattern, MissingOrEmptyRecordIsSolid)
{
    model::itemList_t doc;
    addPattern(doc, -1, {1.0, 0.5});
    addPattern(doc, -3, {0.0, 0.0});
    model::item_t* line = addLine(doc, 0, 0, 100, 0, 0.5, -7);
    EXPECT_EQ(resolvePattern(doc, line, 1.0), pattern_t{solidDash});
    // A record whose lengths are all zero would never advance along the line.
    line->patternIndex = -3;
    EXPECT_EQ(resolvePattern(doc, line, 1.0), pattern_t{solidDash});
    model::freeList(doc);
}

TEST(LineBandWidth, AtLeastOnePixel)
{
    model::itemList_t doc;
    model::item_t* line = addLine(doc, 0, 0, 10, 0, 1.0);
    ASSERT_EQ(line->penWidthPx, 4);
    EXPECT_EQ(lineBandWidth(line, 1.0), 4);
    EXPECT_EQ(lineBandWidth(line, 3.0), 12);
    EXPECT_EQ(lineBandWidth(line, 0.25), 1);
    EXPECT_EQ(lineBandWidth(line, 0.1), 1);
    model::freeList(doc);
}

TEST(StepAlong, MeasuresFromStartAndStopsAtEnd)
{
    stepResult_t r = stepAlong({10, 10}, 5, 0, {30, 10});
    EXPECT_FALSE(r.reachedEnd);
    EXPECT_EQ(r.point.x, 15);
    EXPECT_EQ(r.point.y, 10);
    r = stepAlong({10, 10}, 5, pi / 2, {10, -30});
    EXPECT_EQ(r.point.y, 5);  // up the screen
    r = stepAlong({10, 10}, 20, 0, {30, 10});
    EXPECT_TRUE(r.reachedEnd);
    EXPECT_EQ(r.point.x, 30);
    r = stepAlong({0, 0}, 1000, pi / 4, {7, -7});
    EXPECT_TRUE(r.reachedEnd);
    EXPECT_EQ(r.point.x, 7);
    EXPECT_EQ(r.point.y, -7);
}

TEST(BandQuad, AxisDirectionsUseIntegerOffsets)
{
    // Rightwards, width 5: d = Round(2.5) = 2 above, 3 below.
    auto q = bandQuad({0, 10}, {20, 10}, 0, 5, false);
    EXPECT_EQ(q[0], QPoint(0, 8));
    EXPECT_EQ(q[1], QPoint(20, 8));
    EXPECT_EQ(q[2], QPoint(20, 13));
    EXPECT_EQ(q[3], QPoint(0, 13));
    // Upwards (π/2): u = (-1, 0).
    q = bandQuad({10, 20}, {10, 0}, pi / 2, 4, false);
    EXPECT_EQ(q[0], QPoint(8, 20));
    EXPECT_EQ(q[2], QPoint(12, 0));
    // Leftwards and downwards.
    q = bandQuad({20, 0}, {0, 0}, pi, 4, false);
    EXPECT_EQ(q[0], QPoint(20, 2));
    EXPECT_EQ(q[3], QPoint(20, -2));
    q = bandQuad({0, 0}, {0, 20}, 3 * pi / 2, 4, false);
    EXPECT_EQ(q[0], QPoint(2, 0));
    EXPECT_EQ(q[2], QPoint(-2, 20));
    // Within 0.0001 of an axis counts as the axis.
    q = bandQuad({0, 10}, {20, 10}, 0.00005, 4, false);
    EXPECT_EQ(q[0], QPoint(0, 8));
}

TEST(BandQuad, OneSidedLiesOnTheLeftOfTravel)
{
    auto q = bandQuad({0, 10}, {20, 10}, 0, 6, true);
    EXPECT_EQ(q[0], QPoint(0, 4));
    EXPECT_EQ(q[1], QPoint(20, 4));
    EXPECT_EQ(q[2], QPoint(20, 10));
    EXPECT_EQ(q[3], QPoint(0, 10));
    q = bandQuad({0, 0}, {30, -30}, pi / 4, 4, true);
    // u at 3π/4 on the screen: (-0.707, -0.707); corner 1 = p + 4u.
    EXPECT_EQ(q[0], QPoint(-3, -3));
    EXPECT_EQ(q[3], QPoint(0, 0));
}

TEST(BandQuad, GeneralDirectionRoundsEachCorner)
{
    auto q = bandQuad({0, 0}, {30, -30}, pi / 4, 4, false);
    // h = 2: p + 2u = (-1.41, -1.41) → (-1, -1); corner 4 = corner 1 - 4u = (1.83, 1.83) → (2, 2).
    EXPECT_EQ(q[0], QPoint(-1, -1));
    EXPECT_EQ(q[1], QPoint(29, -31));
    EXPECT_EQ(q[2], QPoint(32, -28));
    EXPECT_EQ(q[3], QPoint(2, 2));
}

TEST(BorderStrips, FrameInsideTheDash)
{
    const std::array<QPoint, 4> quad{QPoint(0, 0), QPoint(20, 0), QPoint(20, 10), QPoint(0, 10)};
    auto s = borderStrips(quad, 3);
    // The top strip runs from the top side 3 pixels down.
    EXPECT_EQ(s[0][0], QPoint(0, 0));
    EXPECT_EQ(s[0][1], QPoint(20, 0));
    EXPECT_EQ(s[0][2], QPoint(20, 3));
    EXPECT_EQ(s[0][3], QPoint(0, 3));
    // The right strip runs 3 pixels left of the right side.
    EXPECT_EQ(s[1][2], QPoint(17, 10));
    EXPECT_EQ(s[1][3], QPoint(17, 0));
}

// Renders one line on a white image and returns the image.
QImage renderLine(model::itemList_t& doc, model::item_t* line, double zoom = 1.0)
{
    QImage img = newCanvasImage(200, 100);
    canvas_t c(img);
    const QPoint a(model::roundHalfEven(zoom * line->x1), model::roundHalfEven(zoom * line->y1));
    const QPoint b(model::roundHalfEven(zoom * line->x2), model::roundHalfEven(zoom * line->y2));
    drawLine(c, doc, line, {double(a.x()), double(a.y())}, {double(b.x()), double(b.y())}, zoom);
    c.release();
    return img;
}

TEST(DrawLine, DashWalkFromTheStart)
{
    model::itemList_t doc;
    // 0.5 mm "Dash": dashes of 12 and spaces of 4 pixels, band 2 pixels.
    model::item_t* line = addLine(doc, 10, 50, 150, 50, 0.5, patternDash, 0x0000FF);
    QImage img = renderLine(doc, line);
    EXPECT_EQ(px(img, 12, 50), 0x0000FF);
    EXPECT_EQ(px(img, 21, 50), 0x0000FF);
    EXPECT_EQ(px(img, 24, 50), white);   // first space 22..26
    EXPECT_EQ(px(img, 27, 50), 0x0000FF);  // second dash starts at 26
    EXPECT_EQ(px(img, 40, 50), white);   // second space 38..42
    EXPECT_EQ(px(img, 12, 45), white);   // nothing far above the band
    // The last dash ends exactly at the end point: nothing beyond it.
    EXPECT_EQ(px(img, 153, 50), white);
    model::freeList(doc);
}

TEST(DrawLine, LengthsDoubleAtTwoHundredPercent)
{
    model::itemList_t doc;
    model::item_t* line = addLine(doc, 5, 20, 80, 20, 0.5, patternDash, 0);
    QImage img = renderLine(doc, line, 2.0);  // start 10, dashes 24, spaces 8
    EXPECT_EQ(px(img, 30, 40), 0);
    EXPECT_EQ(px(img, 38, 40), white);
    EXPECT_EQ(px(img, 45, 40), 0);
    model::freeList(doc);
}

TEST(DrawLine, ThinDotsArePixelPolylines)
{
    model::itemList_t doc;
    // Weight 0 "Dot": dots of 1, spaces of 2; the band is narrower than 2.
    model::item_t* line = addLine(doc, 10, 30, 40, 30, 0.0, patternDot, 0);
    QImage img = renderLine(doc, line);
    EXPECT_EQ(px(img, 10, 30), 0);
    EXPECT_EQ(px(img, 12, 30), white);
    EXPECT_EQ(px(img, 13, 30), 0);
    EXPECT_EQ(px(img, 10, 31), white);
    model::freeList(doc);
}

// A dotted line far longer than the image: the dashes before it are stepped
// over by whole pattern cycles and the walk ends behind it, so the pixels are
// those of the same line starting a few cycles before the image (with a wrong
// phase after skipping, or an off-by-one cycle, the dots would shift), and
// the walk of hundreds of millions of dots takes no time.
TEST(DrawLine, DashesFarOutsideTheImageAreSteppedOver)
{
    model::itemList_t doc;
    // 0.5 mm "Dot" at 100 %: dots of 2, spaces of 4, a cycle of 6 pixels.
    const int32_t cycles = 100000000;
    model::item_t* far = addLine(doc, 20 - 6 * cycles, 50, 400000000, 50, 0.5, patternDot, 0x0000FF);
    model::item_t* near = addLine(doc, 20 - 6 * 5, 60, 400000000, 60, 0.5, patternDot, 0x0000FF);
    ASSERT_EQ(resolvePattern(doc, far, 1.0), (pattern_t{2, 4}));
    const QImage a = renderLine(doc, far), b = renderLine(doc, near);
    int dots = 0;
    for (int x = 0; x < 200; ++x) {
        EXPECT_EQ(px(a, x, 50), px(b, x, 60)) << x;
        dots += px(a, x, 50) != white;
    }
    EXPECT_GT(dots, 50);
    model::freeList(doc);
}

TEST(DrawLine, ShorterThanFirstDashIsOneDash)
{
    model::itemList_t doc;
    model::item_t* line = addLine(doc, 10, 50, 16, 50, 0.5, patternDash, 0);
    QImage img = renderLine(doc, line);
    for (int x = 10; x <= 16; ++x) EXPECT_EQ(px(img, x, 50), 0) << x;
    EXPECT_EQ(px(img, 18, 50), white);
    EXPECT_EQ(px(img, 8, 50), white);
    model::freeList(doc);
}

TEST(DrawLine, UnknownPatternIdDrawsSolid)
{
    model::itemList_t doc;
    model::item_t* line = addLine(doc, 10, 50, 150, 50, 0.5, -5, 0);
    QImage img = renderLine(doc, line);
    for (int x = 10; x <= 150; ++x) ASSERT_EQ(px(img, x, 50), 0) << x;
    model::freeList(doc);
}

TEST(DrawLine, FillColourInsideAndSolidOverride)
{
    model::itemList_t doc;
    // 2 mm wide (band 8), green interior, black outline of the dash.
    model::item_t* line = addLine(doc, 10, 50, 150, 50, 2.0, patternSolid, 0, 0x00FF00, 0.0);
    QImage img = renderLine(doc, line);
    EXPECT_EQ(px(img, 50, 50), 0x00FF00);
    EXPECT_EQ(px(img, 50, 46), 0);  // the 1-pixel outline of the band
    // An outline of half the weight or more: the band is solid line colour.
    line->outlineWeight = 1.0;
    img = renderLine(doc, line);
    EXPECT_EQ(px(img, 50, 50), 0);
    // A weight of 0 is always solid.
    line->outlineWeight = 0;
    line->lineWeight = 0;
    img = renderLine(doc, line);
    EXPECT_EQ(px(img, 50, 50), 0);
    model::freeList(doc);
}

TEST(DrawLine, BorderStripsOfTheOutlineWeight)
{
    model::itemList_t doc;
    // 4 mm (band 15), outline 0.6 mm (B = 2): border of the line colour, fill inside.
    model::item_t* line = addLine(doc, 10, 50, 150, 50, 4.0, patternSolid, 0xFF0000, 0x00FFFF, 0.6);
    ASSERT_EQ(lineBandWidth(line, 1.0), 15);
    QImage img = renderLine(doc, line);
    // Band rows 50-8 .. 50+7: 42 … 57.
    EXPECT_EQ(px(img, 80, 42), 0xFF0000);
    EXPECT_EQ(px(img, 80, 43), 0xFF0000);
    EXPECT_EQ(px(img, 80, 50), 0x00FFFF);
    EXPECT_EQ(px(img, 80, 56), 0xFF0000);
    EXPECT_EQ(px(img, 80, 40), white);
    model::freeList(doc);
}

TEST(DrawLine, DamagedAngleStillEnds)
{
    model::itemList_t doc;
    model::item_t* line = addLine(doc, 10, 50, 60, 50, 0.5, patternDot, 0);
    line->angle = std::numeric_limits<double>::quiet_NaN();
    QImage img = renderLine(doc, line);
    EXPECT_EQ(px(img, 10, 50), 0);
    model::freeList(doc);
}

} // namespace
