// The handles of selected items: which codes each type shows where, the mark
// rectangles, the hit test's modes and cursors, and the marks on the canvas.
#include "selection_support.h"
#include "testnames.h"

#include <numbers>
#include <set>

using namespace seltest;
using canvas::handleSpots;
using canvas::handleView_t;

namespace {

std::vector<int32_t> codesOf(const item_t* it, const handleView_t& how)
{
    std::vector<int32_t> c;
    for (const render::markSpot_t& m : handleSpots(it, how)) c.push_back(m.code);
    return c;
}

point_t spotOf(const item_t* it, const handleView_t& how, int32_t code)
{
    for (const render::markSpot_t& m : handleSpots(it, how))
        if (m.code == code) return m.at;
    ADD_FAILURE() << "no handle " << code;
    return {};
}

handleView_t single(bool one = true)
{
    handleView_t h;
    h.single = one;
    return h;
}

struct listHolder_t {
    model::itemList_t l;
    ~listHolder_t() { model::freeList(l); }
};

} // namespace

// Side handles belong to squares and rectangles whose first side points
// exactly to the right; any other direction shows the corners only.
struct sideCase_t {
    const char* name;
    point_t a, b;
    bool sides;
};

void PrintTo(const sideCase_t& c, std::ostream* os)
{
    using ::testing::PrintToString;
    *os << "first side " << PrintToString(c.a) << "-" << PrintToString(c.b)
        << (c.sides ? " shows side handles" : " shows corners only");
}

class SideHandles : public ::testing::TestWithParam<sideCase_t> {};

TEST_P(SideHandles, OnlyForAFirstSidePointingExactlyRight)
{
    const sideCase_t& c = GetParam();
    listHolder_t h;
    item_t* r = addRectangle(h.l, c.a, c.b, 60);
    item_t* s = addSquare(h.l, c.a, c.b);
    for (item_t* it : {r, s}) {
        const std::vector<int32_t> codes = codesOf(it, single(false));
        const std::set<int32_t> set(codes.begin(), codes.end());
        for (int32_t code : {205, 206, 207, 208}) EXPECT_EQ(set.count(code) == 1, c.sides) << c.name << " " << code;
        for (int32_t code : {-1, -2, -3, -4}) EXPECT_EQ(set.count(code), 1u) << code;
    }
}

INSTANTIATE_TEST_SUITE_P(Rectangles, SideHandles,
                         ::testing::Values(sideCase_t{"PointingRight", {100, 300}, {260, 300}, true},
                                           sideCase_t{"PointingLeft", {260, 300}, {100, 300}, false},
                                           sideCase_t{"SlightlyTurned", {100, 300}, {260, 301}, false},
                                           sideCase_t{"PointingUp", {100, 300}, {100, 200}, false}),
                         testnames::byName{});

TEST(Handles, SideHandlesSitAtTheMiddlesOfTheirSides)
{
    listHolder_t h;
    // Corners (100,300) (260,300) (260,240) (100,240): the second side runs upwards.
    item_t* r = addRectangle(h.l, {100, 300}, {260, 300}, 60);
    const handleView_t how = single(false);
    EXPECT_EQ(spotOf(r, how, 207), (point_t{180, 300}));  // first side
    EXPECT_EQ(spotOf(r, how, 206), (point_t{260, 270}));  // corners 2 and 3
    EXPECT_EQ(spotOf(r, how, 205), (point_t{180, 240}));  // corners 3 and 4
    EXPECT_EQ(spotOf(r, how, 208), (point_t{100, 270}));  // corners 4 and 1
    EXPECT_EQ(spotOf(r, how, -3), (point_t{260, 240}));
}

TEST(Handles, CentreAndRotationDotOnlyForASingleSelection)
{
    listHolder_t h;
    item_t* tri = addTriangle(h.l, {100, 100}, {190, 100}, {100, 190});
    const std::vector<int32_t> one = codesOf(tri, single(true));
    EXPECT_EQ(one, (std::vector<int32_t>{-1, -2, -3, 5, 7}));
    EXPECT_EQ(codesOf(tri, single(false)), (std::vector<int32_t>{-1, -2, -3}));
    // The centroid; the dot lies 40 pixels from it towards the first point.
    const point_t c = spotOf(tri, single(), 7);
    EXPECT_EQ(c, (point_t{130, 130}));
    const point_t dot = spotOf(tri, single(), 5);
    EXPECT_NEAR(geometry::distance(c, dot), 40.0, 1.0);
    EXPECT_LT(dot.x, c.x);
    EXPECT_LT(dot.y, c.y);
}

