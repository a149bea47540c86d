// The grid's rules on the records alone: which gridline a position snaps to,
// where equal spacing puts the gridlines, how the grid grows and shifts with
// the page, and that hostile grids neither crash nor stall.
#include "model/grid.h"

#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "testnames.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace {

using geometry::point_t;
using model::item_t;

// A page in inches at 96 pixels per inch, 8.5 × 11 from the origin, with a
// density of a quarter inch: P = round(0.2 × 96) = 19 when the origin is 0.2.
model::headerBody_t inchPage(double origin = 0.2)
{
    model::headerBody_t hd{};
    hd.unit = 3;
    hd.pxPerUnitX = hd.pxPerUnitY = 96;
    hd.canvasLeft = hd.canvasTop = origin;
    hd.canvasWidth = 8.5;
    hd.canvasHeight = 11;
    hd.anchorStepX = hd.anchorStepY = 0.25;
    return hd;
}

struct gridDoc_t {
    model::itemList_t list;
    item_t* grid = model::newItem(list, model::typeGrid);
    ~gridDoc_t() { model::freeList(list); }
};

std::vector<int32_t> positions(const model::anchorList_t& l, bool xAxis)
{
    std::vector<int32_t> out;
    for (const model::anchorNode_t* a = l.head; a; a = a->next)
        if (!a->deleted) out.push_back(xAxis ? model::anchorPositionX(a) : model::anchorPositionY(a));
    return out;
}

struct snapCase {
    const char* name;
    std::vector<int32_t> xs;      // vertical gridlines in list order (stored positions)
    std::vector<int32_t> deleted;  // indexes into xs that are deleted
    bool snapX, snapY;
    point_t in, out;              // document pixels
};

void PrintTo(const snapCase& c, std::ostream* os)
{
    *os << c.name << ": (" << c.in.x << ", " << c.in.y << ") -> (" << c.out.x << ", " << c.out.y << ")";
}

class GridSnap : public ::testing::TestWithParam<snapCase> {};

TEST_P(GridSnap, PositionGoesToItsNearestLiveGridline)
{
    const snapCase c = GetParam();
    gridDoc_t d;
    for (int32_t x : c.xs) model::addAnchorX(d.grid, x);
    for (int32_t y : {19 + 50, 19 + 150}) model::addAnchorY(d.grid, y);
    int32_t i = 0;
    for (model::anchorNode_t* a = d.grid->anchorsX.head; a; a = a->next, ++i)
        for (int32_t k : c.deleted)
            if (k == i) a->deleted = 1;
    model::headerBody_t hd = inchPage();
    hd.snapX = c.snapX;
    hd.snapY = c.snapY;
    model::gridIndex_t index;
    index.refresh(d.grid);
    EXPECT_EQ(model::snapPoint(hd, index, 1.0, c.in, {0, 0}), c.out);
}

// Stored positions count from the page origin: 19 + d lies at document d.
INSTANTIATE_TEST_SUITE_P(
    Cases, GridSnap,
    ::testing::Values(
        snapCase{"XOnlyLeavesYFree", {19 + 48, 19 + 96}, {}, true, false, {60, 77}, {48, 77}},
        snapCase{"YOnlyLeavesXFree", {19 + 48, 19 + 96}, {}, false, true, {60, 77}, {60, 50}},
        snapCase{"OneGridlinePullsEveryXHoweverFar", {19 + 100}, {}, true, false, {2000, 5}, {100, 5}},
        snapCase{"NearestOfManyBelowAndAbove", {19 + 10, 19 + 40, 19 + 90}, {}, true, false, {62, 0}, {40, 0}},
        snapCase{"TieGoesToTheFirstInListOrder", {19 + 110, 19 + 90}, {}, true, false, {100, 0}, {110, 0}},
        snapCase{"TieBelowFirstInListOrder", {19 + 90, 19 + 110}, {}, true, false, {100, 0}, {90, 0}},
        snapCase{"DeletedGridlineNeverWins", {19 + 100, 19 + 300}, {0}, true, false, {101, 0}, {300, 0}},
        snapCase{"AllDeletedLeavesTheCoordinate", {19 + 100}, {0}, true, false, {101, 7}, {101, 7}},
        snapCase{"SnapOffOnlyMaps", {19 + 100}, {}, false, false, {101, 7}, {101, 7}}),
    testnames::byName{});

TEST(GridSnap, ZoomAndViewOriginGiveTheGridlinesCanvasPixel)
{
    gridDoc_t d;
    model::addAnchorX(d.grid, 19 + 96);
    model::headerBody_t hd = inchPage();
    hd.snapX = 1;
    model::gridIndex_t index;
    index.refresh(d.grid);
    // At 300 % the gridline at document 96 is canvas pixel 288, less the origin.
    EXPECT_EQ(model::snapPoint(hd, index, 3.0, {10, 10}, {100, 0}).x, 288 - 100);
}

