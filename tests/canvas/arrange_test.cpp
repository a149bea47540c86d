// Arranging the selection without the mouse: align and distribute offsets,
// nudging with the arrow keys, Select All and Ctrl+A's two meanings, Esc,
// clicks inside filled shapes, pictures and texts, Duplicate, and zooming
// about a point of the view.
#include "selection_support.h"

#include "canvas/arrange.h"
#include "canvas/creation.h"
#include "canvas/picking.h"
#include "canvas/viewlayout.h"
#include "model/clipboard.h"
#include "output/renderoutput.h"
#include "render/text.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

using namespace seltest;
using canvas::alignEdge_t;
using canvas::selectionUnit_t;

selectionUnit_t unit(int32_t l, int32_t t, int32_t r, int32_t b)
{
    selectionUnit_t u;
    u.left = l;
    u.top = t;
    u.right = r;
    u.bottom = b;
    return u;
}

item_t* addText(model::itemList_t& l, point_t a, point_t b)
{
    item_t* it = model::newItem(l, model::typeText);
    canvas::applyTextItemDefaults(it, canvas::params());
    model::setText(it, u"Arrange");
    render::setTextBaseline(it, a, b);
    render::fitTextBox(it, false, 1.0);
    model::recordNew(l, it);
    return it;
}

// The extent of an item's visible version.
QRect boxOf(model::itemList_t& l, const item_t* original)
{
    const geometry::rect_t e = canvas::itemExtent(current(l, original));
    return QRect(QPoint(e.left, e.top), QPoint(e.right, e.bottom));
}

// ---------------------------------------------------------------- offsets

TEST(AlignOffsets, EachEdgeMovesEveryUnitOntoTheTargetLine)
{
    // Two units of different sizes (odd widths make the centres halves).
    const std::vector<selectionUnit_t> units{unit(10, 20, 30, 60), unit(100, 5, 141, 26)};
    const selectionUnit_t target = canvas::unitsBox(units);
    ASSERT_EQ(target.left, 10);
    ASSERT_EQ(target.right, 141);
    ASSERT_EQ(target.top, 5);
    ASSERT_EQ(target.bottom, 60);
    struct row_t {
        alignEdge_t edge;
        point_t first, second;
    };
    // Centres of the box: (10+141)/2 = 75.5 -> 76, (5+60)/2 = 32.5 -> 32; of the
    // units 20 and 120.5 -> 120 across, 40 and 15.5 -> 16 down (halves to even).
    const row_t rows[] = {
        {alignEdge_t::left, {0, 0}, {-90, 0}},   {alignEdge_t::right, {111, 0}, {0, 0}},
        {alignEdge_t::centre, {56, 0}, {-44, 0}}, {alignEdge_t::top, {0, -15}, {0, 0}},
        {alignEdge_t::bottom, {0, 0}, {0, 34}},   {alignEdge_t::middle, {0, -8}, {0, 16}},
    };
    for (const row_t& r : rows) {
        const std::vector<point_t> off = canvas::alignOffsets(units, r.edge, target);
        ASSERT_EQ(off.size(), 2u);
        EXPECT_EQ(off[0], r.first) << int(r.edge);
        EXPECT_EQ(off[1], r.second) << int(r.edge);
    }
}

TEST(AlignOffsets, TheLineSnapsOntoTheGridAcrossOrDown)
{
    const std::vector<selectionUnit_t> units{unit(13, 17, 40, 50), unit(60, 33, 90, 70)};
    // A grid every 10 pixels: the left line 13 goes to 10, the top line 17 to 20.
    const canvas::snapCoordinate_t snap = [](int32_t v, bool) { return (v + 5) / 10 * 10; };
    EXPECT_EQ(canvas::alignOffsets(units, alignEdge_t::left, canvas::unitsBox(units), snap),
              (std::vector<point_t>{{-3, 0}, {-50, 0}}));
    EXPECT_EQ(canvas::alignOffsets(units, alignEdge_t::top, canvas::unitsBox(units), snap),
              (std::vector<point_t>{{0, 3}, {0, -13}}));
}

