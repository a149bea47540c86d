// Point lists, constructions, arcs, ellipses, boxes, pivots, curve control
// points and outline distances.
#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

using namespace geometry;
using model::item_t;
using model::itemList_t;
using model::pointList_t;

namespace {

constexpr double pi = std::numbers::pi;

std::vector<point_t> pointsOf(const pointList_t& l)
{
    std::vector<point_t> v;
    for (auto* n = l.head; n; n = n->next) v.push_back({n->p.x, n->p.y});
    return v;
}

// A list that frees itself.
struct ownedPoints_t {
    pointList_t list;
    ~ownedPoints_t() { clearPoints(list); }
};

// A point-list item in a list that frees itself.
struct shapeDoc_t {
    itemList_t list;
    item_t* add(int32_t type, std::initializer_list<point_t> pts)
    {
        item_t* it = model::newItem(list, type);
        for (point_t p : pts) appendPoint(it->points, p);
        return it;
    }
    ~shapeDoc_t() { model::freeList(list); }
};

} // namespace

// --- point lists ---

TEST(PointList, PointAtIsOneBasedAndZeroBeyondTheList)
{
    ownedPoints_t l;
    appendPoint(l.list, {3, 4});
    appendPoint(l.list, {5, 6});
    EXPECT_EQ(pointCount(l.list), 2);
    EXPECT_EQ(pointAt(l.list, 1), (point_t{3, 4}));
    EXPECT_EQ(pointAt(l.list, 2), (point_t{5, 6}));
    EXPECT_EQ(pointAt(l.list, 3), (point_t{0, 0}));
    EXPECT_EQ(pointAt(l.list, 0), (point_t{0, 0}));
}

TEST(PointList, TranslateStartsFromTheSavedCopyEveryTime)
{
    ownedPoints_t l;
    auto* n = appendPoint(l.list, {10, 20});
    n->p.c1x = 1;
    n->p.c2y = 2;
    savePoints(l.list);
    translatePoints(l.list, 5, -5);
    translatePoints(l.list, 7, 1);  // not cumulative: from the saved point
    EXPECT_EQ(pointAt(l.list, 1), (point_t{17, 21}));
    EXPECT_EQ(n->p.c1x, 8);
    EXPECT_EQ(n->p.c1y, 1);
    EXPECT_EQ(n->p.c2x, 7);
    EXPECT_EQ(n->p.c2y, 3);
}

// --- constructions ---

TEST(Build, TriangleFromPolygonRoundsCosineAndSineSeparately)
{
    ownedPoints_t l;
    buildRegularPolygon({0, 0}, {10, 0}, 3, l.list);
    const std::vector<point_t> want{{0, 0}, {10, 0}, {-5, -9}, {-5, 9}, {10, 0}};
    EXPECT_EQ(pointsOf(l.list), want);
    for (auto* n = l.list.head; n; n = n->next) {
        EXPECT_EQ(n->p.savedX, n->p.x);
        EXPECT_EQ(n->p.savedY, n->p.y);
    }
}

TEST(Build, PolygonAndStarIgnoreSideCountsOutOfRange)
{
    for (int32_t sides : {-1, 0, 2, maxSides + 1}) {
        ownedPoints_t l;
        appendPoint(l.list, {7, 7});
        buildRegularPolygon({0, 0}, {10, 0}, sides, l.list);
        buildStar({0, 0}, {10, 0}, {5, 0}, sides, l.list);
        EXPECT_EQ(pointCount(l.list), 1) << sides;
        EXPECT_EQ(pointAt(l.list, 1), (point_t{7, 7}));
    }
}

TEST(Build, SquareTurnsTheSideCounterClockwiseOnScreen)
{
    ownedPoints_t l;
    buildSquare({0, 0}, {10, 0}, l.list);
    // Counter-clockwise as seen on the screen is upwards: y decreases.
    const std::vector<point_t> want{{0, 0}, {10, 0}, {10, -10}, {0, -10}};
    EXPECT_EQ(pointsOf(l.list), want);
}

