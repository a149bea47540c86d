// Mirror, flip and quarter turns of shapes, pictures and groups; segment
// crossing and the area test. (Fields of the packed record are compared as
// values, +field, so that no reference binds to a misaligned member.)
#include "geometry/transform.h"
#include "model/itemlist.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

using namespace geometry;
using model::item_t;
using model::itemList_t;

namespace {

constexpr double pi = std::numbers::pi;

struct doc_t {
    itemList_t list;
    ~doc_t() { model::freeList(list); }
    item_t* shape(int32_t type, std::initializer_list<point_t> pts)
    {
        item_t* it = model::newItem(list, type);
        for (point_t p : pts) appendPoint(it->points, p);
        it->selected = 255;
        it->penWidthPx = 0;
        return it;
    }
};

// Every point with both control points, for exact comparison.
std::vector<int32_t> geometryOf(const item_t* it)
{
    std::vector<int32_t> v;
    for (auto* n = it->points.head; n; n = n->next)
        v.insert(v.end(), {n->p.x, n->p.y, n->p.c1x, n->p.c1y, n->p.c2x, n->p.c2y});
    return v;
}

struct shapeCase_t {
    std::string name;
    std::function<item_t*(doc_t&)> make;
};

std::vector<shapeCase_t> shapeCases()
{
    return {
        {"Triangle", [](doc_t& d) { return d.shape(model::typeTriangle, {{0, 0}, {13, 0}, {4, 9}}); }},
        {"Square", [](doc_t& d) {
             item_t* it = d.shape(model::typeSquare, {});
             buildSquare({3, 7}, {20, 1}, it->points);
             return it;
         }},
        {"Spline", [](doc_t& d) { return d.shape(model::typeSpline, {{1, 1}, {4, 2}, {9, -7}, {2, 5}}); }},
        {"Curve", [](doc_t& d) {
             item_t* it = d.shape(model::typeCurve, {{0, 0}, {31, 4}, {17, 26}});
             smoothControlPoints(it->points, 0.27614237);
             openCurveEnds(it->points, 0.27614237);
             savePoints(it->points);
             return it;
         }},
        {"Pie", [](doc_t& d) {
             // Start and end both exactly 50 from the centre, so mirroring
             // (which swaps them) keeps the radius.
             item_t* it = d.shape(model::typePie, {});
             buildPieArc({10, 10}, {40, 50}, {-38, 24}, it->points);
             return it;
         }},
        {"Arc", [](doc_t& d) {
             item_t* it = d.shape(model::typeArc, {});
             buildPieArc({-20, 5}, {-6, -43}, {20, 35}, it->points);
             return it;
         }},
        {"Polygon", [](doc_t& d) {
             item_t* it = d.shape(model::typePolygon, {});
             buildRegularPolygon({50, 50}, {71, 44}, 5, it->points);
             return it;
         }},
        {"Star", [](doc_t& d) {
             item_t* it = d.shape(model::typeStar, {});
             buildStar({-8, 3}, {12, 9}, {0, 0}, 6, it->points);
             return it;
         }},
    };
}

void PrintTo(const shapeCase_t& c, std::ostream* os) { *os << c.name; }

class RoundTrip : public ::testing::TestWithParam<shapeCase_t> {};

} // namespace

TEST_P(RoundTrip, FourQuarterTurnsReturnEveryPoint)
{
    for (int32_t dir : {+1, -1}) {
        doc_t d;
        item_t* it = GetParam().make(d);
        const auto before = geometryOf(it);
        for (int i = 0; i < 4; ++i) {
            transformShape(it, false, false, dir);
            if (i < 3) {
                EXPECT_NE(geometryOf(it), before) << "turn " << i;
            }
        }
        EXPECT_EQ(geometryOf(it), before) << "direction " << dir;
    }
}

TEST_P(RoundTrip, TurnLeftThenRightIsTheIdentity)
{
    doc_t d;
    item_t* it = GetParam().make(d);
    const auto before = geometryOf(it);
    transformShape(it, false, false, +1);
    transformShape(it, false, false, -1);
    EXPECT_EQ(geometryOf(it), before);
}

TEST_P(RoundTrip, MirrorTwiceAndFlipTwiceAreTheIdentity)
{
    doc_t d;
    item_t* it = GetParam().make(d);
    const auto before = geometryOf(it);
    transformShape(it, true, false, 0);
    EXPECT_NE(geometryOf(it), before);
    transformShape(it, true, false, 0);
    EXPECT_EQ(geometryOf(it), before);
    transformShape(it, false, true, 0);
    EXPECT_NE(geometryOf(it), before);
    transformShape(it, false, true, 0);
    EXPECT_EQ(geometryOf(it), before);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RoundTrip, ::testing::ValuesIn(shapeCases()), testnames::byName{});

