#include "render/renderpass.h"

#include "docbuilder.h"
#include "randompage.h"
#include "geometry/shapes.h"
#include "testnames.h"
#include "render/shapedraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace render;
using model::item_t;
using testdoc::addHeader;
using testdoc::addLine;
using testdoc::addShape;
using testdoc::randomPage;

namespace {

constexpr int32_t white = 0xFFFFFF;
constexpr int32_t red = 0x0000FF;
constexpr int32_t blue = 0xFF0000;

int32_t px(const QImage& img, int x, int y) { return toBgr(img.pixel(x, y)); }

// A document and a view of it, painted by repaintAll.
struct scene {
    model::itemList_t doc;
    renderView_t view;
    explicit scene(int32_t w = 200, int32_t h = 200, double zoom = 1.0, int32_t designType = 0)
    {
        addHeader(doc, w, h, zoom, designType);
        view.items = &doc;
        const QSize s = canvasImageSize(model::findHeader(doc));
        view.Image1 = newCanvasImage(s.width(), s.height());
    }
    ~scene() { model::freeList(doc); }
    const QImage& paint()
    {
        repaintAll(view, false);
        return view.Image1;
    }
};

// ---------- fill rules and the closed-polyline rule ----------

TEST(FillRules, SolidShapeIsOutlinedOnePixelWhateverItsWeight)
{
    scene s;
    // A 3 mm square (pen 11) with fill -2: inside and edge line colour, one pixel out white.
    addShape(s.doc, model::typeSquare, {{50, 50}, {100, 50}, {100, 100}, {50, 100}}, -2, blue, 3.0);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 75, 75), blue);
    EXPECT_EQ(px(img, 50, 75), blue);
    EXPECT_EQ(px(img, 48, 75), white);
    EXPECT_EQ(px(img, 75, 102), white);
}

TEST(FillRules, NoFillIsOutlinedAtThePenWidth)
{
    scene s;
    addShape(s.doc, model::typeSquare, {{50, 50}, {100, 50}, {100, 100}, {50, 100}}, -1, blue, 3.0);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 75, 75), white);
    // Pen of 11 pixels straddles the edge.
    EXPECT_EQ(px(img, 46, 75), blue);
    EXPECT_EQ(px(img, 54, 75), blue);
    EXPECT_EQ(px(img, 58, 75), white);
}

TEST(FillRules, ColourFillInsideLineColourOutline)
{
    scene s;
    addShape(s.doc, model::typeTriangle, {{40, 150}, {160, 150}, {100, 40}}, 0x00FF00, red, 0.5);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 100, 120), 0x00FF00);
    EXPECT_EQ(px(img, 100, 150), red);
    EXPECT_EQ(px(img, 100, 155), white);
    EXPECT_EQ(px(img, 30, 60), white);
}

TEST(Variants, OpenClosedAndFilledPointLists)
{
    for (int32_t variant : {0, 1, 2}) {
        scene s;
        addShape(s.doc, model::typeSpline, {{20, 20}, {180, 20}, {180, 180}, {20, 180}}, 0x00FF00, red, 0.0, variant);
        const QImage& img = s.paint();
        // The closing side (left) only for closed variants; interior only when filled.
        EXPECT_EQ(px(img, 20, 100) == red, variant != 0) << variant;
        EXPECT_EQ(px(img, 100, 100) == 0x00FF00, variant == 2) << variant;
        EXPECT_EQ(px(img, 180, 100), red) << variant;
    }
}

TEST(Variants, ClosedPolylineDoesNotRepeatAClosingPoint)
{
    const std::vector<QPoint> open{{0, 0}, {10, 0}, {10, 10}};
    EXPECT_EQ(closedPolyline(open), (std::vector<QPoint>{{0, 0}, {10, 0}, {10, 10}, {0, 0}}));
    const std::vector<QPoint> closed{{0, 0}, {10, 0}, {10, 10}, {0, 0}};
    EXPECT_EQ(closedPolyline(closed), closed);
}

TEST(PointLists, TooFewPointsDrawNothingAndTwoPointsOneSegment)
{
    scene s;
    addShape(s.doc, model::typeTriangle, {{20, 20}}, -2, red, 1.0);
    item_t* two = addShape(s.doc, model::typeSpline, {{20, 100}, {180, 100}}, -2, red, 3.0);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 20, 20), white);
    EXPECT_EQ(px(img, 100, 100), red);
    // With fill -2 the segment is one pixel wide.
    EXPECT_EQ(px(img, 100, 102), white);
    two->fillColor = -1;
    s.paint();
    EXPECT_EQ(px(s.view.Image1, 100, 103), red);
}

// ---------- pixel probes of every shape type ----------

struct probeCase {
    const char* name;
    int32_t type;
    std::vector<std::pair<int32_t, int32_t>> pts;
    int32_t sides;
    QPoint inside, outside, onOutline;
};

void PrintTo(const probeCase& c, std::ostream* os)
{
    *os << c.name << " of " << c.pts.size() << " points: inside (" << c.inside.x() << ", " << c.inside.y()
        << "), outside (" << c.outside.x() << ", " << c.outside.y() << "), on the outline (" << c.onOutline.x()
        << ", " << c.onOutline.y() << ")";
}