TEST(Handles, LinesShowTheRotationDotOnlyWithoutAPresetDirection)
{
    listHolder_t h;
    item_t* ln = addLine(h.l, {100, 200}, {300, 200});
    EXPECT_EQ(codesOf(ln, single()), (std::vector<int32_t>{1, 2, 5, 3}));
    EXPECT_EQ(spotOf(ln, single(), 3), (point_t{200, 200}));
    // angle(P1, P2) − 90° of a line pointing right is straight down on the screen.
    EXPECT_EQ(spotOf(ln, single(), 5), (point_t{200, 240}));
    ln->direction = 0.0;
    EXPECT_EQ(codesOf(ln, single()), (std::vector<int32_t>{1, 2, 3}));
    ln->direction = -1.0;
    EXPECT_EQ(codesOf(ln, single(false)), (std::vector<int32_t>{1, 2, 3}));
}

TEST(Handles, CircleAndEllipseAxisHandles)
{
    listHolder_t h;
    item_t* c = addCircle(h.l, {300, 300}, 50);
    const handleView_t how = single();
    EXPECT_EQ(spotOf(c, how, 1), (point_t{350, 300}));
    EXPECT_EQ(spotOf(c, how, 2), (point_t{300, 250}));
    EXPECT_EQ(spotOf(c, how, 3), (point_t{250, 300}));
    EXPECT_EQ(spotOf(c, how, 4), (point_t{300, 350}));
    EXPECT_EQ(codesOf(c, how), (std::vector<int32_t>{1, 2, 3, 4, 7}));

    item_t* e = addEllipse(h.l, {500, 300}, {580, 300}, {500, 270});
    EXPECT_EQ(spotOf(e, how, 1), (point_t{580, 300}));
    EXPECT_EQ(spotOf(e, how, 3), (point_t{420, 300}));
    EXPECT_EQ(spotOf(e, how, 2), (point_t{500, 270}));  // axis direction + 90°: up
    EXPECT_EQ(spotOf(e, how, 4), (point_t{500, 330}));
    EXPECT_EQ(spotOf(e, how, 5), (point_t{540, 300}));  // along the first axis
}

TEST(Handles, PicturesUprightTurnedAndGroupHandles)
{
    listHolder_t h;
    item_t* p = addPicture(h.l, {100, 100}, {300, 200});
    EXPECT_EQ(codesOf(p, single()), (std::vector<int32_t>{101, 102, 103, 104, 105, 106, 107, 108, 5, 7}));
    EXPECT_EQ(spotOf(p, single(), 106), (point_t{300, 150}));
    p->rotation = std::numbers::pi / 2;
    EXPECT_EQ(codesOf(p, single()), (std::vector<int32_t>{101, 102, 103, 104, 5, 7}));
    // A quarter turn counter-clockwise about (200,150) takes the top-left corner to (150,250).
    EXPECT_EQ(spotOf(p, single(), 101), (point_t{150, 250}));

    item_t* g = model::newItem(h.l, model::typeGroupHandle);
    g->x1 = g->x2 = 400;
    g->y1 = g->y2 = 400;
    const std::vector<render::markSpot_t> spots = handleSpots(g, single(false));
    ASSERT_EQ(spots.size(), 2u);
    EXPECT_EQ(spots[0].code, 500);
    EXPECT_EQ(spots[0].kind, render::markSpot_t::rotationDot);
    EXPECT_EQ(spots[1].code, 3);
    EXPECT_EQ(spots[1].kind, render::markSpot_t::groupHandle);
    EXPECT_EQ(spots[1].at, (point_t{400, 400}));
    // Hidden records show nothing.
    p->hidden = 255;
    EXPECT_TRUE(handleSpots(p, single()).empty());
}

