// The grid in a document window: a gridline, its ruler tick, a snapped point
// and the page's margin guide meet on one canvas pixel whatever the origin,
// unit and zoom; anchors are dragged, deleted and inserted from the strips;
// the items on a gridline follow it; a ruler end widens the page.
#include "selection_support.h"
#include "testnames.h"

#include "canvas/anchorstrip.h"
#include "canvas/gridedit.h"
#include "canvas/modes.h"
#include "canvas/rulerends.h"
#include "canvas/rulers.h"
#include "model/grid.h"

#include <QScrollBar>

using namespace seltest;

namespace {

constexpr QRgb gridlineRgb = qRgb(0xAA, 0xCC, 0xFF);
constexpr QRgb guideRgb = qRgb(0xC0, 0xC0, 0xC0);

// Columns of `row` in [from, to] whose pixel has the colour.
std::vector<int32_t> columnsOf(const QImage& img, int32_t row, int32_t from, int32_t to, QRgb colour)
{
    std::vector<int32_t> out;
    for (int32_t x = std::max(0, from); x <= to && x < img.width(); ++x)
        if ((img.pixel(x, row) & 0xFFFFFF) == (colour & 0xFFFFFF)) out.push_back(x);
    return out;
}

struct agreeCase {
    const char* name;
    int32_t unit;   // 2 millimetres, 3 inches
    double origin;  // page origin in the unit
    double zoom;
};

void PrintTo(const agreeCase& c, std::ostream* os)
{
    *os << c.name;
}

class GridAgreement : public WindowTest, public ::testing::WithParamInterface<agreeCase> {};

TEST_P(GridAgreement, GridlineRulerTickSnapAndMarginGuideShareTheirPixel)
{
    const agreeCase c = GetParam();
    auto& hd = w->header()->hdr();
    // One inch, or one centimetre: a labelled ruler tick, the fourth gridline
    // and the margin line.
    const double mark = c.unit == 3 ? 1.0 : 10.0;
    hd.unit = c.unit;
    geometry::pxPerUnit(c.unit, hd.pxPerUnitX, hd.pxPerUnitY);
    hd.canvasLeft = hd.canvasTop = c.origin;
    hd.canvasWidth = c.unit == 3 ? 8.5 : 216;
    hd.canvasHeight = c.unit == 3 ? 11 : 279;
    hd.anchorStepX = hd.anchorStepY = mark / 4;
    hd.designType = 1;
    hd.paperWidth = hd.canvasWidth;
    hd.paperHeight = hd.canvasHeight;
    hd.marginLeft = hd.marginTop = hd.marginRight = hd.marginBottom = mark;
    hd.showGridX = hd.showAnchorsX = hd.snapX = 1;
    hd.showGridY = hd.snapY = 0;
    w->grid().resetGrid(model::gridBoth);
    w->applyZoom(c.zoom);
    w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    // The zoom keeps the view's centre; the marks looked at lie near the page's corner.
    for (const char* bar : {"scrollBarX", "scrollBarY"}) w->findChild<QScrollBar*>(QString::fromLatin1(bar))->setValue(0);

    const double z = c.zoom;
    const int32_t rough = model::roundHalfEven(mark * hd.pxPerUnitX * z) - w->viewOrigin().x;
    const int32_t row = model::roundHalfEven(mark * 2.5 * hd.pxPerUnitY * z) - w->viewOrigin().y;
    const std::vector<int32_t> gridline = columnsOf(w->canvasImage(), row, rough - 4, rough + 4, gridlineRgb);
    ASSERT_EQ(gridline.size(), 1u);
    const int32_t at = gridline[0];

    // The mouse just beside the gridline snaps onto it.
    EXPECT_EQ(w->snapped({at + 2, row}).x, at);
    EXPECT_EQ(w->snapped({at - 2, row}).x, at);

    // The ruler's labelled tick of the same measure: its long tick reaches
    // the top of the tick band. Ruler pixels are Panel0 pixels.
    const QImage& ruler = static_cast<canvas::rulerImage_t*>(w->findChild<QWidget*>(QStringLiteral("rulerX")))->picture();
    const int32_t tickRow = ruler.height() - 11;
    const int32_t onRuler = at + w->viewOrigin().x + w->pageOnScreen().x;
    const std::vector<int32_t> tick =
        columnsOf(ruler, tickRow, onRuler - 4, onRuler + 4, qRgb(0x50, 0x50, 0x50));
    ASSERT_FALSE(tick.empty());
    EXPECT_EQ(tick.front(), onRuler);

    // The margin guide, drawn dotted, with the gridlines off.
    w->grid().setGrid(0);
    std::vector<int32_t> guide;
    for (int32_t r = row; r < row + 4 && guide.empty(); ++r)
        guide = columnsOf(w->canvasImage(), r, rough - 4, rough + 4, guideRgb);
    ASSERT_EQ(guide.size(), 1u);
    EXPECT_EQ(guide[0], at);
}

INSTANTIATE_TEST_SUITE_P(
    OriginsUnitsZooms, GridAgreement,
    ::testing::Values(agreeCase{"InchesFromZeroAt100", 3, 0.0, 1.0}, agreeCase{"InchesFromZeroAt300", 3, 0.0, 3.0},
                      agreeCase{"InchesFromPoint2At100", 3, 0.2, 1.0}, agreeCase{"InchesFromPoint2At300", 3, 0.2, 3.0},
                      agreeCase{"MillimetresFromZeroAt100", 2, 0.0, 1.0},
                      agreeCase{"MillimetresFromZeroAt300", 2, 0.0, 3.0},
                      agreeCase{"MillimetresFromPoint2InchAt100", 2, 5.08, 1.0},
                      agreeCase{"MillimetresFromPoint2InchAt300", 2, 5.08, 3.0}),
    testnames::byName{});

// A new document in inches with the page origin at 0.2 in: gridlines every
// quarter inch, shown with their anchors, snapping in x.
class GridWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        auto& hd = w->header()->hdr();
        hd.showGridX = hd.showAnchorsX = hd.snapX = 1;
        hd.showGridY = hd.showAnchorsY = 1;
        hd.snapY = 0;
        w->repaintAll(false);
    }
    int32_t origin() const { return model::pageOriginX(w->header()->hdr()); }
    size_t liveX() { return w->grid().gridIndex().x.size(); }
    // A strip point over the gridline at stored position g.
    QPoint stripPoint(int32_t g) const { return {w->grid().gridToPanel(g, true), 5}; }
    void dragAnchor(int32_t from, int32_t to)
    {
        w->background1MouseMove(Qt::NoButton, Qt::NoModifier, stripPoint(from));
        w->background1MouseDown(Qt::LeftButton, Qt::NoModifier, stripPoint(from));
        w->background1MouseMove(Qt::LeftButton, Qt::NoModifier, stripPoint((from + to) / 2));
        w->background1MouseMove(Qt::LeftButton, Qt::NoModifier, stripPoint(to));
        w->background1MouseUp(Qt::LeftButton, Qt::NoModifier, stripPoint(to));
    }
};

