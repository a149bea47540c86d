// Glued line ends and labels in the document window: ends drawn or dragged
// onto connection points are glued; a dragged, nudged or turned shape takes
// its lines and label along in one undo step; an end dragged away comes
// loose; the line tool marks the connection points under the mouse; a double
// click on a shape starts or edits its label; erasing a shape erases its label.
#include "selection_support.h"

#include "canvas/glue.h"
#include "canvas/gridedit.h"
#include "canvas/labels.h"
#include "canvas/picking.h"
#include "canvas/pointediting.h"
#include "canvas/setters.h"
#include "canvas/textediting.h"
#include "geometry/connectionpoints.h"
#include "model/grid.h"
#include "model/links.h"
#include "render/text.h"

#include <QTimer>

using namespace seltest;
using model::lineEnd_t;

namespace {

class GlueWindow : public WindowTest {
protected:
    item_t* boxA = nullptr;
    item_t* boxB = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        canvas::params().lineDirection = -1.0;
        boxA = addRectangle(items(), {100, 300}, {200, 300}, 60);
        boxB = addRectangle(items(), {400, 300}, {500, 300}, 60);
        w->repaintAll(false);
    }

    point_t cp(const item_t* shape, int32_t k) { return geometry::connectionPoints(shape)[size_t(k)]; }

    // The line tool's press, hold, drag and release between two document points.
    item_t* drawLine(point_t from, point_t to)
    {
        w->selectTool(98);
        w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen(from));
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, qscreen(from));
        w->holdTimerTimeout();
        w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, qscreen(to));
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, qscreen(to));
        w->selectTool(0);
        item_t* last = nullptr;
        for (item_t* it = items().head; it; it = it->next)
            if (it->itemType == model::typeLine && !it->hidden) last = it;
        return last;
    }

    // The middle of a side joins the two boxes: A's right side to B's left side.
    item_t* joinBoxes()
    {
        // A rectangle's vertices come first, then the middles of sides 1-2, 2-3, 3-4, 4-1.
        const point_t a = cp(boxA, 5), b = cp(boxB, 7);
        return drawLine({a.x + 3, a.y - 2}, {b.x - 2, b.y + 3});
    }

    void dragHandle(const item_t* it, int32_t code, point_t by)
    {
        select(items(), {const_cast<item_t*>(it)});
        paintWithMarks();
        const point_t from = handleAt(it, code);
        drag(QPoint(from.x, from.y), QPoint(from.x + by.x, from.y + by.y));
    }
};

} // namespace

TEST_F(GlueWindow, LineDrawnNearConnectionPointsIsGluedOntoThem)
{
    item_t* line = joinBoxes();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(point_t(line->x1, line->y1), cp(boxA, 5)) << "the end goes onto the point";
    EXPECT_EQ(point_t(line->x2, line->y2), cp(boxB, 7));
    const auto start = model::glueOf(line, lineEnd_t::start), end = model::glueOf(line, lineEnd_t::end);
    ASSERT_TRUE(start && end);
    EXPECT_EQ(start->target, model::linkId(boxA));
    EXPECT_EQ(start->point, 5);
    EXPECT_EQ(end->target, model::linkId(boxB));
    EXPECT_EQ(end->point, 7);
    EXPECT_NE(model::linkId(boxA), model::linkId(boxB));

    // Farther than the reach: nothing is glued.
    const point_t a = cp(boxA, 1);
    item_t* loose = drawLine({a.x + canvas::glueReachPx + 3, a.y - 40}, {a.x + canvas::glueReachPx + 3, a.y - 100});
    EXPECT_FALSE(model::glueOf(loose, lineEnd_t::start));
    EXPECT_FALSE(model::glueOf(loose, lineEnd_t::end));
}