TEST(Build, RectangleClosesWithTheFourthCorner)
{
    ownedPoints_t l;
    buildRectangle({0, 0}, {0, 20}, {30, 20}, l.list);
    EXPECT_EQ(pointAt(l.list, 4), (point_t{30, 0}));
}

TEST(Build, StarAlternatesTheTwoRadiiStartingWithTheSecond)
{
    ownedPoints_t l;
    buildStar({0, 0}, {100, 0}, {40, 0}, 5, l.list);
    ASSERT_EQ(pointCount(l.list), 2 + 10);
    for (int32_t k = 1; k <= 10; ++k) {
        const double r = distance({0, 0}, pointAt(l.list, 2 + k));
        EXPECT_NEAR(r, k % 2 ? 40 : 100, 1.0) << k;
    }
    EXPECT_EQ(pointAt(l.list, 12), (point_t{100, 0}));
    EXPECT_EQ(pointAt(l.list, 3), polarPoint({0, 0}, pi / 5, 40));
}

TEST(Build, PieEndLiesOnTheCircleInTheDirectionOfTheThirdPoint)
{
    ownedPoints_t l;
    buildPieArc({0, 0}, {50, 0}, {0, -7}, l.list);
    EXPECT_EQ(pointAt(l.list, 3), (point_t{0, -50}));
}

// --- projection ---

struct projectionCase_t {
    const char* name;
    point_t a, b, p, foot;
    bool within;
};

void PrintTo(const projectionCase_t& c, std::ostream* os)
{
    using ::testing::PrintToString;
    *os << PrintToString(c.p) << " onto " << PrintToString(c.a) << "-" << PrintToString(c.b) << ": foot "
        << PrintToString(c.foot) << (c.within ? " within" : " outside");
}

class Projection : public ::testing::TestWithParam<projectionCase_t> {};

TEST_P(Projection, FootAndWithin)
{
    const auto& c = GetParam();
    const projection_t r = projectOntoLine(c.a, c.b, c.p);
    EXPECT_EQ(r.foot, c.foot);
    EXPECT_EQ(r.within, c.within);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Projection,
    ::testing::Values(
        // |Δx| ≤ 2 counts as vertical, even with a slope of 50.
        projectionCase_t{"SteepCountsAsUpright", {0, 0}, {2, 100}, {50, 40}, {0, 40}, true},
        projectionCase_t{"SteepPastTheEnd", {0, 0}, {2, 100}, {50, 140}, {0, 140}, false},
        // |Δy| < 1: horizontal.
        projectionCase_t{"LevelWithin", {0, 0}, {100, 0}, {30, 7}, {30, 0}, true},
        projectionCase_t{"LevelPastTheEnd", {0, 0}, {100, 0}, {150, 3}, {150, 0}, false},
        // General slope.
        projectionCase_t{"DiagonalWithin", {0, 0}, {10, 10}, {10, 0}, {5, 5}, true},
        projectionCase_t{"RisingFootOnTheEnd", {0, 0}, {10, -10}, {20, 0}, {10, -10}, true},
        projectionCase_t{"DiagonalPastTheEnd", {0, 0}, {10, 10}, {30, 0}, {15, 15}, false}),
    testnames::byName{});

// --- arcs ---

TEST(Arc, ZeroSweepPieHasOnlyItsEndPoints)
{
    const point_t c{0, 0}, s{10, 0};
    const arcSweep_t a = arcSweep(c, s, {20, 0});
    EXPECT_DOUBLE_EQ(a.sweep, 0.0);
    EXPECT_EQ(arcSampleCount(a.sweep), 2);
    EXPECT_EQ(arcPoints(c, s, {20, 0}), (std::vector<point_t>{s, {10, 0}}));
    EXPECT_EQ(arcPoints(c, s, {20, 0}, true), (std::vector<point_t>{s, {10, 0}, c, s}));
}