TEST(DistributeOffsets, EqualGapsBetweenTheOuterTwoInAnyListOrder)
{
    // Widths 10, 30, 20; listed out of order; span 0..200 leaves 140 for two gaps.
    const std::vector<selectionUnit_t> units{unit(170, 0, 200, 10), unit(0, 0, 10, 10), unit(40, 50, 70, 60),
                                             unit(150, 0, 170, 5)};
    // Four units: widths 30, 10, 30, 20 = 90; span 200; three gaps of 110/3.
    const std::vector<point_t> across = canvas::distributeOffsets(units, true);
    ASSERT_EQ(across.size(), 4u);
    EXPECT_EQ(across[1], (point_t{0, 0}));  // leftmost stays
    EXPECT_EQ(across[0], (point_t{0, 0}));  // rightmost stays
    // Second from the left starts at 0 + 10 + 36.67 -> 47; third at 47 + 30 + 36.67 -> 113.
    EXPECT_EQ(across[2], (point_t{47 - 40, 0}));
    EXPECT_EQ(across[3], (point_t{113 - 150, 0}));
    // Down: tops 0, 0, 50, 0; the stable order keeps list order on ties.
    const std::vector<point_t> down = canvas::distributeOffsets(units, false);
    for (const point_t& p : down) EXPECT_EQ(p.x, 0);
    // Fewer than three units never move.
    EXPECT_EQ(canvas::distributeOffsets({unit(0, 0, 1, 1), unit(50, 0, 51, 1)}, true),
              (std::vector<point_t>{{0, 0}, {0, 0}}));
}

TEST(DistributeOffsets, GapsAreEqualWithinAPixelForManyUnits)
{
    std::vector<selectionUnit_t> units;
    for (int32_t k = 0; k < 7; ++k) units.push_back(unit(k * k * 9, 0, k * k * 9 + 5 + k, 4));
    const std::vector<point_t> off = canvas::distributeOffsets(units, true);
    std::vector<int32_t> gaps;
    for (size_t k = 1; k < units.size(); ++k)
        gaps.push_back(units[k].left + off[k].x - (units[k - 1].right + off[k - 1].x));
    const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());
    EXPECT_LE(*hi - *lo, 1);
}

// ---------------------------------------------------------------- the window

class Arrange : public WindowTest {};

TEST_F(Arrange, AlignTopsMovesEachTypeAndGroupsWholeAsOneStep)
{
    // A line, a triangle, a circle, a text, a picture and a group of two squares.
    item_t* ln = addLine(items(), {50, 300}, {150, 320});
    item_t* tri = addTriangle(items(), {200, 400}, {260, 400}, {230, 350});
    item_t* cir = addCircle(items(), {350, 380}, 30);
    item_t* txt = addText(items(), {450, 420}, {530, 420});
    item_t* pic = addPicture(items(), {600, 330}, {660, 390});
    item_t* s1 = addSquare(items(), {700, 500}, {740, 500});
    item_t* s2 = addSquare(items(), {760, 560}, {790, 560});
    select(items(), {s1, s2});
    ASSERT_NE(model::joinItems(items()), nullptr);
    const int32_t groupDy = 300 - boxOf(items(), s1).top();
    const QRect s2Before = boxOf(items(), s2), triBefore = boxOf(items(), tri), cirBefore = boxOf(items(), cir);
    for (item_t* it : {ln, tri, cir, txt, pic}) model::setSelected(items(), current(items(), it), true);
    for (item_t* it = items().head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && it->groupId > 0) model::setSelected(items(), it, true);

    int32_t top = INT32_MAX;
    for (item_t* it : {ln, tri, cir, txt, pic, s1}) top = std::min(top, boxOf(items(), it).top());
    ASSERT_EQ(top, 300);
    const int32_t stepsBefore = model::nextActionId(items());
    ASSERT_TRUE(w->alignSelection(alignEdge_t::top));
    EXPECT_EQ(model::nextActionId(items()), stepsBefore + 1);
    for (item_t* it : {ln, tri, cir, txt, pic}) EXPECT_EQ(boxOf(items(), it).top(), 300) << it->itemType;
    // The group's top member reaches the line; the other keeps its place in the group.
    EXPECT_EQ(boxOf(items(), s1).top(), 300);
    EXPECT_EQ(boxOf(items(), s2).top(), s2Before.top() + groupDy);
    // Shapes keep their size.
    EXPECT_EQ(boxOf(items(), cir).size(), cirBefore.size());
    // One Undo brings everything back.
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(boxOf(items(), tri), triBefore);
    EXPECT_EQ(boxOf(items(), s2), s2Before);
}