TEST(Handles, PositionsFollowTheZoomAndTheViewOrigin)
{
    listHolder_t h;
    item_t* ln = addLine(h.l, {100, 200}, {301, 200});
    handleView_t how = single();
    how.zoom = 2.0;
    how.origin = {50, 20};
    EXPECT_EQ(spotOf(ln, how, 1), (point_t{150, 380}));
    EXPECT_EQ(spotOf(ln, how, 2), (point_t{552, 380}));
    // The midpoint of the mapped ends; the dot stays 40 screen pixels away.
    EXPECT_EQ(spotOf(ln, how, 3), (point_t{351, 380}));
    EXPECT_EQ(spotOf(ln, how, 5), (point_t{351, 420}));
}

TEST(Handles, MarkRectanglesAreInclusiveOnEveryEdge)
{
    const canvas::markRect_t r = canvas::markRect({100, 100}, 8, 8);
    EXPECT_EQ(r.left, 96);
    EXPECT_EQ(r.right, 105);
    EXPECT_TRUE(r.contains({96, 96}));
    EXPECT_TRUE(r.contains({105, 105}));
    EXPECT_FALSE(r.contains({95, 100}));
    EXPECT_FALSE(r.contains({100, 106}));
    const canvas::markRect_t odd = canvas::markRect({10, 10}, 7, 5);
    EXPECT_EQ(odd.left, 7);
    EXPECT_EQ(odd.right, 14);
    EXPECT_EQ(odd.top, 8);
    EXPECT_EQ(odd.bottom, 13);
    for (int32_t code : {-1, -40, 1, 5, 7, 101, 108, 205, 208, 500}) EXPECT_TRUE(canvas::isHitCode(code)) << code;
    for (int32_t code : {0, 6, 100, 109, 204, 209, 499, -999}) EXPECT_FALSE(canvas::isHitCode(code)) << code;
}

TEST(Handles, ModesAndCodesOfEachItemType)
{
    using namespace canvas;
    EXPECT_EQ(modeForHandle(model::typeText, 1), modeTextHandle);
    EXPECT_EQ(modeForHandle(model::typeLine, 3), modeLineHandle);
    EXPECT_EQ(modeForHandle(model::typeStar, -4), modeShapeHandle);
    EXPECT_EQ(modeForHandle(model::typeArc, 3), modeShapeHandle);
    EXPECT_EQ(modeForHandle(model::typeCircle, 3), modeCircleHandle);
    EXPECT_EQ(modeForHandle(model::typeEllipse, 4), modeEllipseHandle);
    EXPECT_EQ(modeForHandle(model::typePicture, 105), modePictureHandle);
    EXPECT_EQ(modeForHandle(model::typeGroupHandle, 3), modeShapeHandle);
    EXPECT_EQ(modeForHandle(model::typeGroupHandle, 500), modeGroupRotation);
    for (int32_t code = 1; code <= 4; ++code) EXPECT_EQ(normalizedHandleCode(modeCircleHandle, code), 1);
    EXPECT_EQ(normalizedHandleCode(modeCircleHandle, 7), 7);
    EXPECT_EQ(normalizedHandleCode(modeEllipseHandle, 3), 1);
    EXPECT_EQ(normalizedHandleCode(modeEllipseHandle, 4), 2);
    EXPECT_EQ(normalizedHandleCode(modeEllipseHandle, 5), 5);
    EXPECT_EQ(normalizedHandleCode(modeShapeHandle, 3), 3);
}