TEST(Arc, RunsCounterClockwiseThroughZero)
{
    const point_t c{0, 0};
    const point_t s = polarPoint(c, 350 * pi / 180, 1000);
    const point_t e = polarPoint(c, 10 * pi / 180, 1000);
    const arcSweep_t a = arcSweep(c, s, e);
    EXPECT_NEAR(a.sweep, 20 * pi / 180, 1e-3);
    EXPECT_EQ(arcSampleCount(a.sweep), 22);
    const auto pts = arcPoints(c, s, e);
    EXPECT_EQ(pts.size(), 22u);  // at this radius no sample repeats
    EXPECT_EQ(pts.front(), s);
    EXPECT_EQ(pts.back(), e);
    for (const point_t& p : pts) EXPECT_GT(p.x, 980) << "the arc must pass through 0°, not 180°";
    for (size_t i = 1; i < pts.size(); ++i) EXPECT_LT(pts[i].y, pts[i - 1].y) << "counter-clockwise is upwards here";
}

TEST(Arc, SmallRadiusSkipsRepeatedSamples)
{
    const auto pts = arcPoints({0, 0}, {2, 0}, {0, -2});
    for (size_t i = 1; i + 1 < pts.size(); ++i) EXPECT_FALSE(pts[i] == pts[i - 1]);
    EXPECT_LT(pts.size(), size_t(arcSampleCount(pi / 2)));
}

TEST(Arc, BoundsCoverTheOutlineGrownByOne)
{
    const rect_t b = arcBounds({0, 0}, {10, 0}, {0, -10});
    // Box of centre and start, the samples at radius 11, then one more pixel.
    EXPECT_EQ(b, (rect_t{-1, -12, 12, 1}));
}

TEST(Arc, CentreLiesOnTheBisector)
{
    // Quarter from 0° to 90°: bisector 45°.
    EXPECT_EQ(arcCentre(model::typeArc, {0, 0}, {30, 0}, {0, -30}), polarPoint({0, 0}, pi / 4, 30));
    EXPECT_EQ(arcCentre(model::typePie, {0, 0}, {30, 0}, {0, -30}), polarPoint({0, 0}, pi / 4, 20));
    // Through 0°: from 270° to 90° the bisector is 0°.
    EXPECT_EQ(arcCentre(model::typeArc, {0, 0}, {0, 30}, {0, -30}), (point_t{30, 0}));
}

// --- ellipses ---

TEST(Ellipse, BezierPathOfAnAxisAlignedEllipse)
{
    const ellipsePath_t e = ellipseBezier({0, 0}, {10, 0}, {0, 5});
    EXPECT_EQ(e.points.front(), (point_t{-10, 0}));
    EXPECT_EQ(e.points.back(), (point_t{-10, 0}));
    EXPECT_EQ(e.points[2], (point_t{-6, -5}));  // kx = Round(20 × 0.27614237) = 6
    EXPECT_EQ(e.points[1], (point_t{-10, -3})); // ky = Round(10 × 0.27614237) = 3
    EXPECT_EQ(e.box, (rect_t{-10, -5, 10, 5}));
}

TEST(Ellipse, BezierPathTurnsWithTheFirstAxis)
{
    const ellipsePath_t e = ellipseBezier({0, 0}, {0, -10}, {5, 0});
    EXPECT_EQ(e.box, (rect_t{-5, -10, 5, 10}));
    EXPECT_EQ(e.points.front(), (point_t{0, 10}));
}

TEST(Ellipse, EqualAxesMeasureThePlainDistanceFromTheCircle)
{
    EXPECT_EQ(ellipseDistance({0, 0}, {10, 0}, {0, 10}, {13, 0}), 3);
    EXPECT_EQ(ellipseDistance({0, 0}, {10, 0}, {0, 10}, {0, -10}), 0);
    EXPECT_EQ(ellipseDistance({0, 0}, {10, 0}, {0, 10}, {2, 0}), 8);
}

TEST(Ellipse, OtherEllipsesMeasureTheSquaredFocalSumDifference)
{
    // Semi-axes 5 and 3: foci at ±4 on the first axis.
    EXPECT_EQ(ellipseDistance({0, 0}, {5, 0}, {0, 3}, {5, 0}), 0);
    EXPECT_EQ(ellipseDistance({0, 0}, {5, 0}, {0, 3}, {0, -3}), 0);
    EXPECT_EQ(ellipseDistance({0, 0}, {5, 0}, {0, 3}, {7, 0}), 16);  // (10 − 14)²
    // Second axis longer: the foci lie towards B.
    EXPECT_EQ(ellipseDistance({0, 0}, {3, 0}, {0, 5}, {0, 5}), 0);
    EXPECT_EQ(ellipseDistance({0, 0}, {3, 0}, {0, 5}, {0, 7}), 16);
}