TEST_F(Arrange, OneItemAlignsWithThePageAndThreeDistribute)
{
    item_t* a = addRectangle(items(), {100, 200}, {160, 200}, 40);
    select(items(), {a});
    ASSERT_TRUE(w->alignSelection(alignEdge_t::left));
    EXPECT_EQ(boxOf(items(), a).left(), 0);
    item_t* b = addRectangle(items(), {300, 200}, {320, 200}, 40);
    item_t* c = addRectangle(items(), {500, 200}, {580, 200}, 40);
    select(items(), {current(items(), a), b, c});
    ASSERT_TRUE(w->distributeSelection(true));
    const QRect ra = boxOf(items(), a), rb = boxOf(items(), b), rc = boxOf(items(), c);
    EXPECT_EQ(ra.left(), 0);
    EXPECT_EQ(rc.left(), 500);
    EXPECT_LE(std::abs((rb.left() - ra.right()) - (rc.left() - rb.right())), 1);
    // Two items cannot be distributed.
    select(items(), {current(items(), a), current(items(), b)});
    EXPECT_FALSE(w->distributeSelection(true));
}

TEST_F(Arrange, ArrowPressesInARunAreOneUndoStep)
{
    item_t* a = addSquare(items(), {100, 200}, {140, 200});
    paintWithMarks();
    click({100, 200});
    ASSERT_EQ(selectedItems(items()).size(), 1u);
    const QRect before = boxOf(items(), a);
    const int32_t steps = model::nextActionId(items());
    struct press_t {
        int key;
        Qt::KeyboardModifiers mods;
        point_t total;
    };
    const press_t run[] = {{Qt::Key_Right, Qt::NoModifier, {1, 0}},
                           {Qt::Key_Right, Qt::NoModifier, {2, 0}},
                           {Qt::Key_Down, Qt::ShiftModifier, {2, 10}},
                           {Qt::Key_Left, Qt::ShiftModifier, {-8, 10}},
                           {Qt::Key_Up, Qt::NoModifier, {-8, 9}}};
    for (const press_t& p : run) {
        ASSERT_TRUE(w->FormKeyDown(p.key, p.mods));
        EXPECT_EQ(boxOf(items(), a).topLeft(), before.topLeft() + QPoint(p.total.x, p.total.y));
    }
    EXPECT_EQ(model::nextActionId(items()), steps + 1);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(boxOf(items(), a), before);
    // After the undo a new press starts a new step from where the item is.
    model::setSelected(items(), current(items(), a), true);
    ASSERT_TRUE(w->FormKeyDown(Qt::Key_Right, Qt::NoModifier));
    EXPECT_EQ(boxOf(items(), a).left(), before.left() + 1);
    // Nothing selected: the arrows are not taken.
    model::deselectAll(items());
    EXPECT_FALSE(w->FormKeyDown(Qt::Key_Right, Qt::NoModifier));
}

TEST_F(Arrange, ShiftArrowGoesToTheNextGridlineWhenSnapping)
{
    item_t* a = addSquare(items(), {103, 203}, {143, 203});
    model::item_t* h = w->header();
    h->hdr().snapX = 1;
    h->hdr().snapY = 1;
    select(items(), {a});
    const int32_t left = boxOf(items(), a).left();
    ASSERT_TRUE(w->FormKeyDown(Qt::Key_Right, Qt::ShiftModifier));
    const int32_t moved = boxOf(items(), a).left();
    EXPECT_GT(moved, left);
    // It landed on a gridline: a second press moves it one whole spacing on.
    ASSERT_TRUE(w->FormKeyDown(Qt::Key_Right, Qt::ShiftModifier));
    const int32_t spacing = boxOf(items(), a).left() - moved;
    EXPECT_GT(spacing, 1);
    EXPECT_LE(moved - left, spacing);
    EXPECT_EQ(w->toDoc(w->snapped(w->toScreen({moved, 0}))).x, moved);
}