class ShapeProbes : public ::testing::TestWithParam<probeCase> {};

TEST_P(ShapeProbes, InsideOutsideAndOutline)
{
    const probeCase& c = GetParam();
    scene s;
    item_t* it = model::newItem(s.doc, c.type);
    for (auto [x, y] : c.pts) model::addPoint(it, x, y);
    it->fillColor = 0x00FF00;
    it->lineColor = red;
    it->lineWeight = 0;
    it->penWidthPx = 1;
    it->shapeVariant = 2;
    it->sides = c.sides;
    it->boxLeft = it->boxTop = 0;
    it->boxRight = it->boxBottom = 200;
    testdoc::stack(s.doc, it);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, c.inside.x(), c.inside.y()), 0x00FF00) << c.name;
    EXPECT_EQ(px(img, c.outside.x(), c.outside.y()), white) << c.name;
    EXPECT_EQ(px(img, c.onOutline.x(), c.onOutline.y()), red) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, ShapeProbes,
    ::testing::Values(
        probeCase{"Triangle", model::typeTriangle, {{20, 180}, {180, 180}, {100, 20}}, 0, {100, 150}, {30, 40}, {100, 180}},
        probeCase{"Square", model::typeSquare, {{40, 40}, {160, 40}, {160, 160}, {40, 160}}, 0, {100, 100}, {30, 100}, {160, 100}},
        probeCase{"Rectangle", model::typeRectangle, {{20, 60}, {180, 60}, {180, 140}, {20, 140}}, 0, {100, 100}, {100, 50}, {100, 60}},
        // Circle: centre and a point on it; radius 60.
        probeCase{"Circle", model::typeCircle, {{100, 100}, {160, 100}}, 0, {100, 100}, {150, 150}, {100, 40}},
        // Ellipse: semi-axes 80 (along x) and 40.
        probeCase{"Ellipse", model::typeEllipse, {{100, 100}, {180, 100}, {100, 60}}, 0, {150, 100}, {100, 50}, {100, 140}},
        // Hexagon of radius 80 with a vertex to the right.
        probeCase{"Polygon", model::typePolygon, {{100, 100}, {180, 100}}, 6, {100, 100}, {100, 25}, {180, 100}},
        // Five-pointed star: tips at radius 80, inner vertices at 30.
        probeCase{"Star", model::typeStar, {{100, 100}, {100, 20}, {117, 76}}, 5, {100, 100}, {140, 40}, {100, 20}},
        // Pie: the quarter from 0° to 90° (up the screen), radius 80.
        probeCase{"Pie", model::typePie, {{40, 160}, {120, 160}, {40, 80}}, 0, {70, 130}, {30, 130}, {40, 120}}),
    testnames::byName{});

TEST(ShapeProbes, ArcIsAnOpenCurveWithoutFill)
{
    scene s;
    item_t* arc = addShape(s.doc, model::typeArc, {{100, 100}, {160, 100}, {40, 100}}, 0x00FF00, red, 0.0);
    (void)arc;
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 100, 40), red);     // top of the upper half circle
    EXPECT_EQ(px(img, 100, 80), white);   // no fill
    EXPECT_EQ(px(img, 100, 160), white);  // the lower half is not drawn
    EXPECT_EQ(px(img, 100, 100), white);  // not closed through the centre
}

TEST(ShapeProbes, FilledCurveAndOpenCurve)
{
    for (int32_t variant : {0, 2}) {
        scene s;
        item_t* c = addShape(s.doc, model::typeCurve, {{40, 40}, {160, 40}, {160, 160}, {40, 160}}, 0x00FF00, red, 0.0, variant);
        testdoc::smoothCurve(c, variant != 0);
        const QImage& img = s.paint();
        EXPECT_EQ(px(img, 100, 100) == 0x00FF00, variant == 2) << variant;
    }
}

TEST(ShapeProbes, RegularPolygonVerticesFromCentreAndFirstVertex)
{
    // The generated vertices start one step after V and end on V.
    const auto v = regularPolygonCorners({0, 0}, {10, 0}, 3);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0], QPoint(-5, -9));
    EXPECT_EQ(v[1], QPoint(-5, 9));
    EXPECT_EQ(v[2], QPoint(10, 0));
    EXPECT_TRUE(regularPolygonCorners({0, 0}, {10, 0}, 2).empty());
    EXPECT_TRUE(regularPolygonCorners({0, 0}, {10, 0}, 1024001).empty());
    const auto st = starCorners({0, 0}, {0, -10}, {2, -4}, 4);
    ASSERT_EQ(st.size(), 8u);
    EXPECT_EQ(st[7], QPoint(0, -10));
    EXPECT_EQ(st[1], QPoint(-10, 0));  // outer radius again, a quarter turn on
}

TEST(Zoom, QuarterZoomZeroWeightStillDrawsTheThinnestLine)
{
    scene s(800, 800, 0.25);
    addShape(s.doc, model::typeSquare, {{100, 100}, {500, 100}, {500, 500}, {100, 500}}, -1, red, 0.0);
    ASSERT_EQ(geometry::penWidthAt(0.25, 0.0), 0);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 60, 25), red);
    EXPECT_EQ(px(img, 60, 60), white);
}

// ---------- painting order ----------