TEST(Ellipse, NormalizePutsTheFirstPointOnTheLongerAxis)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeEllipse, {{0, 0}, {3, 0}, {0, 5}});
    normalizeEllipse(it);
    EXPECT_EQ(pointAt(it->points, 2), (point_t{0, -5}));
    EXPECT_EQ(pointAt(it->points, 3), (point_t{-3, 0}));
    EXPECT_EQ(it->points.head->next->p.savedY, -5);
    // Already normalised: unchanged.
    normalizeEllipse(it);
    EXPECT_EQ(pointAt(it->points, 2), (point_t{0, -5}));
}

// --- boxes ---

TEST(Bounds, SquareGrowsByHalfTheDefaultHandle)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeSquare, {{10, 10}, {30, 10}, {30, -10}, {10, -10}});
    it->penWidthPx = 1;
    itemBounds(it, 8, 8);
    EXPECT_EQ((rect_t{it->boxLeft, it->boxTop, it->boxRight, it->boxBottom}), (rect_t{6, -14, 34, 14}));
    EXPECT_EQ(it->x1, 6);
    EXPECT_EQ(it->y1, -14);
    EXPECT_EQ(it->x2, 34);
    EXPECT_EQ(it->y2, 14);
    EXPECT_EQ(it->boxWidth, 28);
    EXPECT_EQ(it->boxHeight, 28);
    EXPECT_EQ(it->diagonal, 40);  // Round(39.6)
    EXPECT_DOUBLE_EQ(it->mx1, 6 * model::screen().pxPerMmX);
}

TEST(Bounds, PadIsTheLargestOfPenAndHalfHandles)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeTriangle, {{0, 0}, {10, 0}, {0, 10}});
    it->penWidthPx = 7;
    itemBounds(it, 8, 8);
    EXPECT_EQ(it->boxLeft, -7);
    it->penWidthPx = 1;
    itemBounds(it, 8, 21);
    EXPECT_EQ(it->boxLeft, -10);
    itemBounds(it, handleSize_t{12, 12});
    EXPECT_EQ(it->boxLeft, -6);
    itemBounds(it);  // the default marks
    EXPECT_EQ(it->boxLeft, -4);
}

TEST(Bounds, CentredShapesUseTheirRadius)
{
    shapeDoc_t d;
    item_t* circle = d.add(model::typeCircle, {{100, 100}, {103, 104}});
    circle->penWidthPx = 0;
    itemBounds(circle, 0, 0);
    EXPECT_EQ((rect_t{circle->boxLeft, circle->boxTop, circle->boxRight, circle->boxBottom}),
              (rect_t{95, 95, 105, 105}));

    item_t* ellipse = d.add(model::typeEllipse, {{0, 0}, {3, 0}, {0, 8}});
    ellipse->penWidthPx = 0;
    itemBounds(ellipse, 0, 0);
    EXPECT_EQ(ellipse->boxRight, 8);  // the larger semi-axis on both axes

    item_t* poly = d.add(model::typePolygon, {{0, 0}, {0, 0}});
    poly->penWidthPx = 0;
    itemBounds(poly, 0, 0);
    EXPECT_EQ(poly->boxRight, 1);  // at least 1

    item_t* star = d.add(model::typeStar, {{0, 0}, {4, 0}, {0, -9}});
    star->penWidthPx = 0;
    itemBounds(star, 0, 0);
    EXPECT_EQ(star->boxTop, -9);
    EXPECT_EQ(star->boxRight, 9);
}