TEST_F(GlueWindow, DraggedBoxTakesItsLineAndLabelAlongInOneUndoStep)
{
    item_t* line = joinBoxes();
    EXPECT_TRUE(canvas::pickIndexConsistent(items())) << "a line glued as it was drawn is filed where it lies";
    item_t* label = canvas::createLabel(*w, boxB);
    ASSERT_NE(label, nullptr);
    model::setText(label, u"Next");
    canvas::centreText(label, geometry::shapeMiddle(boxB));
    const point_t labelWas{label->x1, label->y1};
    const point_t startWas{line->x1, line->y1};

    // Mid-drag, the line has left its old place on the canvas.
    select(items(), {boxB});
    paintWithMarks();
    const point_t from = handleAt(boxB, canvas::handleMove);
    const point_t oldMiddle = screen({(line->x1 + line->x2) / 2, (line->y1 + line->y2) / 2});
    ASSERT_EQ(QColor(w->canvasImage().pixel(oldMiddle.x, oldMiddle.y)), QColor(Qt::black)) << "the line is there";
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(from.x, from.y));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(from.x + 30, from.y + 45));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(from.x + 60, from.y + 90));
    const QRgb midDrag = w->canvasImage().pixel(oldMiddle.x, oldMiddle.y);
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(from.x + 60, from.y + 90));
    EXPECT_EQ(midDrag, w->canvasImage().pixel(oldMiddle.x, oldMiddle.y)) << "no trace of the line during the drag";
    item_t* movedB = current(items(), boxB);
    item_t* movedLine = current(items(), line);
    item_t* movedLabel = current(items(), label);
    ASSERT_NE(movedLine, line);
    ASSERT_NE(movedLabel, label);
    EXPECT_EQ(point_t(movedLine->x2, movedLine->y2), cp(movedB, 7));
    EXPECT_EQ(point_t(movedLine->x1, movedLine->y1), startWas) << "the end on the box that stayed stays";
    EXPECT_EQ(point_t(movedLabel->x1, movedLabel->y1), point_t(labelWas.x + 60, labelWas.y + 90));
    EXPECT_EQ(movedLine->actionId, movedB->actionId);
    EXPECT_EQ(movedLabel->actionId, movedB->actionId);
    EXPECT_TRUE(model::glueOf(movedLine, lineEnd_t::end)) << "still glued";
    EXPECT_TRUE(canvas::pickIndexConsistent(items())) << "the followers are filed where they are now";
    model::deselectAll(items());
    const point_t onLine{(movedLine->x1 + movedLine->x2) / 2, (movedLine->y1 + movedLine->y2) / 2};
    EXPECT_EQ(canvas::pickItem(items(), onLine, false, 8).item, movedLine);

    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), boxB), boxB);
    EXPECT_EQ(current(items(), line), line);
    EXPECT_EQ(current(items(), label), label);
    ASSERT_TRUE(model::redo(items()));
    EXPECT_EQ(current(items(), line), movedLine);
    EXPECT_EQ(current(items(), label), movedLabel);
}

TEST_F(GlueWindow, TurnedAndNudgedBoxesKeepTheirEndsOnTheirPoints)
{
    item_t* line = joinBoxes();
    dragHandle(boxA, canvas::handleRotate, {40, 60});
    item_t* turned = current(items(), boxA);
    ASSERT_NE(turned, boxA);
    EXPECT_EQ(point_t(current(items(), line)->x1, current(items(), line)->y1), cp(turned, 5));

    select(items(), {turned});
    ASSERT_TRUE(w->nudge(Qt::Key_Right, Qt::NoModifier));
    ASSERT_TRUE(w->nudge(Qt::Key_Down, Qt::ShiftModifier));
    item_t* nudged = current(items(), boxA);
    EXPECT_EQ(point_t(current(items(), line)->x1, current(items(), line)->y1), cp(nudged, 5));
    ASSERT_TRUE(model::undo(items())) << "the nudges are one step";
    EXPECT_EQ(current(items(), boxA), turned);
    EXPECT_EQ(point_t(current(items(), line)->x1, current(items(), line)->y1), cp(turned, 5));
}

TEST_F(GlueWindow, EndDraggedAwayComesLooseAndDraggedBackIsGluedAgain)
{
    item_t* line = joinBoxes();
    dragHandle(line, 2, {0, -80});
    item_t* loose = current(items(), line);
    EXPECT_FALSE(model::glueOf(loose, lineEnd_t::end));
    EXPECT_TRUE(model::glueOf(loose, lineEnd_t::start)) << "the other end keeps its glue";
    dragHandle(boxB, canvas::handleMove, {10, 10});
    EXPECT_EQ(current(items(), line), loose) << "a loose end does not follow";

    // Back onto another connection point of B (its top left corner).
    const point_t target = cp(current(items(), boxB), 0);
    dragHandle(loose, 2, {target.x - loose->x2 + 2, target.y - loose->y2 - 1});
    item_t* again = current(items(), line);
    const auto g = model::glueOf(again, lineEnd_t::end);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->point, 0);
    EXPECT_EQ(point_t(again->x2, again->y2), target);
}