TEST(PaintingOrder, FirstVisibleRecordPerZ)
{
    scene s;
    item_t* a = addShape(s.doc, model::typeSquare, {{0, 0}, {10, 0}}, -2);
    item_t* b = addShape(s.doc, model::typeSquare, {{0, 0}, {10, 0}}, -2);
    item_t* c = addShape(s.doc, model::typeSquare, {{0, 0}, {10, 0}}, -2);
    item_t* d = addShape(s.doc, model::typeSquare, {{0, 0}, {10, 0}}, -2);
    item_t* e = addShape(s.doc, model::typeSquare, {{0, 0}, {10, 0}}, -2);
    a->zOrder = 3;
    b->zOrder = 1;
    c->zOrder = 3;  // duplicate: a comes first in the list
    d->zOrder = 0;  // never painted
    e->zOrder = 2;
    e->hidden = 1;
    model::invalidateIds(s.doc);
    EXPECT_EQ(paintingOrder(s.doc), (std::vector<item_t*>{b, a}));
    a->hidden = 1;  // c now is the first visible record with z 3
    EXPECT_EQ(paintingOrder(s.doc), (std::vector<item_t*>{b, c}));
    b->editing = 1;
    EXPECT_EQ(paintingOrder(s.doc), (std::vector<item_t*>{c}));
}

TEST(PaintingOrder, MatchesAskingForEveryZInTurn)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        model::itemList_t doc;
        const int n = 1 + static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            item_t* it = model::newItem(doc, model::typeSquare);
            it->zOrder = static_cast<int32_t>(rng() % 40) - 3;
            it->hidden = rng() % 4 == 0;
            if (rng() % 10 == 0) it->kind = model::kindPattern;
        }
        model::invalidateIds(doc);
        std::vector<item_t*> want;
        int32_t maxZ = 0;
        for (item_t* it = doc.head; it; it = it->next)
            if (it->kind == model::kindItem) maxZ = std::max(maxZ, it->zOrder);
        for (int32_t z = 1; z <= maxZ; ++z)
            if (item_t* it = model::itemAtZ(doc, z)) want.push_back(it);
        EXPECT_EQ(paintingOrder(doc), want) << round;
        model::freeList(doc);
    }
}

TEST(PaintingOrder, HigherZPaintsOver)
{
    scene s;
    item_t* under = addShape(s.doc, model::typeSquare, {{20, 20}, {120, 20}, {120, 120}, {20, 120}}, -2, red);
    item_t* over = addShape(s.doc, model::typeSquare, {{60, 60}, {160, 60}, {160, 160}, {60, 160}}, -2, blue);
    EXPECT_EQ(px(s.paint(), 90, 90), blue);
    std::swap(under->zOrder, over->zOrder);
    EXPECT_EQ(px(s.paint(), 90, 90), red);
}

TEST(PaintingOrder, PatternRecordIsNeverDrawn)
{
    scene s;
    item_t* rec = addShape(s.doc, model::typeSquare, {{20, 20}, {120, 20}, {120, 120}, {20, 120}}, -2, red);
    rec->kind = model::kindPattern;
    model::invalidateIds(s.doc);
    const QImage& img = s.paint();
    EXPECT_EQ(px(img, 70, 70), white);
    renderView_t& v = s.view;
    drawItem(v, rec, false);
    EXPECT_EQ(px(v.Image1, 70, 70), white);
    QImage out = newCanvasImage(200, 200);
    renderItemToBitmap(out, s.doc, rec, {0, 0}, 1, 1);
    EXPECT_EQ(px(out, 70, 70), white);
}

// ---------- drawItemsInRect ----------

TEST(DrawItemsInRect, OnlyItemsThatMeetTheRectAndItGrows)
{
    scene s;
    item_t* a = addShape(s.doc, model::typeSquare, {{10, 10}, {50, 10}, {50, 50}, {10, 50}}, -2, red);
    item_t* b = addShape(s.doc, model::typeSquare, {{40, 40}, {90, 40}, {90, 90}, {40, 90}}, -2, blue);
    item_t* c = addShape(s.doc, model::typeSquare, {{150, 150}, {190, 150}, {190, 190}, {150, 190}}, -2, red);
    for (item_t* it : {a, b, c}) {
        it->boxLeft = it->points.head->p.x;
        it->boxTop = it->points.head->p.y;
        it->boxRight = it->points.head->next->p.x;
        it->boxBottom = it->points.tail->p.y;
    }
    paintBackground(s.view, {0, 0, 201, 201});
    // The rect touches a only; growing by a's reach brings in b, never c.
    const rect_t grown = drawItemsInRect(s.view, {0, 0, 12, 12}, false);
    EXPECT_EQ(px(s.view.Image1, 30, 30), red);
    EXPECT_EQ(px(s.view.Image1, 70, 70), blue);
    EXPECT_EQ(px(s.view.Image1, 170, 170), white);
    EXPECT_EQ(grown, (rect_t{0, 0, 90, 90}));
    // Skipping selected items.
    paintBackground(s.view, {0, 0, 201, 201});
    a->selected = 1;
    drawItemsInRect(s.view, {0, 0, 200, 200}, true);
    EXPECT_EQ(px(s.view.Image1, 20, 20), white);
    EXPECT_EQ(px(s.view.Image1, 170, 170), red);
}