TEST_F(Arrange, CtrlAExtendsAnOpenSplineAndOtherwiseSelectsAll)
{
    item_t* open = addSpline(items(), {{100, 100}, {150, 120}, {200, 100}}, model::variantOpen);
    item_t* sq = addSquare(items(), {300, 300}, {340, 300});
    item_t* closed = addSpline(items(), {{400, 100}, {450, 120}, {500, 100}}, 1);
    struct row_t {
        std::vector<item_t*> selected;
        bool extends;
    };
    const row_t rows[] = {{{open}, true}, {{sq}, false}, {{closed}, false}, {{open, sq}, false}, {{}, false}};
    for (const row_t& r : rows) {
        model::deselectAll(items());
        for (item_t* it : r.selected) model::setSelected(items(), it, true);
        EXPECT_EQ(w->claimsKey(Qt::Key_A, Qt::ControlModifier), r.extends);
        ASSERT_TRUE(w->FormKeyDown(Qt::Key_A, Qt::ControlModifier));
        if (r.extends) {
            EXPECT_EQ(w->mode(), canvas::toolExtendSpline);
            ASSERT_TRUE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
            EXPECT_EQ(w->mode(), canvas::modePointer);
        } else {
            EXPECT_EQ(selectedItems(items()).size(), 3u);
        }
    }
    // Esc with the pointer lets go of the selection; a second Esc is not taken.
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_TRUE(selectedItems(items()).empty());
    EXPECT_FALSE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
}

TEST_F(Arrange, ClicksInsideSelectTheFrontMostFilledShapePictureOrText)
{
    item_t* back = addRectangle(items(), {100, 400}, {400, 400}, 300);  // filled, 100..400 x 100..400
    item_t* hollow = addCircle(items(), {250, 250}, 60);                // no fill
    item_t* front = addSquare(items(), {150, 200}, {200, 200});         // filled, above the rectangle
    item_t* pic = addPicture(items(), {500, 100}, {600, 180});
    item_t* txt = addText(items(), {500, 400}, {650, 400});
    paintWithMarks();
    struct row_t {
        point_t at;
        item_t* picked;
    };
    const row_t rows[] = {
        {{300, 350}, back},      // inside the rectangle only
        {{235, 265}, back},      // inside the circle: it has no inside, the rectangle behind does
        {{175, 175}, front},     // the front square wins over the rectangle
        {{550, 140}, pic},       // inside the picture
        {{560, 395}, txt},       // on the text's box
        {{800, 800}, nullptr},   // nothing
        {{250, 191}, hollow},    // near the circle's outline: the outline rule wins
    };
    for (const row_t& r : rows) {
        click(r.at);
        const std::vector<item_t*> sel = selectedItems(items());
        if (!r.picked) {
            EXPECT_TRUE(sel.empty()) << r.at.x << "," << r.at.y;
        } else {
            EXPECT_EQ(sel, (std::vector<item_t*>{current(items(), r.picked)})) << r.at.x << "," << r.at.y;
        }
    }
}

TEST_F(Arrange, DuplicateLeavesTheClipboardAlone)
{
    item_t* kept = addSquare(items(), {500, 500}, {520, 500});
    select(items(), {kept});
    model::copySelection(items(), model::clipboardList());
    const int32_t clipboardCount = model::countItems(model::clipboardList());
    item_t* a = addRectangle(items(), {100, 200}, {160, 200}, 40);
    select(items(), {a});
    const int32_t steps = model::nextActionId(items());
    ASSERT_TRUE(w->duplicateSelected());
    EXPECT_EQ(model::nextActionId(items()), steps + 1);
    const std::vector<item_t*> sel = selectedItems(items());
    ASSERT_EQ(sel.size(), 1u);
    EXPECT_NE(sel[0], a);
    EXPECT_FALSE(model::isSelected(a));
    const geometry::rect_t e = canvas::itemExtent(sel[0]);
    EXPECT_EQ(QRect(QPoint(e.left, e.top), QPoint(e.right, e.bottom)), boxOf(items(), a).translated(10, 10));
    // The clipboard still holds the square copied before.
    EXPECT_EQ(model::countItems(model::clipboardList()), clipboardCount);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), a), a);
    model::freeList(model::clipboardList());
}