TEST(TransformShape, QuarterTurnLeftMovesTheRightSideUp)
{
    doc_t d;
    item_t* it = d.shape(model::typeSpline, {{0, 0}, {10, 0}});
    transformShape(it, false, false, +1);
    EXPECT_EQ(pointAt(it->points, 1), (point_t{5, 5}));
    EXPECT_EQ(pointAt(it->points, 2), (point_t{5, -5}));
    EXPECT_EQ(it->points.tail->p.savedY, -5) << "saved copies follow";
    EXPECT_EQ(it->boxTop, -5 - std::max(it->penWidthPx, defaultHandleSize / 2)) << "box recomputed";
}

TEST(TransformShape, MirrorReflectsAboutTheRoundedAveragePoint)
{
    doc_t d;
    item_t* it = d.shape(model::typeSpline, {{0, 0}, {10, 0}, {10, 5}});
    transformShape(it, true, false, 0);  // centre (7, 2)
    EXPECT_EQ(pointAt(it->points, 1), (point_t{14, 0}));
    EXPECT_EQ(pointAt(it->points, 2), (point_t{4, 0}));
    EXPECT_EQ(pointAt(it->points, 3), (point_t{4, 5}));
    transformShape(it, false, true, 0);  // centre (7, 2) again
    EXPECT_EQ(pointAt(it->points, 3), (point_t{4, -1}));
}

TEST(TransformShape, MirroredPieKeepsRunningCounterClockwise)
{
    doc_t d;
    item_t* it = d.shape(model::typePie, {});
    buildPieArc({0, 0}, {30, 0}, {0, -30}, it->points);  // 0° to 90°
    transformShape(it, true, false, 0);                    // about x = 14
    EXPECT_EQ(pointAt(it->points, 1), (point_t{28, 0}));
    EXPECT_EQ(pointAt(it->points, 2), (point_t{28, -30}));  // mirror of the old end
    EXPECT_EQ(pointAt(it->points, 3), (point_t{-2, 0}));    // mirror of the old start
    const arcSweep_t a = arcSweep(pointAt(it->points, 1), pointAt(it->points, 2), pointAt(it->points, 3));
    EXPECT_NEAR(a.sweep, pi / 2, 1e-9);
    EXPECT_NEAR(a.start, pi / 2, 1e-9);
}

// --- pictures ---

namespace {

item_t* picture(doc_t& d, int32_t clipShape)
{
    item_t* it = model::newItem(d.list, model::typePicture);
    it->selected = 255;
    it->clipShape = clipShape;
    it->picWidth = 200;
    it->picHeight = 100;
    it->baseScale = 2.0;  // W = 100, H = 50
    it->flipX = 1;
    it->flipY = 1;
    it->orientation = 0;
    it->srcLeft = 10;
    it->srcTop = 5;
    it->srcRight = 40;
    it->srcBottom = 20;
    it->x1 = 0;
    it->y1 = 0;
    it->x2 = 100;
    it->y2 = 50;
    return it;
}

std::vector<int32_t> pictureState(const item_t* it)
{
    return {it->flipX, it->flipY, it->orientation, it->picWidth, it->picHeight, it->srcLeft, it->srcTop,
            it->srcRight, it->srcBottom, it->x1, it->y1, it->x2, it->y2};
}

} // namespace

TEST(PictureTransform, MirrorNegatesTheFlipOfTheShownAxis)
{
    doc_t d;
    item_t* a = picture(d, 0);
    pictureTransform(a, true, false, 0);
    EXPECT_EQ(+a->flipX, -1);
    EXPECT_EQ(+a->flipY, 1);
    item_t* b = picture(d, 0);
    b->orientation = 90;
    pictureTransform(b, true, false, 0);
    EXPECT_EQ(+b->flipX, 1);
    EXPECT_EQ(+b->flipY, -1);
    pictureTransform(b, false, true, 0);
    EXPECT_EQ(+b->flipX, -1);
}