TEST(DrawItemsInRect, ReachGrowsByWeightOfLinesAndShapes)
{
    model::itemList_t doc;
    item_t* l = addLine(doc, 10, 10, 50, 10, 1.0);
    const rect_t r = itemReach(l);
    EXPECT_EQ(r, (rect_t{6, 6, 54, 14}));  // Round(1 mm) = 4 pixels
    l->lineWeight = 0.2;                     // Round(0.76) = 1: not grown
    EXPECT_EQ(itemReach(l), (rect_t{10, 10, 50, 10}));
    model::freeList(doc);
}

// ---------- background and page guides ----------

TEST(PaintBackground, ClampedAtSixteenHundred)
{
    renderView_t view;
    view.Image1 = newCanvasImage(1600, 1600);
    view.style.canvasColor = 0x123456;
    paintBackground(view, {1500, -20, 5000, 40});
    EXPECT_EQ(px(view.Image1, 1599, 0), 0x123456);
    EXPECT_EQ(px(view.Image1, 1500, 39), 0x123456);
    EXPECT_EQ(px(view.Image1, 1499, 0), white);
    EXPECT_EQ(px(view.Image1, 1550, 40), white);
}

TEST(PaintBackground, IllustrationMarginFrameAndDesignEdge)
{
    scene s(300, 200, 1.0, 1);
    auto& h = model::findHeader(s.doc)->hdr();
    h.marginLeft = 20;
    h.marginTop = 30;
    h.marginRight = 20;
    h.marginBottom = 30;
    h.paperWidth = 250;
    h.paperHeight = 180;
    const QImage& img = s.paint();
    // Solid design edges at the paper size.
    EXPECT_EQ(px(img, 250, 100), 0xC0C0C0);
    EXPECT_EQ(px(img, 101, 180), 0xC0C0C0);
    EXPECT_EQ(px(img, 102, 180), 0xC0C0C0);
    // Dotted margin frame: some pixels on, some off, along the right margin.
    int on = 0, off = 0;
    for (int y = 40; y < 140; ++y) (px(img, 230, y) == 0xC0C0C0 ? on : off)++;
    EXPECT_GT(on, 30);
    EXPECT_GT(off, 30);
    EXPECT_EQ(px(img, 20, 60) == 0xC0C0C0 || px(img, 20, 61) == 0xC0C0C0, true);
    EXPECT_EQ(px(img, 100, 100), white);
}

TEST(PaintBackground, FoldedCardAndBrochurePanels)
{
    {
        scene s(400, 300, 1.0, 3);
        auto& h = model::findHeader(s.doc)->hdr();
        h.cardWidth = 150;
        h.cardHeight = 120;
        h.columnFold = 1;
        const QImage& img = s.paint();
        EXPECT_EQ(px(img, 300, 60), 0xC0C0C0);  // design edge at twice the card width
        EXPECT_EQ(px(img, 360, 60), white);
        int on = 0;
        for (int y = 0; y < 120; ++y) on += px(img, 150, y) == 0xC0C0C0;
        EXPECT_GT(on, 30);  // the fold line
        EXPECT_LT(on, 100);  // dotted
    }
    {
        scene s(600, 300, 1.0, 10);
        auto& h = model::findHeader(s.doc)->hdr();
        h.cardWidth = 180;
        h.cardHeight = 280;
        h.marginLeft = 10;
        h.columns = 3;
        h.columnFold = 1;
        const QImage& img = s.paint();
        int at190 = 0, at370 = 0;
        for (int y = 0; y < 280; ++y) {
            at190 += px(img, 190, y) == 0xC0C0C0;
            at370 += px(img, 370, y) == 0xC0C0C0;
        }
        EXPECT_GT(at190, 50);
        EXPECT_GT(at370, 50);
    }
}

// ---------- page guides of each design type ----------

namespace {

constexpr int32_t guideColour = 0xC0C0C0;

// The columns (vertical) or rows of the image where the guide colour covers
// at least a fifth of the span [from, to) across: the solid and the dotted
// guide lines standing there.
std::vector<int> guideLines(const QImage& img, bool vertical, int from, int to)
{
    std::vector<int> at;
    const int n = vertical ? img.width() : img.height();
    for (int i = 0; i < n; ++i) {
        int on = 0;
        for (int j = from; j < to; ++j) on += (vertical ? px(img, i, j) : px(img, j, i)) == guideColour;
        if (on * 5 >= to - from) at.push_back(i);
    }
    return at;
}

// A page of 100 × 200 units of 2 × 3 pixels: paper 200 × 600 pixels, cards
// of 80 × 90, margins 10, 18, 14 and 24 pixels.
model::headerBody_t& guidePage(scene& s)
{
    auto& h = model::findHeader(s.doc)->hdr();
    h.pxPerUnitX = 2;
    h.pxPerUnitY = 3;
    h.paperWidth = 100; h.paperHeight = 200;
    h.cardWidth = 40; h.cardHeight = 30;
    h.marginLeft = 5; h.marginTop = 6; h.marginRight = 7; h.marginBottom = 8;
    h.rows = 3; h.columns = 2;
    return h;
}

} // namespace