TEST_F(GlueWindow, LineBeingDrawnMarksTheConnectionPointsOfTheShapeUnderTheMouse)
{
    item_t* ring = addCircle(items(), {700, 600}, 60);
    w->repaintAll(false);
    const QImage plain = w->canvasImage().copy();
    w->selectTool(98);
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen({150, 270}));
    EXPECT_EQ(w->canvasImage(), plain) << "no marks before a line is started";

    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, qscreen({300, 500}));
    w->holdTimerTimeout();
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, qscreen({150, 270}));
    const point_t corner = screen(cp(boxA, 2));
    EXPECT_EQ(QColor(w->canvasImage().pixel(corner.x + 2, corner.y)), QColor(0, 0, 255)) << "a mark's edge";
    const point_t far = screen(cp(boxB, 2));
    EXPECT_EQ(w->canvasImage().pixel(far.x + 2, far.y), plain.pixel(far.x + 2, far.y)) << "only the shape under the mouse";

    // Inside a shape without a fill, far from its outline.
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, qscreen({705, 604}));
    EXPECT_EQ(w->canvasImage().pixel(corner.x + 2, corner.y), plain.pixel(corner.x + 2, corner.y)) << "A's marks went";
    const point_t right = screen(cp(ring, 0));
    EXPECT_EQ(QColor(w->canvasImage().pixel(right.x + 2, right.y)), QColor(0, 0, 255));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, qscreen({300, 700}));
    EXPECT_EQ(w->canvasImage().pixel(right.x + 2, right.y), plain.pixel(right.x + 2, right.y));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, qscreen({300, 700}));
}

TEST_F(GlueWindow, DoubleClickStartsALabelCentredInTheShapeAndThenEditsIt)
{
    // The double click on the selected shape, once the click is over.
    select(items(), {boxA});
    w->Image1DblClick(qscreen(geometry::shapeMiddle(boxA)));
    w->doubleClickTimerTimeout();
    item_t* label = model::singleSelected(items());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(model::labelOf(label), model::linkId(boxA));
    EXPECT_TRUE(w->textEditor().typing() || w->mode() == canvas::modeTextEditing);
    w->FormKeyPress(QStringLiteral("Start"));
    w->textEditor().stopEditing();
    item_t* typed = current(items(), label);
    EXPECT_EQ(model::getText(typed), u"Start");
    const geometry::quadrangle_t band = render::textBand(typed);
    const point_t middle = geometry::shapeMiddle(boxA);
    const int32_t cx = (band[0].x + band[1].x + band[2].x + band[3].x) / 4;
    const int32_t cy = (band[0].y + band[1].y + band[2].y + band[3].y) / 4;
    EXPECT_LE(std::abs(cx - middle.x), 2) << "centred across";
    EXPECT_LE(std::abs(cy - middle.y), 2) << "and up and down";

    // Again: the same label, no second one.
    select(items(), {boxA});
    ASSERT_TRUE(canvas::editLabel(*w, boxA));
    w->textEditor().stopEditing();
    int32_t labels = 0;
    for (const item_t* it = items().head; it; it = it->next) labels += model::isCurrent(it) && model::labelOf(it);
    EXPECT_EQ(labels, 1);
    // A line carries no label.
    item_t* line = addLine(items(), {10, 10}, {60, 60});
    EXPECT_FALSE(canvas::editLabel(*w, line));
}

TEST_F(GlueWindow, ErasingAShapeErasesItsLabelButLeavesItsLines)
{
    item_t* line = joinBoxes();
    item_t* label = canvas::createLabel(*w, boxA);
    select(items(), {boxA});
    canvas::selectLabels(items());
    EXPECT_EQ(model::eraseSelection(items()), 2);
    EXPECT_EQ(current(items(), label), nullptr);
    EXPECT_EQ(current(items(), line), line);
    const model::linkTable_t table(items());
    EXPECT_FALSE(model::gluedPoint(table, line, lineEnd_t::start)) << "its glue no longer resolves";
    model::undo(items());
    const model::linkTable_t back(items());
    EXPECT_TRUE(model::gluedPoint(back, line, lineEnd_t::start));
}