// ---------------------------------------------------------------- zoom about a point

TEST(ZoomMapping, ScrollShowingPutsTheDocumentPointBack)
{
    for (const double from : {0.25, 1.0, 1.75, 3.0})
        for (const double to : {0.5, 1.25, 3.0})
            for (const int32_t scroll : {0, 137, 2411})
                for (const int32_t at : {12, 300, 777}) {
                    const double doc = canvas::docAtViewPixel(at, scroll, from);
                    const int32_t s = canvas::scrollShowing(doc, to, at);
                    // Within half a view pixel, the rounding of the new position.
                    EXPECT_NEAR(canvas::docAtViewPixel(at, s, to), doc, 0.5 / to + 1e-9)
                        << from << "->" << to << " scroll " << scroll << " at " << at;
                }
}

TEST(ZoomMapping, FitPercentIsTheLargestThatFits)
{
    struct row_t {
        double w, h;
        int32_t roomX, roomY, percent;
    };
    const row_t rows[] = {
        {816, 1056, 900, 600, 56},   // 600/1056 = 0.568: height decides, rounded down
        {100, 100, 300, 300, 300},   // capped at 300 %
        {100000, 10, 500, 500, 1},   // never below 1 %
        {400, 300, 400, 1000, 100},  // exactly 100 %
    };
    for (const row_t& r : rows) EXPECT_EQ(canvas::fitPercent(r.w, r.h, r.roomX, r.roomY), r.percent) << r.w;
}

class Zooming : public WindowTest {};

TEST_F(Zooming, ZoomAtKeepsThePointUnderTheMouse)
{
    // A large page, so that there is room to scroll at every zoom.
    w->resize(700, 600);
    w->layoutView();
    const QPoint at(300, 200);
    w->zoomAt(3.0, at);
    const QPointF docBefore = w->docAtView(at);
    for (const double z : {2.0, 1.5, 3.0, 2.5}) {
        const QPointF doc = w->docAtView(at);
        w->zoomAt(z, at);
        EXPECT_NEAR(w->docAtView(at).x(), doc.x(), 1.0 / z) << z;
        EXPECT_NEAR(w->docAtView(at).y(), doc.y(), 1.0 / z) << z;
    }
    EXPECT_NEAR(w->docAtView(at).x(), docBefore.x(), 2.0);
    // A zoom from the menu keeps the view's centre.
    const QPointF centre = w->docAtView(w->viewCentre());
    w->applyZoom(2.0);
    EXPECT_NEAR(w->docAtView(w->viewCentre()).x(), centre.x(), 1.0);
    EXPECT_NEAR(w->docAtView(w->viewCentre()).y(), centre.y(), 1.0);
}

TEST_F(Zooming, FitPageShowsTheWholePageWithoutScrollBars)
{
    w->resize(700, 600);
    w->layoutView();
    w->applyZoom(3.0);
    w->fitPage();
    const int32_t p = model::roundHalfEven(w->zoomFactor() * 100);
    EXPECT_EQ(p, w->fitPagePercent());
    EXPECT_FALSE(w->lastLayout().showX);
    EXPECT_FALSE(w->lastLayout().showY);
    // One percent more would not fit any longer.
    w->applyZoom((p + 1) / 100.0);
    EXPECT_TRUE(w->lastLayout().showX || w->lastLayout().showY);
}

TEST_F(Zooming, FitSelectionCentresTheSelection)
{
    w->resize(700, 600);
    w->layoutView();
    item_t* a = addSquare(items(), {400, 500}, {440, 500});
    select(items(), {a});
    EXPECT_EQ(w->fitSelectionPercent(), 300);
    w->fitSelection();
    EXPECT_DOUBLE_EQ(w->zoomFactor(), 3.0);
    const QPointF c = w->docAtView(w->viewCentre());
    EXPECT_NEAR(c.x(), 420, 1.0);
    EXPECT_NEAR(c.y(), 480, 1.0);
    model::deselectAll(items());
    EXPECT_EQ(w->fitSelectionPercent(), 0);
}