TEST(Handles, HitTestChoosesTheFirstMarkAndTheCursor)
{
    listHolder_t h;
    item_t* r = addRectangle(h.l, {100, 300}, {260, 300}, 60);
    item_t* p = addPicture(h.l, {400, 100}, {600, 200});
    const handleView_t one = single(true);
    model::setSelected(h.l, r, true);
    canvas::handleHit_t hit = canvas::hitTestHandles(h.l, {184, 244}, one, 8, 8);  // 205 at (180,240), edge
    EXPECT_EQ(hit.item, r);
    EXPECT_EQ(hit.code, 205);
    EXPECT_EQ(hit.mode, canvas::modeShapeHandle);
    EXPECT_EQ(hit.cursor, Qt::SizeVerCursor);
    EXPECT_EQ(canvas::hitTestHandles(h.l, {260, 270}, one, 8, 8).cursor, Qt::SizeHorCursor);
    EXPECT_EQ(canvas::hitTestHandles(h.l, {100, 300}, one, 8, 8).cursor, Qt::SizeAllCursor);  // corner -1
    hit = canvas::hitTestHandles(h.l, {186, 240}, one, 8, 8);  // one past the right edge
    EXPECT_EQ(hit.item, nullptr);
    EXPECT_EQ(hit.cursor, Qt::ArrowCursor);
    // Several items selected: every handle shows the four-way arrow.
    model::setSelected(h.l, p, true);
    const handleView_t many = single(false);
    EXPECT_EQ(canvas::hitTestHandles(h.l, {180, 240}, many, 8, 8).cursor, Qt::SizeAllCursor);
    hit = canvas::hitTestHandles(h.l, {600, 100}, many, 8, 8);
    EXPECT_EQ(hit.item, p);
    EXPECT_EQ(hit.code, 102);
    EXPECT_EQ(hit.mode, canvas::modePictureHandle);
    model::setSelected(h.l, r, false);
    EXPECT_EQ(canvas::hitTestHandles(h.l, {600, 100}, one, 8, 8).cursor, Qt::SizeBDiagCursor);
    EXPECT_EQ(canvas::hitTestHandles(h.l, {400, 100}, one, 8, 8).cursor, Qt::SizeFDiagCursor);
    p->rotation = 0.1;
    EXPECT_EQ(canvas::hitTestHandles(h.l, spotOf(p, one, 101), one, 8, 8).cursor, Qt::SizeAllCursor);
    // Unselected items have no marks to hit.
    model::setSelected(h.l, p, false);
    EXPECT_EQ(canvas::hitTestHandles(h.l, {600, 100}, one, 8, 8).item, nullptr);
}

class MarksOnCanvas : public WindowTest {};

TEST_F(MarksOnCanvas, ItemHandlesYellowGroupHandlesRed)
{
    item_t* a = addRectangle(items(), {100, 300}, {260, 300}, 60);
    item_t* b = addRectangle(items(), {400, 300}, {560, 300}, 60);
    model::setSelected(items(), a, true);
    model::setSelected(items(), b, true);
    item_t* g = model::joinItems(items());
    ASSERT_NE(g, nullptr);
    paintWithMarks();
    const QImage& img = w->canvasImage();
    const item_t* a2 = current(items(), a);
    const point_t corner = screen(geometry::pointAt(a2->points, 1));
    EXPECT_EQ(img.pixel(corner.x, corner.y), qRgb(255, 255, 0));
    const point_t centre = screen({g->x1, g->y1});
    EXPECT_EQ(img.pixel(centre.x, centre.y), qRgb(255, 0, 0));
    // The window's hit test on the group square starts a group move.
    const canvas::handleHit_t hit = canvas::hitTestHandles(*w, centre);
    EXPECT_EQ(hit.item, g);
    EXPECT_EQ(hit.code, 3);
    EXPECT_EQ(hit.mode, canvas::modeShapeHandle);
    // The pointer over it shows the cursor of the hit.
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(centre.x, centre.y));
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("canvasControl"))->cursor().shape(), Qt::SizeAllCursor);
}

// A mark on the pixel of an earlier one could never be hit: a polygon's
// closing vertex (a repeat of its first) gets none, and a polygon of very
// many sides gets at most one mark per outline pixel.
TEST(PointHandles, OneMarkPerCanvasPixel)
{
    listHolder_t h;
    item_t* pentagon = model::newItem(h.l, model::typePolygon);
    geometry::buildRegularPolygon({200, 200}, {240, 200}, 5, pentagon->points);
    const std::vector<int32_t> codes = codesOf(pentagon, single(false));
    EXPECT_EQ(codes, (std::vector<int32_t>{-1, -2, -3, -4, -5}));

    item_t* many = model::newItem(h.l, model::typePolygon);
    geometry::buildRegularPolygon({300, 300}, {320, 300}, 100000, many->points);
    const std::vector<render::markSpot_t> spots = handleSpots(many, single(false));
    EXPECT_GT(spots.size(), 100u);
    EXPECT_LT(spots.size(), 400u);
    std::set<std::pair<int32_t, int32_t>> at;
    for (const render::markSpot_t& m : spots) EXPECT_TRUE(at.insert({m.at.x, m.at.y}).second);
    // Codes keep naming their point in the list.
    EXPECT_EQ(spots.front().code, -1);
    EXPECT_EQ(spotOf(many, single(false), -1), (point_t{320, 300}));
}