TEST_F(GlueWindow, AlignedAndGridlineMovedBoxesTakeTheirLinesAlong)
{
    item_t* line = joinBoxes();
    // A single box lines up with the page's left edge.
    select(items(), {boxB});
    ASSERT_TRUE(w->alignSelection(canvas::alignEdge_t::left));
    item_t* aligned = current(items(), boxB);
    ASSERT_NE(aligned, boxB);
    item_t* afterAlign = current(items(), line);
    EXPECT_EQ(point_t(afterAlign->x2, afterAlign->y2), cp(aligned, 7));
    EXPECT_EQ(afterAlign->actionId, aligned->actionId);

    // The gridline through A's right side moves 30 pixels right, and A and
    // the line's end on it with it; the line's other end stays on B.
    model::deselectAll(items());
    const int32_t origin = model::pageOriginX(w->header()->hdr());
    w->grid().moveItemsWithGridline(true, 200 + origin, 230 + origin, false);
    item_t* stretched = current(items(), boxA);
    ASSERT_NE(stretched, boxA);
    item_t* afterGrid = current(items(), line);
    EXPECT_EQ(point_t(afterGrid->x1, afterGrid->y1), cp(stretched, 5));
    EXPECT_EQ(point_t(afterGrid->x2, afterGrid->y2), cp(aligned, 7)) << "the end on B stays on B";
    EXPECT_TRUE(model::glueOf(afterGrid, lineEnd_t::start) && model::glueOf(afterGrid, lineEnd_t::end));
}

TEST_F(GlueWindow, QuarterTurnedBoxTurnsItsLabelAndKeepsItsLine)
{
    item_t* line = joinBoxes();
    item_t* label = canvas::createLabel(*w, boxA);
    model::setText(label, u"Turn");
    canvas::centreText(label, geometry::shapeMiddle(boxA));
    select(items(), {boxA});
    canvas::transformSelectedItems(*w, false, false, 1);
    item_t* turned = current(items(), boxA);
    ASSERT_NE(turned, boxA);
    EXPECT_EQ(point_t(current(items(), line)->x1, current(items(), line)->y1), cp(turned, 5));
    item_t* turnedLabel = current(items(), label);
    ASSERT_NE(turnedLabel, label);
    EXPECT_NE(turnedLabel->textAngle, label->textAngle) << "the label turns with its shape";
    EXPECT_EQ(std::abs(turnedLabel->textAngle - label->textAngle) % 900, 0) << "by a quarter turn";
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(current(items(), line), line);
    EXPECT_EQ(current(items(), label), label);
}

TEST_F(GlueWindow, NewLabelAndItsTypingAreOneUndoStep)
{
    select(items(), {boxA});
    ASSERT_TRUE(canvas::editLabel(*w, boxA));
    w->FormKeyPress(QStringLiteral("Go"));
    w->textEditor().stopEditing();
    item_t* label = model::singleSelected(items());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(model::getText(label), u"Go");
    auto labels = [&] {
        int32_t n = 0;
        for (const item_t* it = items().head; it; it = it->next) n += model::isCurrent(it) && model::labelOf(it);
        return n;
    };
    ASSERT_TRUE(model::undo(items()));
    EXPECT_EQ(labels(), 0) << "one Undo takes the typed label away, not only its text";
    ASSERT_TRUE(model::redo(items()));
    ASSERT_EQ(labels(), 1);
    EXPECT_EQ(model::getText(current(items(), label)), u"Go");

    // Editing an existing label again is a step of its own: Undo keeps the label.
    select(items(), {boxA});
    ASSERT_TRUE(canvas::editLabel(*w, boxA));
    w->FormKeyPress(QStringLiteral("!"));
    w->textEditor().stopEditing();
    ASSERT_TRUE(model::undo(items()));
    ASSERT_EQ(labels(), 1);
    EXPECT_EQ(model::getText(current(items(), label)), u"Go");
}