TEST(PageGuides, IllustrationsHaveAMarginFrame)
{
    scene s(220, 620, 1.0, 1);
    guidePage(s);
    const QImage& img = s.paint();
    // Dotted margin lines (left, right; top, bottom) and the solid paper edge
    // on the right and at the bottom; nothing else.
    EXPECT_EQ(guideLines(img, true, 100, 500), (std::vector<int>{10, 186, 200}));
    EXPECT_EQ(guideLines(img, false, 20, 180), (std::vector<int>{18, 576, 600}));
}

TEST(PageGuides, CardsShowOneOpenedCardAndItsFolds)
{
    scene s(220, 620, 1.0, -3);  // readers take the absolute value
    guidePage(s).columnFold = 1;
    const QImage& img = s.paint();
    // The card opened across its fold: the fold at one card width, the edge at
    // two; no margin frame and no fold across.
    EXPECT_EQ(guideLines(img, true, 10, 80), (std::vector<int>{80, 160}));
    EXPECT_EQ(guideLines(img, false, 10, 150), (std::vector<int>{90}));
}

// A brochure of n panels shows a dotted line between every two of them, n - 1
// in all, and none at the outer edges of the first and the last, across the
// columns or down the rows, whatever the other direction does.
TEST(PageGuides, BrochurePanels)
{
    struct row {
        bool columns;  // folded across the columns (else down the rows)
        int32_t panels;
        double margin;               // left or top margin in units
        std::vector<int> panelLines; // pixels from the page's corner
    };
    // Columns of 140 pixels from a left margin of 10; rows of 120 from a top margin of 18.
    const row rows[] = {
        {true, 2, 5, {150}},
        {true, 3, 5, {150, 290}},
        {true, 4, 5, {150, 290, 430}},
        {true, 3, 0, {140, 280}},
        {false, 2, 6, {138}},
        {false, 3, 6, {138, 258}},
        {false, 4, 6, {138, 258, 378}},
        {false, 3, 0, {120, 240}},
    };
    for (const row& r : rows) {
        scene s(620, 620, 1.0, 10);
        auto& h = guidePage(s);
        h.paperWidth = 300;  // 600 × 600 pixels, margin frame right at 586 and bottom at 576
        h.cardWidth = 70;
        h.cardHeight = 40;
        if (r.columns) {
            h.columnFold = 1;
            h.columns = r.panels;
            h.marginLeft = r.margin;
        } else {
            h.rowFold = 1;
            h.rows = r.panels;
            h.marginTop = r.margin;
        }
        const QImage& img = s.paint();
        // The margin frame (its left or top line only off the page's edge) and the paper's edge.
        const int left = r.columns ? int(r.margin * 2) : 10, top = r.columns ? 18 : int(r.margin * 3);
        std::vector<int> across = left > 0 ? std::vector<int>{left} : std::vector<int>{};
        std::vector<int> down = top > 0 ? std::vector<int>{top} : std::vector<int>{};
        std::vector<int>& panels = r.columns ? across : down;
        panels.insert(panels.end(), r.panelLines.begin(), r.panelLines.end());
        across.insert(across.end(), {586, 600});
        down.insert(down.end(), {576, 600});
        const std::string name = std::string(r.columns ? "columns " : "rows ") + std::to_string(r.panels) +
                                 " margin " + std::to_string(r.margin);
        EXPECT_EQ(guideLines(img, true, 30, 570), across) << name;
        EXPECT_EQ(guideLines(img, false, 30, 570), down) << name;
    }
}

TEST(PageGuides, NoneWithoutADesignTypeAndBoundedForHostileHeaders)
{
    for (int32_t type : {0, 12, INT32_MIN}) {
        scene s(220, 620, 1.0, type);
        guidePage(s).columnFold = 1;
        const QImage& img = s.paint();
        EXPECT_TRUE(guideLines(img, true, 0, 620).empty()) << type;
        EXPECT_TRUE(guideLines(img, false, 0, 220).empty()) << type;
    }
    // Two thousand million panels: the painting ends, with a line every 10
    // pixels from the margin to the image's edge.
    scene s(620, 620, 1.0, 10);
    auto& h = guidePage(s);
    h.paperWidth = 300;
    h.cardWidth = 5;
    h.columnFold = 1;
    h.columns = 2000000000;
    const std::vector<int> lines = guideLines(s.paint(), true, 30, 570);
    for (int x = 10; x < 620; x += 10) EXPECT_TRUE(std::count(lines.begin(), lines.end(), x) == 1) << x;
}

TEST(Gridlines, DrawnUnderItemsWhenShown)
{
    scene s;
    item_t* grid = model::newItem(s.doc, model::typeGrid);
    auto* a = new model::anchorNode_t;
    a->left = 50 - 3;
    model::appendNode(grid->anchorsX, a);
    auto* gone = new model::anchorNode_t;
    gone->left = 80 - 3;
    gone->deleted = 1;
    model::appendNode(grid->anchorsX, gone);
    auto* b = new model::anchorNode_t;
    b->top = 120 - 3;
    model::appendNode(grid->anchorsY, b);
    auto& h = model::findHeader(s.doc)->hdr();
    h.showGridX = 1;
    QImage img = s.paint();
    EXPECT_EQ(px(img, 50, 10), 0xFFCCAA);
    EXPECT_EQ(px(img, 80, 10), white);
    EXPECT_EQ(px(img, 10, 120), white);
    h.showGridY = 1;
    addShape(s.doc, model::typeSquare, {{0, 110}, {30, 110}, {30, 130}, {0, 130}}, -2, red);
    img = s.paint();
    EXPECT_EQ(px(img, 100, 120), 0xFFCCAA);
    EXPECT_EQ(px(img, 10, 120), red);  // the item lies over the gridline
}