TEST(PictureTransform, MirrorAndFlipMoveARectangularClip)
{
    doc_t d;
    item_t* it = picture(d, 1);
    pictureTransform(it, true, false, 0);
    EXPECT_EQ((std::vector<int32_t>{it->srcLeft, it->srcRight}), (std::vector<int32_t>{60, 90}));
    pictureTransform(it, false, true, 0);
    EXPECT_EQ((std::vector<int32_t>{it->srcTop, it->srcBottom}), (std::vector<int32_t>{30, 45}));
}

TEST(PictureTransform, MirrorMovesBothPointsOfARoundClip)
{
    doc_t d;
    item_t* it = picture(d, 2);
    pictureTransform(it, true, false, 0);
    EXPECT_EQ((std::vector<int32_t>{it->srcLeft, it->srcTop, it->srcRight, it->srcBottom}),
              (std::vector<int32_t>{90, 5, 60, 20}));
}

TEST(PictureTransform, ClipStaysWithoutAScale)
{
    doc_t d;
    item_t* it = picture(d, 1);
    it->baseScale = 0;
    pictureTransform(it, true, true, -1);
    EXPECT_EQ((std::vector<int32_t>{it->srcLeft, it->srcTop, it->srcRight, it->srcBottom}),
              (std::vector<int32_t>{10, 5, 40, 20}));
    EXPECT_EQ(+it->flipX, -1);
    EXPECT_EQ(+it->orientation, 270);
}

TEST(PictureTransform, TurnRightTurnsClipAndBox)
{
    doc_t d;
    item_t* it = picture(d, 1);
    pictureTransform(it, false, false, -1);
    EXPECT_EQ(+it->orientation, 270);
    EXPECT_EQ(+it->picWidth, 100);
    EXPECT_EQ(+it->picHeight, 200);
    // (x, y) → (H − y, x) with H = 50.
    EXPECT_EQ((std::vector<int32_t>{it->srcLeft, it->srcTop, it->srcRight, it->srcBottom}),
              (std::vector<int32_t>{45, 10, 30, 40}));
    // 100 × 50 about its centre (50, 25) becomes 50 × 100.
    EXPECT_EQ((std::vector<int32_t>{it->x1, it->y1, it->x2, it->y2}), (std::vector<int32_t>{25, -25, 75, 75}));
    EXPECT_EQ(it->boxWidth, 50);
    EXPECT_EQ(it->boxHeight, 100);
    EXPECT_DOUBLE_EQ(it->mx1, 25 * model::screen().pxPerMmX);
}

TEST(PictureTransform, TurnLeftWrapsAboveFullCircleOnly)
{
    doc_t d;
    item_t* it = picture(d, 1);
    it->orientation = 270;
    pictureTransform(it, false, false, +1);
    EXPECT_EQ(+it->orientation, 360);
    pictureTransform(it, false, false, +1);
    EXPECT_EQ(+it->orientation, 90);
}

TEST(PictureTransform, FourTurnsEitherWayAndLeftRightPairsReturnTheStart)
{
    for (int32_t clip : {0, 1, 2}) {
        doc_t d;
        item_t* it = picture(d, clip);
        const auto start = pictureState(it);
        for (int i = 0; i < 4; ++i) pictureTransform(it, false, false, -1);
        EXPECT_EQ(pictureState(it), start) << clip;
        pictureTransform(it, false, false, +1);
        EXPECT_NE(pictureState(it), start);
        pictureTransform(it, false, false, -1);
        EXPECT_EQ(pictureState(it), start) << clip;
        pictureTransform(it, true, false, 0);
        pictureTransform(it, true, false, 0);
        pictureTransform(it, false, true, 0);
        pictureTransform(it, false, true, 0);
        EXPECT_EQ(pictureState(it), start) << clip;
    }
}

// --- selection and groups ---

TEST(TransformSelection, ChangesSelectedUngroupedShapesAndPicturesOnly)
{
    doc_t d;
    item_t* loose = d.shape(model::typeSpline, {{0, 0}, {10, 0}});
    item_t* unselected = d.shape(model::typeSpline, {{0, 0}, {10, 0}});
    unselected->selected = 0;
    item_t* grouped = d.shape(model::typeSpline, {{0, 0}, {10, 0}});
    grouped->groupId = 4;  // its group handle is not selected
    item_t* line = model::newItem(d.list, model::typeLine);
    line->selected = 255;
    line->x2 = 10;
    item_t* pic = picture(d, 0);
    transformSelection(d.list, false, false, +1);
    EXPECT_EQ(pointAt(loose->points, 2), (point_t{5, -5}));
    EXPECT_EQ(pointAt(unselected->points, 2), (point_t{10, 0}));
    EXPECT_EQ(pointAt(grouped->points, 2), (point_t{10, 0}));
    EXPECT_EQ(line->x2, 10);
    EXPECT_EQ(line->y2, 0);
    EXPECT_EQ(+pic->orientation, 90);
}