TEST(Bounds, CurvesIncludeTheirControlPoints)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeCurve, {{0, 0}, {10, 0}});
    it->points.head->p.c1x = 3;
    it->points.head->p.c1y = -20;
    it->points.head->p.c2x = 7;
    it->points.head->p.c2y = 15;
    it->penWidthPx = 0;
    it->shapeVariant = 0;
    itemBounds(it, 0, 0);
    EXPECT_EQ(it->boxTop, -20);
    EXPECT_EQ(it->boxBottom, 15);
    // The last point of an open curve starts no segment: its zero controls do not count.
    it->points.tail->p.c1x = -50;
    itemBounds(it, 0, 0);
    EXPECT_EQ(it->boxLeft, 0);
    it->shapeVariant = 1;  // closed: the segment back to the start uses them
    itemBounds(it, 0, 0);
    EXPECT_EQ(it->boxLeft, -50);
}

TEST(Bounds, EmptyPointListLeavesTheItemAlone)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeSpline, {});
    it->x1 = 5;
    it->boxLeft = 5;
    itemBounds(it);
    EXPECT_EQ(it->x1, 5);
    EXPECT_EQ(it->boxLeft, 5);
}

TEST(Bounds, RoundClipPictureBoxIsTheCircleAroundItsFirstPoint)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typePicture, {});
    it->clipShape = 2;
    it->x1 = 100;
    it->y1 = 50;
    it->x2 = 103;
    it->y2 = 54;
    itemBounds(it);
    EXPECT_EQ((rect_t{it->boxLeft, it->boxTop, it->boxRight, it->boxBottom}), (rect_t{95, 45, 105, 55}));
    EXPECT_EQ(it->boxWidth, 10);
    EXPECT_EQ(it->boxHeight, 10);
}

TEST(Bounds, LineGeometry)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeLine, {});
    it->x1 = 10;
    it->y1 = 10;
    it->x2 = 13;
    it->y2 = 6;
    lineGeometry(it);
    EXPECT_EQ((rect_t{it->boxLeft, it->boxTop, it->boxRight, it->boxBottom}), (rect_t{10, 6, 13, 10}));
    EXPECT_EQ(it->boxWidth, 3);
    EXPECT_EQ(it->boxHeight, 4);
    EXPECT_EQ(it->diagonal, 5);
    EXPECT_DOUBLE_EQ(it->angle, std::atan2(4.0, 3.0));
}

// --- pivots and turns ---

TEST(Pivot, SplineAverageRoundsHalvesToEven)
{
    shapeDoc_t d;
    EXPECT_EQ(rotationCentre(d.add(model::typeSpline, {{0, 0}, {1, 0}})), (point_t{0, 0}));
    EXPECT_EQ(rotationCentre(d.add(model::typeSpline, {{1, 0}, {2, 0}})), (point_t{2, 0}));
    EXPECT_EQ(rotationCentre(d.add(model::typeCurve, {{0, 0}, {10, 0}, {10, 10}})), (point_t{7, 3}));
}

TEST(Pivot, TriangleMidpointTruncatesTowardsZero)
{
    shapeDoc_t d;
    EXPECT_EQ(rotationCentre(d.add(model::typeTriangle, {{0, 0}, {6, 0}, {3, 9}})), (point_t{3, 3}));
    // (−3 + 0) div 2 = −1, not −2.
    EXPECT_EQ(rotationCentre(d.add(model::typeTriangle, {{-3, 0}, {0, 0}, {-1, 9}})), (point_t{-1, 3}));
}

TEST(Pivot, SquareUsesTheMiddleOfTheDiagonalAndCentredShapesTheirCentre)
{
    shapeDoc_t d;
    EXPECT_EQ(rotationCentre(d.add(model::typeSquare, {{0, 0}, {10, 0}, {10, -10}, {0, -10}})), (point_t{5, -5}));
    EXPECT_EQ(rotationCentre(d.add(model::typeStar, {{40, 30}, {50, 30}, {45, 35}})), (point_t{40, 30}));
    EXPECT_EQ(rotationCentre(d.add(model::typePie, {{-4, 8}, {50, 30}, {45, 35}})), (point_t{-4, 8}));
}

TEST(Pivot, UsesTheSavedPoints)
{
    shapeDoc_t d;
    item_t* it = d.add(model::typeSpline, {{0, 0}, {10, 0}});
    it->points.head->p.x = 1000;  // moved, not yet saved
    EXPECT_EQ(rotationCentre(it), (point_t{5, 0}));
}

