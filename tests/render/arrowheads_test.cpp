// Arrowheads: their size from the line weight, their figure per kind and
// direction, the ends of every path type they sit on, their pixels on the
// canvas (flat, shaded and hostile), and the item's reach taking them in.
#include "docbuilder.h"
#include "paintdoc.h"

#include "model/arrowheads.h"
#include "model/extensions.h"
#include "render/arrowheads.h"
#include "render/renderpass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace render;
using model::headKind_t;
using model::headSize_t;

namespace {

struct lengthCase_t {
    double weightMm;
    headSize_t size;
    double length;
};

// At 96 pixels per inch: the thinnest weight strokes 1 pixel (heads take 2),
// 1 mm strokes 4, 2 mm strokes 8.
TEST(ArrowheadTest, LengthFollowsWeightAndSize)
{
    const lengthCase_t cases[] = {
        {0.0, headSize_t::small, 6},    {0.0, headSize_t::medium, 9},  {0.0, headSize_t::large, 12},
        {1.0, headSize_t::medium, 18},  {2.0, headSize_t::small, 24},  {2.0, headSize_t::large, 48},
        // Hostile weights: held to the limit, or taken as the thinnest.
        {1e9, headSize_t::large, headLengthLimit}, {std::numeric_limits<double>::quiet_NaN(), headSize_t::medium, 9},
        {-5.0, headSize_t::medium, 9},
    };
    for (const lengthCase_t& c : cases)
        EXPECT_DOUBLE_EQ(headLength(c.weightMm, c.size), c.length) << c.weightMm << " mm, size " << int(c.size);
}

struct shapeCase_t {
    const char* name;
    headKind_t kind;
    pathEnd_t end;
    std::vector<dpoint_t> points;
    dpoint_t lineEnd;
};

void expectNear(dpoint_t a, dpoint_t b, const char* what)
{
    EXPECT_NEAR(a.x, b.x, 1e-9) << what;
    EXPECT_NEAR(a.y, b.y, 1e-9) << what;
}

TEST(ArrowheadTest, FigurePerKindAndDirection)
{
    // Heads 10 long; a line arriving from the left at (100, 50), one
    // arriving from above at (20, 100) for the swapped axes.
    const pathEnd_t right{{100, 50}, {0, 50}, true};
    const pathEnd_t down{{20, 100}, {20, 0}, true};
    const shapeCase_t cases[] = {
        {"open", headKind_t::open, right, {{90, 46}, {100, 50}, {90, 54}}, {100, 50}},
        {"filled", headKind_t::filled, right, {{100, 50}, {90, 46}, {90, 54}}, {95, 50}},
        {"diamond", headKind_t::diamond, right, {{100, 50}, {95, 47}, {90, 50}, {95, 53}}, {95, 50}},
        {"bar", headKind_t::bar, right, {{100, 45}, {100, 55}}, {100, 50}},
        {"filled down", headKind_t::filled, down, {{20, 100}, {24, 90}, {16, 90}}, {20, 95}},
        {"bar down", headKind_t::bar, down, {{25, 100}, {15, 100}}, {20, 100}},
    };
    for (const shapeCase_t& c : cases) {
        const headShape_t h = headShape(c.kind, c.end, 10);
        ASSERT_EQ(h.points.size(), c.points.size()) << c.name;
        for (size_t i = 0; i < c.points.size(); ++i) expectNear(h.points[i], c.points[i], c.name);
        expectNear(h.lineEnd, c.lineEnd, c.name);
    }
    // The circle touches the tip and holds the path's end at its centre.
    const headShape_t circle = headShape(headKind_t::circle, right, 10);
    EXPECT_DOUBLE_EQ(circle.radius, 3);
    expectNear(circle.centre, {97, 50}, "circle");
    expectNear(circle.lineEnd, {97, 50}, "circle");
    // No head for none, nor for an end without a direction.
    EXPECT_EQ(headShape(headKind_t::none, right, 10).kind, headKind_t::none);
    EXPECT_EQ(headShape(headKind_t::filled, {{5, 5}, {5, 5}, false}, 10).kind, headKind_t::none);
}

TEST(ArrowheadTest, EndsOfEveryPathType)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 400, 400);
    // A line: the start arrives from the end and the other way round.
    model::item_t* line = testdoc::addLine(doc, 10, 20, 110, 70, 0.0);
    pathEnds_t e = pathEndsOf(line);
    ASSERT_TRUE(e.start.valid && e.end.valid);
    expectNear(e.start.tip, {10, 20}, "line start");
    expectNear(e.start.from, {110, 70}, "line start");
    expectNear(e.end.tip, {110, 70}, "line end");
    expectNear(e.end.from, {10, 20}, "line end");

    // An open spline with repeated points at both ends: the nearest point that differs.
    model::item_t* spline =
        testdoc::addShape(doc, model::typeSpline, {{0, 0}, {0, 0}, {50, 0}, {50, 40}, {50, 40}}, -1, 0, 0, model::variantOpen);
    e = pathEndsOf(spline);
    expectNear(e.start.from, {50, 0}, "spline start");
    expectNear(e.end.tip, {50, 40}, "spline end");
    expectNear(e.end.from, {50, 0}, "spline end");

    // A curve: the control points leaving its first and arriving at its last point.
    model::item_t* curve = testdoc::addShape(doc, model::typeCurve, {{0, 100}, {100, 100}}, -1, 0, 0, model::variantOpen);
    curve->points.head->p.c1x = 30, curve->points.head->p.c1y = 60;
    curve->points.head->p.c2x = 70, curve->points.head->p.c2y = 140;
    e = pathEndsOf(curve);
    expectNear(e.start.from, {30, 60}, "curve start");
    expectNear(e.end.tip, {100, 100}, "curve end");
    expectNear(e.end.from, {70, 140}, "curve end");

    // An arc from S counter-clockwise to E: a quarter from the right to the top.
    model::item_t* arc = testdoc::addShape(doc, model::typeArc, {{100, 100}, {150, 100}, {100, 50}});
    e = pathEndsOf(arc);
    EXPECT_NEAR(e.start.tip.x, 150, 1);
    EXPECT_NEAR(e.start.tip.y, 100, 1);
    EXPECT_LT(e.start.from.y, e.start.tip.y);  // it leaves upwards
    EXPECT_NEAR(e.end.tip.x, 100, 1);
    EXPECT_NEAR(e.end.tip.y, 50, 1);
    EXPECT_GT(e.end.from.x, e.end.tip.x);  // it arrives from the right

    // Closed paths and shapes take no heads.
    spline->shapeVariant = model::variantClosed;
    EXPECT_FALSE(pathEndsOf(spline).start.valid);
    model::item_t* square = testdoc::addShape(doc, model::typeSquare, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    EXPECT_FALSE(model::setHeads(square, {headKind_t::filled, headKind_t::filled, headSize_t::large}));
    EXPECT_FALSE(pathEndsOf(square).end.valid);
    model::freeList(doc);
}