namespace {

item_t* groupHandle(doc_t& d, int32_t groupId, point_t at)
{
    item_t* h = model::newItem(d.list, model::typeGroupHandle);
    h->groupId = groupId;
    h->selected = 255;
    h->x1 = h->x2 = h->refX1 = h->refX2 = at.x;
    h->y1 = h->y2 = h->refY1 = h->refY2 = at.y;
    return h;
}

item_t* twoPointItem(doc_t& d, int32_t type, int32_t groupId, point_t a, point_t b)
{
    item_t* it = model::newItem(d.list, type);
    it->groupId = groupId;
    it->selected = 255;
    it->x1 = it->refX1 = a.x;
    it->y1 = it->refY1 = a.y;
    it->x2 = it->refX2 = b.x;
    it->y2 = it->refY2 = b.y;
    return it;
}

} // namespace

TEST(Group, RotateTurnsEveryMemberAboutTheHandle)
{
    doc_t d;
    item_t* h = groupHandle(d, 1, {0, 0});
    item_t* line = twoPointItem(d, model::typeLine, 1, {10, 0}, {20, 0});
    item_t* text = twoPointItem(d, model::typeText, 1, {10, 0}, {20, 0});
    item_t* pic = twoPointItem(d, model::typePicture, 1, {90, -10}, {110, 10});
    pic->rotationStart = 0.25;
    item_t* spline = d.shape(model::typeSpline, {{10, 0}, {20, 0}});
    spline->groupId = 1;
    item_t* other = twoPointItem(d, model::typeLine, 2, {10, 0}, {20, 0});

    rotateGroup(d.list, h, pi / 2);
    EXPECT_EQ((std::vector<int32_t>{line->x1, line->y1, line->x2, line->y2}), (std::vector<int32_t>{0, -10, 0, -20}));
    EXPECT_DOUBLE_EQ(line->angle, pi / 2);
    EXPECT_EQ(line->boxTop, -20);
    EXPECT_DOUBLE_EQ(line->my2, -20 * model::screen().pxPerMmY);
    EXPECT_EQ(text->textAngle, 900);
    EXPECT_EQ((std::vector<int32_t>{pic->x1, pic->y1, pic->x2, pic->y2}), (std::vector<int32_t>{-10, -110, 10, -90}));
    EXPECT_DOUBLE_EQ(+pic->rotation, 0.25 + pi / 2);
    EXPECT_EQ(pic->boxTop, -110);
    EXPECT_EQ(pointAt(spline->points, 2), (point_t{0, -20}));
    EXPECT_EQ(other->x1, 10) << "another group is not touched";

    rotateGroup(d.list, h, -pi / 2);  // from the reference copies again
    EXPECT_EQ((std::vector<int32_t>{line->x1, line->y1}), (std::vector<int32_t>{0, 10}));
    EXPECT_EQ(text->textAngle, 2700);
}

TEST(Group, MirrorReflectsMembersAboutTheHandle)
{
    doc_t d;
    item_t* h = groupHandle(d, 1, {0, 0});
    item_t* line = twoPointItem(d, model::typeLine, 1, {10, 0}, {20, 5});
    item_t* text = twoPointItem(d, model::typeText, 1, {10, 0}, {20, 0});
    item_t* rectPic = twoPointItem(d, model::typePicture, 1, {10, 0}, {30, 8});
    item_t* roundPic = twoPointItem(d, model::typePicture, 1, {10, 0}, {14, 3});
    roundPic->clipShape = 2;
    item_t* spline = d.shape(model::typeSpline, {{10, 0}, {20, 0}});
    spline->groupId = 1;

    mirrorGroup(d.list, h, true, false);
    // A line's ends are each reflected: its slant is mirrored too.
    EXPECT_EQ((std::vector<int32_t>{line->x1, line->y1, line->x2, line->y2}), (std::vector<int32_t>{-10, 0, -20, 5}));
    // A text keeps reading left to right.
    EXPECT_EQ((std::vector<int32_t>{text->x1, text->x2}), (std::vector<int32_t>{-20, -10}));
    EXPECT_EQ((std::vector<int32_t>{rectPic->x1, rectPic->x2}), (std::vector<int32_t>{-30, -10}));
    EXPECT_EQ(rectPic->boxLeft, -30);
    // A round clip keeps its centre first.
    EXPECT_EQ((std::vector<int32_t>{roundPic->x1, roundPic->x2}), (std::vector<int32_t>{-10, -14}));
    EXPECT_EQ(roundPic->boxLeft, -15);
    EXPECT_EQ(pointAt(spline->points, 1), (point_t{-10, 0}));
    EXPECT_EQ(pointAt(spline->points, 2), (point_t{-20, 0}));

    mirrorGroup(d.list, h, false, true);
    EXPECT_EQ((std::vector<int32_t>{line->y1, line->y2}), (std::vector<int32_t>{0, -5}));
}