TEST(GridSpacing, NewGridStartsOnTheEdgeAndResetOneStepFurther)
{
    gridDoc_t d;
    const model::headerBody_t hd = inchPage();
    model::addInitialGrid(d.grid, hd);
    std::vector<int32_t> xs = positions(d.grid->anchorsX, true);
    // 8.5 in / 0.25 in = 34 steps: 35 gridlines from the edge (19) on.
    ASSERT_EQ(xs.size(), 35u);
    EXPECT_EQ(xs.front(), 19);
    EXPECT_EQ(xs[1], 19 + 24);
    EXPECT_EQ(xs.back(), 19 + 34 * 24);
    EXPECT_EQ(positions(d.grid->anchorsY, false).size(), 45u);

    model::resetGrid(d.grid, hd, model::gridHorizontal);
    xs = positions(d.grid->anchorsX, true);
    ASSERT_EQ(xs.size(), 34u);
    EXPECT_EQ(xs.front(), 19 + 24);
    // The other direction is left as it was.
    EXPECT_EQ(positions(d.grid->anchorsY, false).front(), 19);
}

TEST(GridSpacing, MillimetreStepsAreRoundedEachSoTheyNeverDrift)
{
    gridDoc_t d;
    model::headerBody_t hd = inchPage(0);
    hd.unit = 2;
    hd.pxPerUnitX = hd.pxPerUnitY = 96 / 25.4;
    hd.canvasWidth = 210;
    hd.canvasHeight = 297;
    hd.anchorStepX = hd.anchorStepY = 5;
    model::addInitialGrid(d.grid, hd);
    const std::vector<int32_t> xs = positions(d.grid->anchorsX, true);
    ASSERT_EQ(xs.size(), 43u);
    // 200 mm is 755.9 pixels: a rounded 19-pixel step would give 760.
    EXPECT_EQ(xs[40], 756);
}

TEST(GridSpacing, NoDensityOrNoPageGivesNoGridlines)
{
    for (double step : {0.0, -1.0, 1e-9, double(NAN)}) {
        gridDoc_t d;
        model::headerBody_t hd = inchPage();
        hd.anchorStepX = step;
        model::addInitialGrid(d.grid, hd);
        EXPECT_TRUE(positions(d.grid->anchorsX, true).empty()) << step;
    }
    gridDoc_t d;
    model::headerBody_t hd = inchPage();
    hd.canvasWidth = 0.1;  // narrower than a step: only the edge
    model::resetGrid(d.grid, hd, model::gridHorizontal);
    EXPECT_TRUE(positions(d.grid->anchorsX, true).empty());
}

TEST(GridGrowth, WiderPageAddsGridlinesBeyondTheLastOnly)
{
    gridDoc_t d;
    model::headerBody_t hd = inchPage();
    model::addInitialGrid(d.grid, hd);
    // The last gridline moved inwards and one near the end deleted: the
    // extension starts beyond the largest position, deleted ones included.
    model::anchorNode_t* last = d.grid->anchorsX.tail;
    last->deleted = 1;
    hd.canvasWidth = 9.0;
    EXPECT_EQ(model::extendGrid(d.grid, hd, model::gridHorizontal), 1);  // 8.75; 9.0 is the edge itself
    const std::vector<int32_t> xs = positions(d.grid->anchorsX, true);
    EXPECT_EQ(xs.back(), 19 + 35 * 24);
    EXPECT_EQ(model::extendGrid(d.grid, hd, model::gridHorizontal), 0);
    EXPECT_EQ(model::extendGrid(d.grid, hd, model::gridVertical), 0);
}

TEST(GridGrowth, ShiftKeepsTheFirstGridlineOffNegative)
{
    gridDoc_t d;
    for (int32_t x : {30, 60, 90}) model::addAnchorX(d.grid, x);
    model::shiftGrid(d.grid, model::gridHorizontal, 10);
    EXPECT_EQ(positions(d.grid->anchorsX, true), (std::vector<int32_t>{40, 70, 100}));
    model::shiftGrid(d.grid, model::gridHorizontal, -50);
    EXPECT_EQ(positions(d.grid->anchorsX, true), (std::vector<int32_t>{0, 30, 60}));
}