TEST_F(GlueWindow, LabelStaysCentredBothWaysAsItsLinesGrowAndShrink)
{
    struct row_t {
        const char* typed;
        int32_t backspaces;
        const char16_t* text;
    };
    const row_t rows[] = {
        {"One", 0, u"One"},
        {"One\nTwo", 0, u"One\u2028Two"},
        {"One\nTwo\nThree", 0, u"One\u2028Two\u2028Three"},
        {"One\nTwo\nThree\nFour", 6, u"One\u2028Two\u2028Thre"},  // a line taken away again
        {"Wide line of text\nx", 0, u"Wide line of text\u2028x"},
    };
    for (const row_t& r : rows) {
        SCOPED_TRACE(r.typed);
        item_t* box = addRectangle(items(), {600, 500}, {800, 500}, 200);
        w->repaintAll(false);
        select(items(), {box});
        ASSERT_TRUE(canvas::editLabel(*w, box));
        w->FormKeyPress(QString::fromUtf8(r.typed));
        for (int32_t k = 0; k < r.backspaces; ++k) w->textEditor().backspace();
        w->textEditor().stopEditing();
        item_t* label = model::singleSelected(items());
        ASSERT_NE(label, nullptr);
        std::u16string text = model::getText(label);
        std::replace(text.begin(), text.end(), char16_t(model::lineSeparator), u'\u2028');
        EXPECT_EQ(text, r.text);
        const geometry::quadrangle_t band = render::textBand(label);
        const point_t middle = geometry::shapeMiddle(box);
        const int32_t cx = (band[0].x + band[1].x + band[2].x + band[3].x) / 4;
        const int32_t cy = (band[0].y + band[1].y + band[2].y + band[3].y) / 4;
        EXPECT_LE(std::abs(cx - middle.x), 2) << "centred across";
        EXPECT_LE(std::abs(cy - middle.y), 2) << "and up and down";
        model::deselectAll(items());
    }
}

TEST_F(GlueWindow, FineTuneShapeChangesKeepGlueOnTheNewOutlineInTheSameStep)
{
    struct row_t {
        const char* name;
        std::function<item_t*()> make;
        int32_t gluedAt;
        std::function<void()> change;
        bool glued;  // false: the shape can no longer be glued to
        bool samePlace = false;  // the point it was glued to is still where it was
    };
    const std::vector<row_t> rows = {
        // A square's corner lies elsewhere than the rectangle's: the end must follow it.
        {"rectangle made a square", [&] { return addRectangle(items(), {600, 600}, {700, 600}, 40); }, 2,
         [&] { canvas::setSquareOrRectangle(*w, model::typeSquare); }, true},
        {"closed spline opened",
         [&] { return addSpline(items(), {{600, 600}, {700, 610}, {680, 700}, {590, 670}}, model::variantClosed); }, 2,
         [&] { canvas::setShapeVariant(*w, model::variantOpen); }, false},
        // A point inserted before the glued vertex shifts its index by one; the
        // end stays on the vertex, not on the point that now has its old index.
        {"spline point inserted",
         [&] { return addSpline(items(), {{600, 600}, {700, 610}, {680, 700}, {590, 670}}, model::variantClosed); }, 2,
         [&] {
             w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen({650, 607}));
             ASSERT_TRUE(canvas::insertPointAtMouse(*w));
         },
         true, true},
    };
    for (const row_t& r : rows) {
        SCOPED_TRACE(r.name);
        item_t* shape = r.make();
        item_t* line = addLine(items(), {900, 900}, cp(shape, r.gluedAt));
        model::setGlue(line, lineEnd_t::end, {model::ensureLinkId(items(), shape), r.gluedAt});
        w->repaintAll(false);
        select(items(), {shape});
        r.change();
        item_t* changed = current(items(), shape);
        ASSERT_NE(changed, shape);
        item_t* now = current(items(), line);
        ASSERT_NE(now, line) << "the line changed";
        EXPECT_EQ(now->actionId, changed->actionId) << "in the shape's step";
        const auto g = model::glueOf(now, lineEnd_t::end);
        EXPECT_EQ(bool(g), r.glued);
        if (r.glued) {
            EXPECT_EQ(point_t(now->x2, now->y2), cp(changed, g->point)) << "on its point of the new outline";
        }
        if (!r.glued || r.samePlace) {
            EXPECT_EQ(point_t(now->x2, now->y2), point_t(line->x2, line->y2)) << "the end stays";
        }
        ASSERT_TRUE(model::undo(items()));
        EXPECT_EQ(current(items(), line), line);
        EXPECT_EQ(current(items(), shape), shape);
        model::deselectAll(items());
    }
}