TEST_F(GridWindow, NewDocumentsGridStartsOnThePageEdge)
{
    const auto& hd = w->header()->hdr();
    ASSERT_EQ(hd.unit, 3);
    const model::anchorNode_t* first = w->grid().gridRecord()->anchorsX.head;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(model::anchorPositionX(first), origin());
    EXPECT_EQ(model::gridToDoc(model::anchorPositionX(first->next), origin()), model::roundHalfEven(hd.anchorStepX * 96));
}

TEST_F(GridWindow, LineToolEndsSnapInXOnly)
{
    w->selectTool(canvas::toolLine);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, qscreen({50, 61}));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, qscreen({50, 61}));
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen({171, 133}));
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, qscreen({171, 133}));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, qscreen({171, 133}));
    const item_t* line = model::findByType(items(), model::typeLine);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x1, 48);
    EXPECT_EQ(line->x2, 168);
    EXPECT_EQ(line->y1, 61);
    EXPECT_EQ(line->y2, 133);
}

// A picture dragged alone with snapping on: of its two edges across the
// snapping direction, the one nearer its gridline goes onto it, and on a tie
// (the same distance, one edge short of its gridline and the other past it)
// the right edge, or the bottom edge, wins. Gridlines stand every 24 pixels.
TEST_F(GridWindow, ADraggedPictureSnapsItsNearerEdgeAndTheRightOrBottomEdgeOnATie)
{
    struct row {
        const char* name;
        bool horizontal;  // snapping in x (else in y)
        int32_t size;     // width or height
        int32_t near;     // left or top edge where the mouse puts it, unsnapped
        int32_t snapped;  // the same edge after snapping
    };
    const row rows[] = {
        // left 267 is 3 past 264, right 357 is 3 short of 360: the right edge wins
        {"tie, right wins", true, 90, 267, 270},
        {"left nearer", true, 89, 266, 264},     // -2 against +5 for the right edge
        {"right nearer", true, 89, 269, 271},    // -5 against +2
        {"right nearer, leftwards", true, 77, 260, 259},  // +4 against -1
        {"tie, bottom wins", false, 90, 267, 270},
        {"top nearer", false, 89, 266, 264},
        {"bottom nearer", false, 89, 269, 271},
        {"bottom nearer, upwards", false, 77, 260, 259},
    };
    for (const row& r : rows) {
        auto& hd = w->header()->hdr();
        hd.snapX = r.horizontal ? 1 : 0;
        hd.snapY = r.horizontal ? 0 : 1;
        // The other direction is 96 pixels long and follows the mouse unsnapped.
        const int32_t w0 = r.horizontal ? r.size : 96, h0 = r.horizontal ? 96 : r.size;
        item_t* p = addPicture(items(), {240, 240}, {240 + w0, 240 + h0});
        select(items(), {p});
        const point_t centre = handleAt(p, 7);
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {centre.x, centre.y});
        ASSERT_EQ(w->mode(), canvas::modePictureHandle) << r.name;
        // The mouse holds the picture by its centre (half the size rounded down).
        const int32_t other = 301;
        const point_t to = screen(r.horizontal ? point_t{r.near + w0 / 2, other + h0 / 2} : point_t{other + w0 / 2, r.near + h0 / 2});
        w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {to.x, to.y});
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {to.x, to.y});
        const item_t* moved = current(items(), p);
        ASSERT_NE(moved, nullptr) << r.name;
        const int32_t nearNow = r.horizontal ? moved->x1 : moved->y1, farNow = r.horizontal ? moved->x2 : moved->y2;
        const int32_t otherNow = r.horizontal ? moved->y1 : moved->x1;
        EXPECT_EQ(nearNow, r.snapped) << r.name;
        EXPECT_EQ(farNow, r.snapped + r.size) << r.name;
        EXPECT_EQ(otherNow, other) << r.name;
        EXPECT_EQ(r.horizontal ? moved->boxLeft : moved->boxTop, r.snapped) << r.name;
        model::deselectAll(items());
    }
}