TEST_F(Zooming, CtrlWheelStepsAboutTheMouseAndPlainWheelScrolls)
{
    w->resize(700, 600);
    w->layoutView();
    w->applyZoom(2.0);
    QWidget* panel = w->findChild<QWidget*>(QStringLiteral("viewPanel"));
    ASSERT_NE(panel, nullptr);
    const QPoint atPanel(250, 180);
    const QPointF doc = w->docAtView(atPanel);
    const QPoint atWindow = panel->mapTo(w.get(), atPanel);
    QWheelEvent in(atWindow, w->mapToGlobal(atWindow), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.get(), &in);
    EXPECT_DOUBLE_EQ(w->zoomFactor(), 3.0);
    EXPECT_NEAR(w->docAtView(atPanel).x(), doc.x(), 0.5);
    EXPECT_NEAR(w->docAtView(atPanel).y(), doc.y(), 0.5);
    QWheelEvent out(atWindow, w->mapToGlobal(atWindow), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.get(), &out);
    EXPECT_DOUBLE_EQ(w->zoomFactor(), 2.0);
    // Without Ctrl the wheel scrolls down and leaves the zoom.
    auto* bar = w->findChild<QScrollBar*>(QStringLiteral("scrollBarY"));
    ASSERT_NE(bar, nullptr);
    const int before = bar->value();
    QWheelEvent down(atWindow, w->mapToGlobal(atWindow), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.get(), &down);
    EXPECT_DOUBLE_EQ(w->zoomFactor(), 2.0);
    EXPECT_GT(bar->value(), before);
}

} // namespace

// ---------------------------------------------------------------- fold lines

namespace {

// Pixels of the page-guide colour in a column of an image.
int32_t guidePixelsInColumn(const QImage& img, int32_t x, int32_t colour)
{
    const QRgb want = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    int32_t n = 0;
    if (x < 0 || x >= img.width()) return 0;
    for (int32_t y = 0; y < img.height(); ++y) n += (img.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return n;
}

} // namespace

class FoldLines : public WindowTest {};

TEST_F(FoldLines, AFoldedCardShowsItsFoldOnTheCanvasOnlyWhileSwitchedOn)
{
    // A greeting card of 300 x 400 pixels opened out across a column fold.
    model::headerBody_t& h = w->header()->hdr();
    h.designType = 3;
    h.unit = geometry::unitPixels;
    h.pxPerUnitX = h.pxPerUnitY = 1.0;
    h.cardWidth = 300;
    h.cardHeight = 400;
    h.canvasLeft = h.canvasTop = 0;
    h.canvasWidth = 600;
    h.canvasHeight = 400;
    h.columnFold = 1;
    h.rowFold = 0;
    h.rows = h.columns = 1;
    geometry::computeCanvasPixels(w->header());
    w->layoutView();
    w->repaintAll(false);
    const int32_t guide = w->view().style.pageGuideColor;
    const int32_t fold = w->toScreen({300, 0}).x;
    // Dotted: about every other pixel down the card.
    EXPECT_GT(guidePixelsInColumn(w->canvasImage(), fold, guide), 100);
    EXPECT_EQ(guidePixelsInColumn(w->canvasImage(), fold + 3, guide), 0);
    // The printed sheet has no fold line: the empty card prints white.
    const QImage sheet = output::previewImage(w->items(), {});
    ASSERT_FALSE(sheet.isNull());
    int32_t marked = 0;
    for (int32_t y = 0; y < sheet.height(); ++y)
        for (int32_t x = 0; x < sheet.width(); ++x) marked += (sheet.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_EQ(marked, 0);
    w->view().showFoldLines = false;
    w->repaintAll(false);
    EXPECT_EQ(guidePixelsInColumn(w->canvasImage(), fold, guide), 0);
}