TEST(Group, TransformSelectionTurnsAndMirrorsSelectedGroups)
{
    doc_t d;
    groupHandle(d, 3, {0, 0});
    item_t* line = twoPointItem(d, model::typeLine, 3, {10, 0}, {20, 0});
    transformSelection(d.list, false, false, -1);
    EXPECT_EQ((std::vector<int32_t>{line->x1, line->y1, line->x2, line->y2}), (std::vector<int32_t>{0, 10, 0, 20}));
    transformSelection(d.list, false, true, 0);
    EXPECT_EQ((std::vector<int32_t>{line->y1, line->y2}), (std::vector<int32_t>{-10, -20}));
}

// --- crossing and the area test ---

struct crossCase_t {
    const char* name;
    point_t p1, p2, q1, q2;
    bool cross;
};

void PrintTo(const crossCase_t& c, std::ostream* os)
{
    using ::testing::PrintToString;
    *os << PrintToString(c.p1) << "-" << PrintToString(c.p2) << (c.cross ? " crosses " : " misses ")
        << PrintToString(c.q1) << "-" << PrintToString(c.q2);
}

class Crossing : public ::testing::TestWithParam<crossCase_t> {};

TEST_P(Crossing, BothOrders)
{
    const auto& c = GetParam();
    EXPECT_EQ(segmentsCross(c.p1, c.p2, c.q1, c.q2), c.cross);
    EXPECT_EQ(segmentsCross(c.q1, c.q2, c.p1, c.p2), c.cross);
    EXPECT_EQ(segmentsCross(c.p2, c.p1, c.q2, c.q1), c.cross);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Crossing,
    ::testing::Values(crossCase_t{"AnX", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true},
                      crossCase_t{"LevelAndUpright", {0, 0}, {10, 0}, {5, -5}, {5, 5}, true},
                      crossCase_t{"TouchingAtAnEnd", {0, 0}, {10, 0}, {10, -5}, {10, 5}, true},
                      crossCase_t{"JustPastTheEnd", {0, 0}, {10, 0}, {11, -5}, {11, 5}, false},
                      crossCase_t{"Parallel", {0, 0}, {10, 3}, {0, 5}, {10, 8}, false},
                      crossCase_t{"OverlappingOnOneLine", {0, 0}, {10, 0}, {5, 0}, {20, 0}, true},
                      crossCase_t{"OneLineApart", {0, 0}, {10, 0}, {11, 0}, {20, 0}, false},
                      crossCase_t{"GeneralSlopes", {0, 0}, {4, 8}, {0, 6}, {8, 2}, true},
                      crossCase_t{"GeneralSlopesMissing", {0, 0}, {4, 8}, {5, 6}, {9, 2}, false}),
    testnames::byName{});

TEST(Area, BoxInsideCountsWithOrWithoutCrossing)
{
    doc_t d;
    item_t* it = d.shape(model::typeTriangle, {{10, 10}, {20, 10}, {15, 20}});
    itemBounds(it, 0, 0);
    EXPECT_TRUE(insideOrCrossing(it, {0, 0, 30, 30}));
    EXPECT_TRUE(insideOrCrossing(it, {10, 10, 20, 20}));  // inclusive
    EXPECT_FALSE(insideOrCrossing(it, {11, 0, 30, 30}));
}

TEST(Area, CrossingShapeOutlineCounts)
{
    doc_t d;
    item_t* it = d.shape(model::typeTriangle, {{0, 0}, {100, 0}, {50, 100}});
    itemBounds(it, 0, 0);
    const areaTest_t crossing{true};
    EXPECT_TRUE(insideOrCrossing(it, {40, -10, 60, 10}, crossing));
    // Wholly inside the triangle: no edge crosses the rectangle.
    EXPECT_FALSE(insideOrCrossing(it, {45, 20, 55, 30}, crossing));
    EXPECT_FALSE(insideOrCrossing(it, {40, -10, 60, 10}));
}