TEST_F(GridWindow, MovingAGridlineCarriesItemsWithinTwoPixelsAndUndoTakesBothSteps)
{
    const int32_t g = origin() + 96;  // the gridline one inch into the page
    item_t* on = addLine(items(), {96 + 2, 200}, {300, 250});
    item_t* beside = addLine(items(), {96 + 3, 300}, {300, 350});
    item_t* circle = addCircle(items(), {150, 500}, 54);  // its left edge at 96
    dragAnchor(g, g + 24);
    ASSERT_EQ(w->grid().gridIndex().x.nearest(g + 24), std::optional<int32_t>(g + 24));
    EXPECT_NE(w->grid().gridIndex().x.nearest(g), std::optional<int32_t>(g));
    EXPECT_EQ(current(items(), on)->x1, 96 + 2 + 24);
    EXPECT_EQ(current(items(), on)->x2, 300 + 24);  // the whole item moves
    EXPECT_EQ(current(items(), on)->y1, 200);
    EXPECT_EQ(current(items(), beside)->x1, 96 + 3);
    EXPECT_EQ(current(items(), circle)->boxLeft, circle->boxLeft + 24);

    // The gridline and the items are two steps.
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(w->grid().gridIndex().x.nearest(g), std::optional<int32_t>(g));
    EXPECT_EQ(current(items(), on)->x1, 96 + 2 + 24);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), on)->x1, 96 + 2);
}

TEST_F(GridWindow, DeleteOnAHotAnchorRemovesItsGridlineAndUndoBringsItBack)
{
    const size_t before = liveX();
    const int32_t g = origin() + 48;
    w->background1MouseMove(Qt::NoButton, Qt::NoModifier, stripPoint(g));
    ASSERT_NE(model::hotAnchor(w->grid().gridRecord(), true), nullptr);
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Delete, Qt::NoModifier));
    EXPECT_EQ(liveX(), before - 1);
    EXPECT_NE(w->snapped(w->toScreen({48, 10})).x, w->toScreen({48, 10}).x);
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(liveX(), before);
    EXPECT_EQ(w->snapped(w->toScreen({47, 10})).x, w->toScreen({48, 10}).x);
}

TEST_F(GridWindow, ShiftClickInsertsOnlyWhereAnchorsAreShown)
{
    const size_t before = liveX();
    const QPoint at = stripPoint(origin() + 30);
    w->background1MouseDown(Qt::LeftButton, Qt::ShiftModifier, at);
    w->background1MouseUp(Qt::LeftButton, Qt::ShiftModifier, at);
    EXPECT_EQ(liveX(), before + 1);
    EXPECT_EQ(w->grid().gridIndex().x.nearest(origin() + 29), std::optional<int32_t>(origin() + 30));

    w->grid().setAnchors(model::gridVertical);
    w->background1MouseDown(Qt::LeftButton, Qt::ShiftModifier, stripPoint(origin() + 40));
    w->background1MouseUp(Qt::LeftButton, Qt::ShiftModifier, stripPoint(origin() + 40));
    EXPECT_EQ(liveX(), before + 1);
}

TEST_F(GridWindow, RulerRightEndWidensThePageAndAddsGridlinesBeyondTheLast)
{
    const auto& hd = w->header()->hdr();
    const double width = hd.canvasWidth;
    const size_t before = liveX();
    const int32_t end = w->pageOnScreen().x + w->pageExtentX();
    w->rulerMouseDown(false, Qt::LeftButton, end - 2);
    w->rulerMouseMove(false, Qt::LeftButton, end + 48);
    w->rulerMouseUp(false, Qt::LeftButton, end + 96);
    EXPECT_NEAR(hd.canvasWidth, width + 1.0, 0.03);
    EXPECT_EQ(liveX(), before + 3);  // 8.75, 9 and 9.25 in; 9.5 is the new edge
    // Dragged to nothing, the page keeps five pixels.
    w->rulerMouseDown(false, Qt::LeftButton, w->pageOnScreen().x + w->pageExtentX());
    w->rulerMouseUp(false, Qt::LeftButton, -500);
    EXPECT_EQ(w->pageExtentX(), canvas::smallestPage);
}

} // namespace