TEST(GridFineSnap, OnlyPointsCloserThanSevenPercentOfTheDensityMove)
{
    gridDoc_t d;
    model::addAnchorX(d.grid, 19 + 96);
    model::addAnchorY(d.grid, 19 + 96);
    model::headerBody_t hd = inchPage();  // density 24 px: 7 % is 1.68 px
    hd.snapX = 1;
    model::gridIndex_t index;
    index.refresh(d.grid);
    model::itemList_t scratch;
    item_t* curve = model::newItem(scratch, model::typeCurve);
    for (point_t p : {point_t{97, 97}, point_t{94, 50}, point_t{96, 96}}) geometry::appendPoint(curve->points, p);
    model::snapPointsNearGrid(hd, index, curve->points);
    const model::pointNode_t* n = curve->points.head;
    EXPECT_EQ(n->p.x, 96);  // 1 pixel away: snapped
    EXPECT_EQ(n->p.y, 97);  // y does not snap
    EXPECT_EQ(n->next->p.x, 94);  // 2 pixels away: stays
    EXPECT_EQ(n->next->next->p.x, 96);
    model::freeList(scratch);
}

TEST(GridHostile, ThousandsOfAnchorsFarOutsideSnapFastAndSafely)
{
    gridDoc_t d;
    for (int32_t k = 0; k < 20000; ++k) model::addAnchorX(d.grid, k % 2 ? INT32_MAX - k : INT32_MIN + k);
    model::headerBody_t hd = inchPage();
    hd.snapX = 1;
    hd.canvasLeft = 1e300;  // an origin no page has
    model::gridIndex_t index;
    index.refresh(d.grid);
    const auto t0 = std::chrono::steady_clock::now();
    point_t p{};
    for (int32_t k = 0; k < 100000; ++k) p = model::snapPoint(hd, index, 3.0, {k, k}, {0, 0});
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(us / 100000, 10.0);
    (void)p;
    // Growing a page of absurd size stops at the generation limit.
    hd.canvasLeft = 0;
    hd.canvasWidth = 1e12;
    model::freeNodes(d.grid->anchorsX);
    EXPECT_EQ(model::extendGrid(d.grid, hd, model::gridHorizontal), model::maxGeneratedGridlines);
    for (model::anchorNode_t* a = d.grid->anchorsX.head; a; a = a->next) a->deleted = 1;
    model::gridIndex_t fresh;
    fresh.refresh(d.grid);
    EXPECT_TRUE(fresh.x.empty());
    EXPECT_EQ(model::snapPoint(hd, fresh, 1.0, {5, 6}, {0, 0}), (point_t{5, 6}));
}

} // namespace

#include "docfile_support.h"
#include "geometry/units.h"
#include "model/docfile.h"
#include "model/history.h"

namespace {

// An edited grid (a gridline moved, one deleted, one inserted off the page,
// one far outside the range of any page) is saved, read and saved again:
// the saved grid reads back as it was, and saving what was read gives the
// same bytes again.
TEST(GridFile, EditedGridSurvivesWriteReadWriteByteForByte)
{
    testsupport::tempDir dir;
    model::itemList_t doc;
    testsupport::newDocument(doc);
    // The header as a document window leaves it, so that reading changes nothing of it.
    item_t* h = model::findHeader(doc);
    geometry::pxPerUnit(h->hdr().unit, h->hdr().pxPerUnitX, h->hdr().pxPerUnitY);
    geometry::computeCanvasPixels(h);
    item_t* grid = model::findByType(doc, model::typeGrid);
    grid->undoState = 0;  // as a new document's grid is: nothing to undo
    model::headerBody_t hd = inchPage();
    model::addInitialGrid(grid, hd);
    model::moveAnchor(grid->anchorsX.head->next, true, 55);
    grid->anchorsY.head->next->deleted = 1;
    model::addAnchorX(grid, -4000);
    model::addAnchorY(grid, 2000000000);
    const std::vector<int32_t> savedX = positions(grid->anchorsX, true), savedY = positions(grid->anchorsY, false);
    ASSERT_TRUE(model::writeDocument(dir.file("a.lmra"), doc));

    // The reader gives every record its history ids; from the second save
    // on, the file is a fixed point.
    testsupport::scriptedQuestions q;
    std::vector<std::vector<uint8_t>> saves;
    for (const char* next : {"b.lmra", "c.lmra"}) {
        model::itemList_t back;
        ASSERT_TRUE(model::readDocument(dir.file(saves.empty() ? "a.lmra" : "b.lmra"), back, q));
        const item_t* g = model::findVisibleByType(back, model::typeGrid);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(positions(g->anchorsX, true), savedX);
        EXPECT_EQ(positions(g->anchorsY, false), savedY);
        ASSERT_TRUE(model::writeDocument(dir.file(next), back));
        saves.push_back(testsupport::readAll(dir.file(next)));
        model::freeList(back);
    }
    EXPECT_EQ(saves[0], saves[1]);
    model::freeList(doc);
}

} // namespace