// ---------- pictures under the view switches ----------

TEST(Pictures, QuickDrawFrameAndHiddenOutline)
{
    scene s;
    item_t* pic = model::newItem(s.doc, model::typePicture);
    pic->x1 = pic->boxLeft = 40;
    pic->y1 = pic->boxTop = 40;
    pic->x2 = pic->boxRight = 160;
    pic->y2 = pic->boxBottom = 120;
    testdoc::stack(s.doc, pic);
    s.view.quickDraw = true;
    QImage img = s.paint();
    EXPECT_EQ(px(img, 100, 41), 0xC0C0C0);
    EXPECT_EQ(px(img, 100, 40), white);
    s.view.quickDraw = false;
    s.view.showPictures = false;
    img = s.paint();
    int on = 0;
    for (int x = 50; x < 150; ++x) on += px(img, x, 40) == 0;
    EXPECT_GT(on, 30);
    EXPECT_LT(on, 80);
}

// ---------- save-unders and marks ----------

TEST(SaveUnders, RestoreKeepsCodeMinus999AndDropFrees)
{
    scene s;
    item_t* it = addShape(s.doc, model::typeSquare, {{0, 0}, {1, 0}}, -2);
    s.paint();
    saveUnder(s.view, it, 1, {10, 10, 19, 19});
    saveUnder(s.view, it, keptUnderCode, {30, 30, 39, 39});
    saveUnder(s.view, it, 2, {15, 15, 24, 24});  // overlaps the first
    s.view.Image1.fill(0xFF000000);
    restoreUnders(s.view, it);
    EXPECT_EQ(px(s.view.Image1, 10, 10), white);
    EXPECT_EQ(px(s.view.Image1, 24, 24), white);
    EXPECT_EQ(px(s.view.Image1, 25, 25), 0);
    EXPECT_EQ(px(s.view.Image1, 35, 35), 0);  // kept node not copied back
    ASSERT_EQ(model::countNodes(it->marks), 1);
    EXPECT_EQ(it->marks.head->code, keptUnderCode);
    dropUnders(it);
    EXPECT_EQ(model::countNodes(it->marks), 0);
}

TEST(SaveUnders, ClippedToTheImage)
{
    scene s(100, 100);
    item_t* it = addShape(s.doc, model::typeSquare, {{0, 0}, {1, 0}}, -2);
    s.paint();
    saveUnder(s.view, it, 1, {-10, 90, 5, 120});
    ASSERT_EQ(model::countNodes(it->marks), 1);
    EXPECT_EQ(it->marks.head->savedWidth, 6);
    EXPECT_EQ(it->marks.head->savedHeight, 10);
    s.view.Image1.fill(0xFF000000);
    restoreUnders(s.view, it);
    EXPECT_EQ(px(s.view.Image1, 0, 99), white);
    EXPECT_EQ(px(s.view.Image1, 6, 99), 0);
}

TEST(SaveUnders, RepaintAllDropsThem)
{
    scene s;
    item_t* it = addShape(s.doc, model::typeSquare, {{0, 0}, {1, 0}}, -2);
    it->hidden = 1;  // hidden records lose theirs too
    saveUnder(s.view, it, 1, {0, 0, 5, 5});
    s.paint();
    EXPECT_EQ(model::countNodes(it->marks), 0);
}

TEST(SaveArea, RestoresAndInvalidates)
{
    scene s;
    s.paint();
    saveArea(s.view, {20, 20, 60, 60});
    EXPECT_TRUE(s.view.selectionUnder.valid);
    s.view.Image1.fill(0xFF000000);
    restoreArea(s.view);
    EXPECT_FALSE(s.view.selectionUnder.valid);
    EXPECT_EQ(px(s.view.Image1, 20, 20), white);
    EXPECT_EQ(px(s.view.Image1, 60, 60), white);
    EXPECT_EQ(px(s.view.Image1, 61, 61), 0);
    // A second restore does nothing.
    s.view.Image1.fill(0xFF000000);
    restoreArea(s.view);
    EXPECT_EQ(px(s.view.Image1, 30, 30), 0);
    // repaintAll invalidates the saved area.
    saveArea(s.view, {0, 0, 10, 10});
    s.paint();
    EXPECT_FALSE(s.view.selectionUnder.valid);
}