bool dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

TEST(ArrowheadTest, DrawnAtTheChosenEndOnly)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 200, 100);
    model::item_t* line = testdoc::addLine(doc, 20, 50, 180, 50, 0.0);
    const QImage bare = testdoc::paintWithFullQuality(doc);
    model::setHeads(line, {headKind_t::none, headKind_t::filled, headSize_t::large});  // 12 long, 4.8 wide each side
    const QImage headed = testdoc::paintWithFullQuality(doc);
    EXPECT_FALSE(dark(bare, 172, 47));
    EXPECT_TRUE(dark(headed, 172, 47));
    EXPECT_TRUE(dark(headed, 172, 53));
    // Not at the start, and not past the tip.
    EXPECT_FALSE(dark(headed, 28, 47));
    EXPECT_FALSE(dark(headed, 183, 50));
    model::freeList(doc);
}

TEST(ArrowheadTest, ShadedSplineShowsItsHead)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 200, 100);
    model::item_t* spline =
        testdoc::addShape(doc, model::typeSpline, {{20, 50}, {100, 50}, {180, 50}}, -1, 0x0000FF, 0.0, model::variantOpen);
    spline->surface = 127;
    model::setHeads(spline, {headKind_t::diamond, headKind_t::none, headSize_t::large});
    const QImage img = testdoc::paintWithFullQuality(doc);
    // The diamond reaches 3.6 pixels across its middle, 6 pixels in from the start.
    EXPECT_NE(img.pixel(26, 47), qRgb(255, 255, 255));
    EXPECT_NE(img.pixel(26, 53), qRgb(255, 255, 255));
    model::freeList(doc);
}