TEST(Area, LinesTextsAndPictures)
{
    doc_t d;
    item_t* line = twoPointItem(d, model::typeLine, 0, {0, 0}, {100, 100});
    lineGeometry(line);
    const areaTest_t crossing{true};
    EXPECT_TRUE(insideOrCrossing(line, {40, 0, 60, 100}, crossing));
    EXPECT_FALSE(insideOrCrossing(line, {60, 0, 80, 20}, crossing));

    item_t* text = twoPointItem(d, model::typeText, 0, {0, 0}, {100, 0});
    lineGeometry(text);
    const quadrangle_t band{{{0, -20}, {100, -20}, {100, 5}, {0, 5}}};
    EXPECT_FALSE(insideOrCrossing(text, {40, -15, 60, -10}, crossing));
    areaTest_t withBand{true};
    withBand.outline = &band;
    EXPECT_TRUE(insideOrCrossing(text, {40, -25, 60, -10}, withBand));

    item_t* pic = twoPointItem(d, model::typePicture, 0, {0, 0}, {100, 50});
    pictureBox(pic);
    EXPECT_TRUE(insideOrCrossing(pic, {90, 40, 120, 60}, crossing));
    EXPECT_FALSE(insideOrCrossing(pic, {10, 20, 20, 30}, crossing));

    item_t* handle = groupHandle(d, 1, {5, 5});
    EXPECT_FALSE(insideOrCrossing(handle, {0, 0, 10, 10}, crossing)) << "only drawable items count";
}

TEST(Area, ZoomAndOriginApplyToTheItem)
{
    doc_t d;
    item_t* it = d.shape(model::typeTriangle, {{10, 10}, {20, 10}, {15, 20}});
    itemBounds(it, 0, 0);
    areaTest_t zoomed;
    zoomed.zoom = 2.0;
    zoomed.origin = {5, 5};
    EXPECT_TRUE(insideOrCrossing(it, {15, 15, 35, 35}, zoomed));
    EXPECT_FALSE(insideOrCrossing(it, {15, 15, 35, 35}));
}

TEST(Extremes, PositionsAtTheEndsOfTheRangeAreLimitedNotWrapped)
{
    doc_t d;
    item_t* it = d.shape(model::typeSpline, {{INT32_MAX - 1, INT32_MIN + 1}, {INT32_MAX, INT32_MIN}});
    it->penWidthPx = 50;
    itemBounds(it);
    EXPECT_EQ(it->boxRight, INT32_MAX);
    EXPECT_EQ(it->boxTop, INT32_MIN);
    EXPECT_GE(it->boxWidth, 0);
    translatePoints(it->points, 1000, -1000);
    EXPECT_EQ(pointAt(it->points, 1).x, INT32_MAX);
    EXPECT_EQ(pointAt(it->points, 1).y, INT32_MIN);
    transformShape(it, true, true, +1);
    item_t* pic = twoPointItem(d, model::typePicture, 0, {INT32_MIN, 0}, {INT32_MAX, 10});
    pic->clipShape = 2;
    pictureBox(pic);
    EXPECT_EQ(pic->boxLeft, INT32_MIN);
    EXPECT_GE(pic->boxRight, pic->boxLeft);
    EXPECT_EQ(pic->boxWidth, INT32_MAX);
    EXPECT_EQ(rotationCentre(pic), (point_t{0, 5}));
}

TEST(TransformShape, ShapesBuiltAroundACentreStayInPlace)
{
    doc_t d;
    item_t* circle = d.shape(model::typeCircle, {});
    buildCircle({100, 100}, {130, 100}, circle->points);
    transformShape(circle, true, false, 0);
    EXPECT_EQ(pointAt(circle->points, 1), (point_t{100, 100}));
    EXPECT_EQ(pointAt(circle->points, 2), (point_t{70, 100}));
    transformShape(circle, false, false, +1);
    EXPECT_EQ(pointAt(circle->points, 1), (point_t{100, 100}));

    item_t* star = d.shape(model::typeStar, {});
    buildStar({-8, 3}, {12, 9}, {0, 0}, 6, star->points);
    transformShape(star, false, true, 0);
    EXPECT_EQ(pointAt(star->points, 1), (point_t{-8, 3}));
    EXPECT_EQ(pointAt(star->points, 2), (point_t{12, -3}));
}