TEST(Marks, HandleSquaresAndRotationDotAndErase)
{
    scene s;
    item_t* it = addShape(s.doc, model::typeSquare, {{0, 0}, {1, 0}}, -1);
    item_t* g = model::newItem(s.doc, model::typeGroupHandle);
    it->selected = 1;
    g->selected = 1;
    s.view.markPositions = [&](renderView_t&, item_t* item) {
        if (item == g) return std::vector<markSpot_t>{{markSpot_t::groupHandle, 3, {150, 150}, {}}};
        return std::vector<markSpot_t>{{markSpot_t::handle, -1, {50, 50}, {}},
                                       {markSpot_t::rotationDot, 5, {100, 60}, {100, 100}}};
    };
    s.paint();
    drawMarks(s.view);
    const QImage& img = s.view.Image1;
    EXPECT_EQ(px(img, 46, 46), 0x808080);   // outline corner
    EXPECT_EQ(px(img, 50, 50), 0x00FFFF);   // yellow interior
    EXPECT_EQ(px(img, 150, 150), 0x0000FF); // red group handle
    EXPECT_EQ(px(img, 100, 60), 0x00FF00);  // green rotation dot
    restoreUnders(s.view, it);
    restoreUnders(s.view, g);
    for (QPoint p : {QPoint(46, 46), QPoint(50, 50), QPoint(150, 150), QPoint(100, 60), QPoint(100, 80)})
        EXPECT_EQ(px(img, p.x(), p.y()), white) << p.x() << "," << p.y();
}

// ---------- the output variant ----------

TEST(RenderItemToBitmap, ScaleAndOriginAndWidthsAtScale)
{
    model::itemList_t doc;
    item_t* sq = addShape(doc, model::typeSquare, {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, 0x00FF00, red, 1.0);
    QImage out = newCanvasImage(200, 200);
    renderItemToBitmap(out, doc, sq, {5, 7}, 3.0, 3.0);
    // Corners map to (35, 37) … (95, 97); the pen is penWidthAt(3, 1 mm) = 11.
    EXPECT_EQ(px(out, 65, 67), 0x00FF00);
    EXPECT_EQ(px(out, 35, 67), red);
    EXPECT_EQ(px(out, 31, 67), red);
    EXPECT_EQ(px(out, 25, 67), white);
    model::freeList(doc);
}

TEST(RepaintAll, RunsDeferredWorkAndAnchorsWhenAsked)
{
    scene s;
    int deferred = 0, anchors = 0;
    s.view.startDeferred = [&](renderView_t&) { ++deferred; };
    s.view.drawAnchors = [&](renderView_t&) { ++anchors; };
    repaintAll(s.view, false);
    EXPECT_EQ(deferred, 0);
    EXPECT_EQ(anchors, 1);
    repaintAll(s.view, true);
    EXPECT_EQ(deferred, 1);
}

TEST(FullQualityPass, RefindsItemsWhenEventsChangeTheDocument)
{
    scene s;
    item_t* a = addShape(s.doc, model::typeSquare, {{10, 10}, {50, 10}, {50, 50}, {10, 50}}, -2, red);
    item_t* b = addShape(s.doc, model::typeSquare, {{100, 100}, {150, 100}, {150, 150}, {100, 150}}, -2, red);
    int calls = 0;
    s.view.processEvents = [&](renderView_t&) {
        if (++calls == 1) b->hidden = 1;  // an event hides the next item
        return true;
    };
    s.view.Image1.fill(0xFFFFFFFF);
    fullQualityPass(s.view);
    EXPECT_EQ(px(s.view.Image1, 30, 30), red);
    EXPECT_EQ(px(s.view.Image1, 120, 120), white);
    EXPECT_EQ(calls, 1);
    (void)a;
}

} // namespace