TEST(ArrowheadTest, ReachAndPickDistanceTakeInTheHeads)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 200, 100);
    model::item_t* line = testdoc::addLine(doc, 20, 50, 180, 50, 0.0);
    EXPECT_GT(itemReach(line).top, 44);
    model::setHeads(line, {headKind_t::none, headKind_t::bar, headSize_t::large});  // a bar 12 long across the end
    EXPECT_LE(itemReach(line).top, 44);
    EXPECT_GE(itemReach(line).bottom, 56);
    EXPECT_NEAR(headsDistance(line, {180, 44}), 0, 1e-9);
    EXPECT_NEAR(headsDistance(line, {183, 50}), 3, 1e-9);
    model::freeList(doc);
}

TEST(ArrowheadTest, HostileValuesDrawWithinLimits)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 200, 100);
    model::item_t* line = testdoc::addLine(doc, 20, 50, 180, 50, 0.0);
    line->lineWeight = 1e9;
    model::extensionData_t& ext = model::extensionsOf(line);
    ext.setInteger(model::headStartKey, 1'000'000'000);  // no such kind: none
    ext.setInteger(model::headEndKey, int64_t(headKind_t::circle));
    ext.setInteger(model::headSizeKey, 1'000'000'000);  // the largest size
    const model::lineHeads_t h = model::headsOf(line);
    EXPECT_EQ(h.start, headKind_t::none);
    EXPECT_EQ(h.size, headSize_t::large);
    const std::vector<headShape_t> shapes = headShapesOf(line);
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_LE(shapes[0].radius, headLengthLimit);
    testdoc::paintWithFullQuality(doc);  // finishes without a crash
    model::freeList(doc);
}

} // namespace

namespace {

QImage paintLine(bool heads, bool shadow)
{
    model::itemList_t doc;
    testdoc::addHeader(doc, 240, 120);
    model::item_t* line = testdoc::addLine(doc, 20, 60, 180, 60, 0.0);
    if (heads) model::setHeads(line, {headKind_t::none, headKind_t::bar, headSize_t::large});
    if (shadow) {
        line->shadowElevation = 60;
        line->shadowFade = 10;
        line->shadowLightness = 100;
    }
    QImage img = testdoc::paintWithFullQuality(doc);
    model::freeList(doc);
    return img;
}

} // namespace

TEST(ArrowheadTest, HeadsCastTheLinesShadow)
{
    // Pixels the shadow darkens with the head that the bare line's shadow
    // leaves alone: the head's own shadow.
    const QImage headShadow = paintLine(true, true), headFlat = paintLine(true, false);
    const QImage bareShadow = paintLine(false, true), bareFlat = paintLine(false, false);
    int32_t own = 0;
    for (int y = 0; y < headShadow.height(); ++y)
        for (int x = 0; x < headShadow.width(); ++x)
            if (headShadow.pixel(x, y) != headFlat.pixel(x, y) && bareShadow.pixel(x, y) == bareFlat.pixel(x, y)) ++own;
    EXPECT_GT(own, 10);
}