TEST(Turn, RotatePointsTurnsPointsAndControlsFromTheSavedCopies)
{
    ownedPoints_t l;
    auto* n = appendPoint(l.list, {10, 0});
    n->p.c1x = 0;
    n->p.c1y = 5;
    savePoints(l.list);
    rotatePoints(l.list, {0, 0}, pi / 2);
    rotatePoints(l.list, {0, 0}, pi / 2);  // from the saved copy again: still a quarter turn
    EXPECT_EQ(pointAt(l.list, 1), (point_t{0, -10}));
    EXPECT_EQ(n->p.c1x, 5);
    EXPECT_EQ(n->p.c1y, 0);
}

TEST(Turn, DefiningPointsAndRevolve)
{
    shapeDoc_t d;
    item_t* line = d.add(model::typeLine, {});
    line->refX1 = 10;
    line->refY1 = 0;
    line->refX2 = 20;
    line->refY2 = 0;
    rotateDefiningPoints(line, {0, 0}, pi / 2);
    EXPECT_EQ((point_t{line->x1, line->y1}), (point_t{0, -10}));
    EXPECT_EQ((point_t{line->x2, line->y2}), (point_t{0, -20}));

    item_t* pic = d.add(model::typePicture, {});
    pic->refX1 = 90;
    pic->refY1 = -10;
    pic->refX2 = 110;
    pic->refY2 = 10;
    revolveItem(pic, {0, 0}, pi / 2);  // the middle (100, 0) goes to (0, −100), the size stays
    EXPECT_EQ((rect_t{pic->x1, pic->y1, pic->x2, pic->y2}), (rect_t{-10, -110, 10, -90}));
}

// --- curve control points ---

TEST(Curve, SmoothControlsOfAStraightRunPointAlongIt)
{
    ownedPoints_t l;
    for (point_t p : {point_t{0, 0}, point_t{10, 0}, point_t{20, 0}}) appendPoint(l.list, p);
    smoothControlPoints(l.list, 0.5);
    const auto* mid = l.list.head->next;
    EXPECT_EQ((point_t{mid->p.c1x, mid->p.c1y}), (point_t{15, 0}));
    EXPECT_EQ((point_t{l.list.head->p.c2x, l.list.head->p.c2y}), (point_t{5, 0}));
}

TEST(Curve, SmoothControlsAtACornerFollowTheChordOfTheNeighbours)
{
    ownedPoints_t l;
    for (point_t p : {point_t{0, 0}, point_t{10, 0}, point_t{10, 10}}) appendPoint(l.list, p);
    smoothControlPoints(l.list, 1.0);
    const auto* mid = l.list.head->next;
    // Tangent parallel to (0,0)→(10,10), each at the length of its side.
    EXPECT_EQ((point_t{mid->p.c1x, mid->p.c1y}), (point_t{17, 7}));
    EXPECT_EQ((point_t{l.list.head->p.c2x, l.list.head->p.c2y}), (point_t{3, -7}));
}

TEST(Curve, OpenEndsPointAlongTheChord)
{
    ownedPoints_t l;
    for (point_t p : {point_t{0, 0}, point_t{10, 0}, point_t{20, 10}}) appendPoint(l.list, p);
    openCurveEnds(l.list, 0.5);
    EXPECT_EQ((point_t{l.list.head->p.c1x, l.list.head->p.c1y}), (point_t{5, 0}));
    const auto* second = l.list.head->next;
    EXPECT_EQ((point_t{second->p.c2x, second->p.c2y}), (point_t{15, 5}));  // half-way back along the chord
}

TEST(Curve, ClosedEndsTreatTheEndsAsInterior)
{
    ownedPoints_t l;
    for (point_t p : {point_t{0, 0}, point_t{10, 0}, point_t{10, 10}, point_t{0, 10}}) appendPoint(l.list, p);
    closedCurveEnds(l.list, 1.0);
    const auto* first = l.list.head;
    const auto* last = l.list.tail;
    EXPECT_EQ((point_t{first->p.c1x, first->p.c1y}), (point_t{7, -7}));   // along (0,10)→(10,0)
    EXPECT_EQ((point_t{last->p.c2x, last->p.c2y}), (point_t{-7, 7}));
    EXPECT_EQ((point_t{last->p.c1x, last->p.c1y}), (point_t{-7, 3}));     // along (10,10)→(0,0)
    EXPECT_EQ((point_t{last->prev->p.c2x, last->prev->p.c2y}), (point_t{7, 17}));
}