namespace {

TEST(ViewSwitches, StoredRepaintedAndCachesDroppedOnlyFor3D)
{
    scene s;
    int drops = 0, deferred = 0;
    s.view.dropPictureCaches = [&](renderView_t&) { ++drops; };
    s.view.startDeferred = [&](renderView_t&) { ++deferred; };
    EXPECT_FALSE(setViewSwitches(s.view, true, true, true));
    EXPECT_EQ(deferred, 0);
    EXPECT_TRUE(setViewSwitches(s.view, true, false, true));
    EXPECT_FALSE(s.view.showShadows);
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(deferred, 1);
    EXPECT_TRUE(setViewSwitches(s.view, true, false, false));
    EXPECT_EQ(drops, 1);
}

struct switchCase_t {
    const char* name;
    bool show3D, showShadows, quick;
    bool shaded, shadowed;
};
void PrintTo(const switchCase_t& c, std::ostream* os) { *os << c.name; }

class ViewSwitchEffects : public ::testing::TestWithParam<switchCase_t> {};

// A square with a Round surface and a hard shadow: the switches decide
// whether its face is shaded and whether the shadow appears, independently.
TEST_P(ViewSwitchEffects, SurfaceAndShadowFollowTheirOwnSwitch)
{
    const switchCase_t& c = GetParam();
    scene s;
    item_t* sq = addShape(s.doc, model::typeSquare, {{40, 40}, {160, 40}, {160, 160}, {40, 160}}, 0x00FF00, red, 1.0);
    testdoc::withEffects(sq, 85, 0, 0, 127);  // 10 pixels down and right, black, no blur
    s.view.show3D = c.show3D;
    s.view.showShadows = c.showShadows;
    s.view.quickDraw = c.quick;
    const QImage& img = s.paint();
    // A flat face is the fill colour throughout; a shaded one is not.
    EXPECT_EQ(px(img, 100, 50) != 0x00FF00, c.shaded);
    EXPECT_EQ(px(img, 100, 165) == 0, c.shadowed);
    EXPECT_EQ(px(img, 100, 30), white);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ViewSwitchEffects,
    ::testing::Values(switchCase_t{"AllOn", true, true, false, true, true},
                      switchCase_t{"ThreeDOffKeepsShadows", false, true, false, false, true},
                      switchCase_t{"ShadowsOffKeepsSurface", true, false, false, true, false},
                      switchCase_t{"QuickDrawHasNeither", true, true, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RenderItemToBitmap, PatternLengthsFollowTheVerticalScale)
{
    model::itemList_t doc;
    item_t* line = addLine(doc, 5, 10, 95, 10, 0.5, 2, 0);  // dashes 12, spaces 4 at scale 1
    QImage out = newCanvasImage(400, 100);
    renderItemToBitmap(out, doc, line, {0, 0}, 2.0, 2.0);
    // Start at 10; dash 10..34, space 34..42, next dash from 42.
    EXPECT_EQ(px(out, 20, 20), 0);
    EXPECT_EQ(px(out, 38, 20), white);
    EXPECT_EQ(px(out, 45, 20), 0);
    model::freeList(doc);
}

TEST(ConstructionLine, DottedRed)
{
    scene s;
    s.paint();
    drawConstructionLine(s.view, {10, 50}, {110, 50});
    int on = 0;
    for (int x = 10; x < 110; ++x) on += px(s.view.Image1, x, 50) == red;
    EXPECT_GT(on, 30);
    EXPECT_LT(on, 70);
}

} // namespace

// ---------- leaving out items that cannot touch the image ----------

// Leaving out the items whose effect box misses the image changes no pixel:
// random pages at every zoom and view origin, painted whole (quick and full
// passes, pictures shown and hidden) and in parts, against the same passes
// drawing every item. Some items are left out on each page, so the test
// sees the shortcut at work; a box too small for a pen, a band, a shadow, a
// turned picture or a wandering dash walk shows as a differing pixel.
TEST(SkipUnseen, SamePixelsAsDrawingEveryItem)
{
    std::mt19937 rng(20261210);
    int32_t leftOut = 0;
    const double zooms[] = {0.25, 0.5, 1.0, 1.33, 2.0, 3.0};
    for (int32_t page = 0; page < 80; ++page) {
        scene s(600, 600, zooms[page % 6]);
        randomPage(s.doc, rng, 600);
        const QSize size(int(100 + rng() % 400), int(100 + rng() % 400));
        auto& v = s.view;
        v.Image1 = newCanvasImage(size.width(), size.height());
        v.viewOrigin = {int32_t(rng() % 900) - 150, int32_t(rng() % 900) - 150};
        v.quickDraw = page % 3 == 0;
        v.showPictures = page % 4 != 1;
        // Items just beyond the image's left and top edges whose shadows fall onto it.
        const double zoom = zooms[page % 6];
        for (int32_t k = 0; k < 16; ++k) {
            const int32_t gap = 1 + int32_t(rng() % 40), along = int32_t(rng() % uint32_t(size.height()));
            const bool left = k % 2 == 0;
            const int32_t edge = int32_t(std::floor((double(left ? v.viewOrigin.x : v.viewOrigin.y) - gap) / zoom));
            const int32_t across = int32_t((double(left ? v.viewOrigin.y : v.viewOrigin.x) + along) / zoom);
            const int32_t x = left ? edge - 20 : across, y = left ? across : edge - 20;
            item_t* it = model::newItem(s.doc, model::typeSquare);
            geometry::buildSquare({x, y + 20}, {x + 20, y + 20}, it->points);
            it->shapeVariant = 2;
            it->fillColor = -2;
            geometry::itemBounds(it, 8, 8);
            testdoc::stack(s.doc, it);
            it->shadowElevation = uint8_t(40 + rng() % 216);
            it->shadowFade = uint8_t(rng() % 2 ? 0 : rng() % 40);
        }
        renderView_t every = v;
        every.Image1 = v.Image1.copy();  // an image of its own
        every.skipUnseen = false;
        std::vector<primitive_t> some, all;
        v.recordTo = &some;
        every.recordTo = &all;

        repaintAll(v, false);
        repaintAll(every, false);
        ASSERT_EQ(v.Image1, every.Image1) << "page " << page << " whole";
        leftOut += int32_t(all.size() - some.size());

        fullQualityPass(v);
        fullQualityPass(every);
        ASSERT_EQ(v.Image1, every.Image1) << "page " << page << " full quality";

        const int32_t l = int32_t(rng() % 500) - 50, t = int32_t(rng() % 500) - 50;
        const rect_t part{l, t, l + int32_t(rng() % 300), t + int32_t(rng() % 300)};
        paintBackground(v, {0, 0, size.width() + 1, size.height() + 1});
        paintBackground(every, {0, 0, size.width() + 1, size.height() + 1});
        EXPECT_EQ(drawItemsInRect(v, part, false), drawItemsInRect(every, part, false)) << "page " << page;
        ASSERT_EQ(v.Image1, every.Image1) << "page " << page << " part";
    }
    EXPECT_GT(leftOut, 1000) << "items were left out";
}