// --- outline distances ---

TEST(Distance, CurveSegmentUsesTheChordBetweenTheControlDirections)
{
    model::pointNode_t a, b;
    a.p.x = 0;
    a.p.y = 0;
    a.p.c1x = 30;
    a.p.c2x = 70;
    b.p.x = 100;
    b.p.y = 0;
    EXPECT_EQ(curveSegmentDistance(a, b, {50, 5}), 5);
    EXPECT_EQ(curveSegmentDistance(a, b, {-3, 4}), 5);     // nearest end point
    EXPECT_EQ(curveSegmentDistance(a, b, {100, -9}), 9);
}

TEST(Distance, PieMeasuresItsRadiiAndArcOnlyItsOutline)
{
    const point_t c{0, 0}, s{100, 0}, e{0, -100};
    EXPECT_EQ(arcDistance(model::typePie, c, {50, 3}, e, s), 3);
    EXPECT_EQ(arcDistance(model::typePie, c, {-2, -50}, e, s), 2);
    EXPECT_GT(arcDistance(model::typeArc, c, {50, 3}, e, s), 40);
    // (74, −74) lies about 4.7 outside the circle, next to a sample.
    EXPECT_EQ(arcDistance(model::typeArc, c, polarPoint(c, pi / 4, 104), e, s), 5);
}

TEST(Distance, NothingMeasuredGivesTheLargestInteger)
{
    // Zero sweep: no intermediate samples, and an arc has no radii.
    EXPECT_EQ(arcDistance(model::typeArc, {0, 0}, {5, 5}, {20, 0}, {10, 0}), INT32_MAX);
}

TEST(Rect, ContainsIsInclusiveAndTheOperationsKeepEdgesInclusive)
{
    const rect_t r{0, 0, 10, 5};
    EXPECT_TRUE(r.contains({0, 0}));
    EXPECT_TRUE(r.contains({10, 5}));
    EXPECT_FALSE(r.contains({11, 5}));
    EXPECT_FALSE(r.contains({5, -1}));
    // Touching on one column still meets; one pixel apart does not.
    EXPECT_TRUE(r.meets({10, 5, 20, 9}));
    EXPECT_FALSE(r.meets({11, 0, 20, 5}));
    EXPECT_FALSE(r.meets({0, 6, 10, 9}));
    EXPECT_EQ(r.united({-3, 2, 4, 8}), (rect_t{-3, 0, 10, 8}));
    EXPECT_EQ(r.intersected({4, -2, 20, 3}), (rect_t{4, 0, 10, 3}));
    EXPECT_TRUE(r.intersected({11, 0, 20, 5}).isEmpty());
    EXPECT_FALSE(r.intersected({10, 5, 20, 9}).isEmpty());
    EXPECT_EQ(r.grown(2), (rect_t{-2, -2, 12, 7}));
    // Growing never wraps around the 32-bit range.
    EXPECT_EQ((rect_t{INT32_MIN + 1, 0, INT32_MAX - 1, 0}.grown(5)), (rect_t{INT32_MIN, -5, INT32_MAX, 5}));
}

TEST(Hit, PointInBand)
{
    const quadrangle_t q{{{0, 0}, {100, 0}, {100, 20}, {0, 20}}};
    EXPECT_TRUE(pointInBand({50, 10}, q));
    EXPECT_TRUE(pointInBand({50, 20}, q));
    EXPECT_FALSE(pointInBand({50, 30}, q));
    EXPECT_FALSE(pointInBand({150, 10}, q));
    // A turned band.
    const quadrangle_t t{{{0, 0}, {40, -40}, {50, -30}, {10, 10}}};
    EXPECT_TRUE(pointInBand({25, -15}, t));
    EXPECT_FALSE(pointInBand({0, -30}, t));
}
