// Reshaping by handles, driven through the window as a user drags: each rule
// family once, the drag that never accumulates, Esc, point editing, and
// drag + undo + redo in the saved file.
#include "selection_support.h"

#include "canvas/reshape.h"
#include "model/docfile.h"

#include <QTemporaryDir>

#include <cmath>
#include <functional>

using namespace seltest;
using canvas::TSandbox;

namespace {

class Reshape : public WindowTest {
protected:
    // Drags the handle `code` of the only selected item by (dx, dy) document
    // pixels, ending with a release there.
    item_t* dragHandle(item_t* it, int32_t code, point_t by, int steps = 3)
    {
        select(items(), {it});
        paintWithMarks();
        const point_t h = handleAt(it, code);
        const QPoint from(h.x, h.y);
        drag(from, from + QPoint(by.x, by.y), Qt::NoModifier, steps);
        return current(items(), it);
    }
    item_t* dragHandleTo(item_t* it, int32_t code, point_t docTarget)
    {
        select(items(), {it});
        paintWithMarks();
        const point_t h = handleAt(it, code), t = screen(docTarget);
        drag(QPoint(h.x, h.y), QPoint(t.x, t.y));
        return current(items(), it);
    }
};

std::vector<point_t> pointsOf(const item_t* it)
{
    std::vector<point_t> out;
    for (const model::pointNode_t* n = it->points.head; n; n = n->next) out.push_back({n->p.x, n->p.y});
    return out;
}

double lengthOf(point_t a, point_t b)
{
    return geometry::distance(a, b);
}

} // namespace

TEST_F(Reshape, TurningSnapsLevelWithinOneDegree)
{
    // A line turned to half a degree off level becomes exactly level; a
    // rectangle's first side the same, with right angles kept.
    item_t* ln = addLine(items(), {300, 400}, {500, 400});
    const point_t mid{400, 400};
    ln = dragHandle(ln, canvas::handleRotate, {0, 0});
    // The rotation dot sits 40 pixels from the middle, a quarter turn off the line.
    select(items(), {ln});
    paintWithMarks();
    const point_t dot = handleAt(ln, canvas::handleRotate);
    const double start = geometry::segmentAngle(mid, dot);
    const point_t nearLevel = geometry::polarPoint(mid, start + 0.5 * M_PI / 180, 40);
    drag(QPoint(dot.x, dot.y), QPoint(nearLevel.x, nearLevel.y));
    ln = current(items(), ln);
    EXPECT_EQ(ln->y1, ln->y2);
    EXPECT_NEAR(lengthOf({ln->x1, ln->y1}, {ln->x2, ln->y2}), 200, 1);

    item_t* r = addRectangle(items(), {600, 600}, {760, 600}, 80);
    select(items(), {r});
    paintWithMarks();
    const point_t rdot = handleAt(r, canvas::handleRotate);
    const point_t centre = screen(geometry::rotationCentre(r));
    const double a0 = geometry::segmentAngle(centre, rdot);
    const point_t turned = geometry::polarPoint(centre, a0 - 0.6 * M_PI / 180, geometry::distance(centre, rdot));
    drag(QPoint(rdot.x, rdot.y), QPoint(turned.x, turned.y));
    r = current(items(), r);
    const std::vector<point_t> c = pointsOf(r);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].y, c[1].y);
    EXPECT_EQ(c[1].x, c[2].x);
    EXPECT_EQ(c[3].x, c[0].x);
    EXPECT_NEAR(lengthOf(c[0], c[1]), 160, 1);
    EXPECT_NEAR(lengthOf(c[1], c[2]), 80, 1);
}

TEST_F(Reshape, ShapePointRulesKeepEachShapeItsKind)
{
    // One row per shape family: drag a point handle and check what must hold.
    struct row_t {
        const char* name;
        std::function<item_t*(model::itemList_t&)> make;
        int32_t code;
        point_t by;
        std::function<void(const item_t*, const item_t* before)> check;
    };
    const std::vector<row_t> rows = {
        {"triangle corner moves alone",
         [](model::itemList_t& l) { return addTriangle(l, {100, 500}, {300, 500}, {200, 300}); }, -3, {30, -40},
         [](const item_t* it, const item_t*) {
             const auto p = pointsOf(it);
             EXPECT_EQ(p[0], (point_t{100, 500}));
             EXPECT_EQ(p[2], (point_t{230, 260}));
         }},
        {"square stays square about the opposite corner",
         [](model::itemList_t& l) { return addSquare(l, {300, 500}, {400, 500}); }, -3, {40, -10},
         [](const item_t* it, const item_t*) {
             const auto p = pointsOf(it);
             EXPECT_EQ(p[0], (point_t{300, 500}));  // opposite of corner 3
             for (int k = 0; k < 4; ++k) EXPECT_NEAR(lengthOf(p[k], p[(k + 1) % 4]), lengthOf(p[0], p[1]), 1.5) << k;
             EXPECT_NEAR(lengthOf(p[0], p[2]), lengthOf(p[1], p[3]), 1.5);
         }},
        {"rectangle keeps its orientation",
         [](model::itemList_t& l) { return addRectangle(l, {300, 500}, {460, 500}, 60); }, -3, {25, -30},
         [](const item_t* it, const item_t*) {
             const auto p = pointsOf(it);
             EXPECT_EQ(p[0], (point_t{300, 500}));
             EXPECT_EQ(p[1].y, 500);  // the longer side stays level
             EXPECT_EQ(p[1].x, p[2].x);
             EXPECT_EQ(p[2], (point_t{485, 410}));
             EXPECT_EQ(p[3].x, 300);
         }},
        {"spline point moves alone",
         [](model::itemList_t& l) { return addSpline(l, {{100, 100}, {200, 150}, {300, 100}}, 0); }, -2, {0, 50},
         [](const item_t* it, const item_t*) {
             EXPECT_EQ(pointsOf(it), (std::vector<point_t>{{100, 100}, {200, 200}, {300, 100}}));
         }},
    };
    for (const row_t& r : rows) {
        SCOPED_TRACE(r.name);
        item_t* it = r.make(items());
        const item_t* after = dragHandle(it, r.code, r.by);
        ASSERT_NE(after, nullptr);
        r.check(after, it);
        // The box follows the points.
        for (point_t p : pointsOf(after)) {
            EXPECT_GE(p.x, after->boxLeft);
            EXPECT_LE(p.x, after->boxRight);
            EXPECT_GE(p.y, after->boxTop);
            EXPECT_LE(p.y, after->boxBottom);
        }
        model::eraseSelection(items());
    }
}

TEST_F(Reshape, PolygonVertexTurnsAndScalesTheWholePolygon)
{
    item_t* pg = model::newItem(items(), model::typePolygon);
    geometry::buildRegularPolygon({400, 400}, {500, 400}, 6, pg->points);
    finishShape(items(), pg);
    pg = dragHandleTo(pg, -2, {400, 250});
    const auto p = pointsOf(pg);
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[2], (point_t{400, 250}));  // the dragged vertex is where the mouse is
    for (size_t k = 1; k < p.size(); ++k) EXPECT_NEAR(lengthOf({400, 400}, p[k]), 150, 1.0) << k;
    EXPECT_EQ(p[1], p.back());  // still closed on V
}

TEST_F(Reshape, LineWithAPresetDirectionSlidesAlongItselfAndStopsAtTheOtherEnd)
{
    item_t* ln = addLine(items(), {400, 600}, {400, 400});  // pointing up: 90°
    ln->direction = 90.0;
    ln = dragHandle(ln, 2, {25, -60});
    EXPECT_EQ(ln->x2, 400);
    EXPECT_EQ(ln->y2, 340);
    // Dragged below the first end, the end stays at its last position above it.
    select(items(), {ln});
    paintWithMarks();
    const point_t h = handleAt(ln, 2);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(h.x, h.y));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(h.x, h.y + 100));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(h.x, h.y + 400));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(h.x, h.y + 400));
    ln = current(items(), ln);
    EXPECT_EQ(ln->x2, 400);
    EXPECT_EQ(ln->y2, 440);
    EXPECT_LT(ln->y2, ln->y1);
}

TEST_F(Reshape, EllipseAxisOnlyTurnsFromSixteenPixels)
{
    item_t* e = addEllipse(items(), {400, 400}, {500, 400}, {400, 350});
    select(items(), {e});
    paintWithMarks();
    const point_t h = handleAt(e, 1);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(h.x, h.y));
    // Ten pixels from the centre, straight below: only the length changes.
    const point_t close = screen({400, 410});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(close.x, close.y));
    auto p = pointsOf(model::singleSelected(items()));
    EXPECT_EQ(p[1], (point_t{410, 400}));
    // From sixteen on the axis follows the mouse; the width (50) stays across it.
    const point_t far = screen({400, 520});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(far.x, far.y));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(far.x, far.y));
    p = pointsOf(current(items(), e));
    EXPECT_EQ(p[1], (point_t{400, 520}));
    EXPECT_NEAR(geometry::ellipseSecondAxis(p[0], p[1], p[2]), 50, 1);
}

TEST_F(Reshape, ArcCentreKeepsItsStartAndItsChord)
{
    item_t* a = model::newItem(items(), model::typeArc);
    geometry::buildPieArc({400, 400}, {500, 400}, {400, 300}, a->points);
    finishShape(items(), a);
    const double chord = lengthOf({500, 400}, {400, 300});
    a = dragHandleTo(a, 1, {420, 420});
    const auto p = pointsOf(a);
    EXPECT_EQ(p[0], (point_t{420, 420}));
    EXPECT_EQ(p[1], (point_t{500, 400}));
    EXPECT_NEAR(lengthOf(p[1], p[2]), chord, 1.5);
    EXPECT_NEAR(lengthOf(p[0], p[2]), lengthOf(p[0], p[1]), 1.0);
}

TEST_F(Reshape, SquareSideMovesAndTheSquareStaysSquare)
{
    item_t* sq = addSquare(items(), {300, 500}, {400, 500});  // grows upwards
    sq = dragHandle(sq, canvas::handleSide34, {0, -20});  // the top side up by 20
    const auto p = pointsOf(sq);
    EXPECT_EQ(p[2].y, 380);
    EXPECT_EQ(p[3].y, 380);
    EXPECT_EQ(p[0].x, 290);  // the sides beside it move out by 10 each
    EXPECT_EQ(p[1].x, 410);
    EXPECT_EQ(p[0].y, 500);  // the opposite side stays
}

TEST_F(Reshape, PictureCornerAndEdgeKeepWhatTheyMust)
{
    item_t* pic = addPicture(items(), {200, 200}, {400, 300});
    pic->srcLeft = 0, pic->srcTop = 0, pic->srcRight = 200, pic->srcBottom = 100;
    pic->scaleX = pic->scaleY = 1.0;
    pic = dragHandle(pic, canvas::handleBottomRight, {100, 50});
    EXPECT_EQ((std::vector<int32_t>{pic->x1, pic->y1, pic->x2, pic->y2}), (std::vector<int32_t>{200, 200, 500, 350}));
    EXPECT_DOUBLE_EQ(pic->scaleX, 1.5);
    EXPECT_DOUBLE_EQ(pic->scaleY, 1.5);
    // The bottom edge: the width follows the shown part's aspect (2 : 1).
    pic = dragHandleTo(pic, canvas::handleBottomEdge, {350, 400});
    EXPECT_EQ(pic->y2, 400);
    EXPECT_EQ(pic->x2, 200 + 400);
}

TEST_F(Reshape, ADragNeverAccumulatesAndADragBackToTheStartChangesNothing)
{
    // Every handle of every kind: moving to P, then to Q, gives what moving
    // straight to Q gives; and a drag released where it started leaves the
    // item as it was.
    const std::vector<std::pair<std::function<item_t*(model::itemList_t&)>, std::vector<int32_t>>> kinds = {
        {[](model::itemList_t& l) { return addLine(l, {300, 300}, {450, 380}); }, {1, 2, canvas::handleRotate}},
        {[](model::itemList_t& l) { return addTriangle(l, {300, 500}, {420, 500}, {360, 400}); }, {-1, -2, -3, canvas::handleRotate}},
        {[](model::itemList_t& l) { return addRectangle(l, {300, 500}, {460, 500}, 60); },
         {-1, -3, canvas::handleSide34, canvas::handleSide23, canvas::handleRotate}},
        {[](model::itemList_t& l) { return addCircle(l, {400, 400}, 60); }, {1}},
        {[](model::itemList_t& l) { return addEllipse(l, {400, 400}, {500, 400}, {400, 350}); }, {1, 2, canvas::handleRotate}},
        {[](model::itemList_t& l) { return addSpline(l, {{100, 300}, {200, 350}, {300, 300}, {350, 200}}, 0); }, {-2, -4, canvas::handleRotate}},
    };
    for (const auto& [make, codes] : kinds) {
        for (const int32_t code : codes) {
            SCOPED_TRACE(code);
            item_t* it = make(items());
            select(items(), {it});
            paintWithMarks();
            const std::vector<point_t> before = pointsOf(it);
            const point_t ends[2] = {{it->x1, it->y1}, {it->x2, it->y2}};
            const point_t h = handleAt(it, code);
            const QPoint from(h.x, h.y), p = from + QPoint(37, -23), q = from + QPoint(-15, 31);
            // Through P to Q.
            w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, from);
            w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, p);
            w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, q);
            w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, q);
            const item_t* viaP = current(items(), it);
            const std::vector<point_t> throughP = pointsOf(viaP);
            const point_t viaEnds[2] = {{viaP->x1, viaP->y1}, {viaP->x2, viaP->y2}};
            model::undo(items());
            // Straight to Q.
            select(items(), {it});
            paintWithMarks();
            w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, from);
            w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, q);
            w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, q);
            const item_t* direct = current(items(), it);
            EXPECT_EQ(pointsOf(direct), throughP);
            EXPECT_EQ((point_t{direct->x1, direct->y1}), viaEnds[0]);
            EXPECT_EQ((point_t{direct->x2, direct->y2}), viaEnds[1]);
            model::undo(items());
            // Out to P and back.
            select(items(), {it});
            paintWithMarks();
            w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, from);
            w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, p);
            w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, from);
            w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, from);
            const item_t* back = current(items(), it);
            EXPECT_EQ(pointsOf(back), before);
            EXPECT_EQ((point_t{back->x1, back->y1}), ends[0]);
            EXPECT_EQ((point_t{back->x2, back->y2}), ends[1]);
            model::eraseSelection(items());
        }
    }
}

TEST_F(Reshape, EscDuringADragPutsTheItemsBackWithoutAHistoryStep)
{
    item_t* tri = addTriangle(items(), {300, 500}, {420, 500}, {360, 400});
    select(items(), {tri});
    paintWithMarks();
    const QImage before = w->canvasImage().copy();
    const int32_t records = model::countItems(items());
    const point_t h = handleAt(tri, -3);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(h.x, h.y));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(h.x + 50, h.y - 70));
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(h.x + 50, h.y - 70));
    EXPECT_EQ(w->mode(), canvas::modePointer);
    EXPECT_EQ(model::countItems(items()), records);
    EXPECT_FALSE(model::canRedo(items()));
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{tri}));
    EXPECT_EQ(pointsOf(tri), (std::vector<point_t>{{300, 500}, {420, 500}, {360, 400}}));
    w->deferredTimerTimeout();
    EXPECT_EQ(w->canvasImage(), before);
}

TEST_F(Reshape, PointEditingInsertsDeletesAndExtends)
{
    item_t* sp = addSpline(items(), {{100, 300}, {200, 300}, {300, 300}}, 0);
    select(items(), {sp});
    paintWithMarks();
    auto ctrl = [&](int key) { return w->FormKeyDown(key, Qt::ControlModifier); };
    // Ctrl-I between the 2nd and 3rd points puts the new point on that segment.
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen({250, 310}));
    ASSERT_TRUE(ctrl(Qt::Key_I));
    item_t* v = current(items(), sp);
    EXPECT_EQ(pointsOf(v), (std::vector<point_t>{{100, 300}, {200, 300}, {250, 300}, {300, 300}}));
    // Ctrl-D over a point deletes it.
    select(items(), {v});
    paintWithMarks();
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen({200, 300}));
    ASSERT_TRUE(ctrl(Qt::Key_D));
    v = current(items(), sp);
    EXPECT_EQ(pointsOf(v), (std::vector<point_t>{{100, 300}, {250, 300}, {300, 300}}));
    // Ctrl-A extends at the end: two clicks, then Enter.
    select(items(), {v});
    paintWithMarks();
    ASSERT_TRUE(ctrl(Qt::Key_A));
    EXPECT_EQ(w->mode(), canvas::toolExtendSpline);
    EXPECT_TRUE(selectedItems(items()).empty());
    click({350, 250});
    click({400, 300});
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Return, Qt::NoModifier));
    EXPECT_EQ(w->mode(), canvas::modePointer);
    v = current(items(), sp);
    EXPECT_EQ(pointsOf(v),
              (std::vector<point_t>{{100, 300}, {250, 300}, {300, 300}, {350, 250}, {400, 300}}));
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{v}));
    // Esc during an extension leaves the item as it was.
    ASSERT_TRUE(ctrl(Qt::Key_A));
    click({450, 250});
    EXPECT_TRUE(w->FormKeyDown(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_EQ(pointsOf(current(items(), sp)), pointsOf(v));
    // Undo steps back through the extension, the deletion and the insertion.
    for (size_t n : {3u, 4u, 3u}) {
        model::undo(items());
        EXPECT_EQ(pointsOf(current(items(), sp)).size(), n);
    }
}

TEST_F(Reshape, CtrlDOnATwoPointSplineRemovesItAsOneUndoableStep)
{
    item_t* sp = addSpline(items(), {{100, 300}, {200, 300}}, 0);
    select(items(), {sp});
    paintWithMarks();
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, qscreen({200, 300}));
    ASSERT_TRUE(w->FormKeyDown(Qt::Key_D, Qt::ControlModifier));
    EXPECT_EQ(current(items(), sp), nullptr);
    model::undo(items());
    EXPECT_NE(current(items(), sp), nullptr);
}

TEST_F(Reshape, DragUndoAndRedoRestoreBothStatesInTheSavedFile)
{
    addTriangle(items(), {300, 500}, {420, 500}, {360, 400});
    item_t* e = addEllipse(items(), {600, 400}, {700, 400}, {600, 350});
    QTemporaryDir dir;
    auto saved = [&](const char* name) {
        const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
        model::deselectAll(items());  // the selection is saved too, and Undo clears it
        EXPECT_TRUE(model::writeDocument(path, items()));
        QFile f(QString::fromStdString(path));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        // Undo and redo leave the header's modified flag alone (a save clears it).
        constexpr int modifiedFlag = 180;
        if (bytes.size() > modifiedFlag) bytes[modifiedFlag] = 0;
        return bytes;
    };
    const QByteArray before = saved("before.lmra");
    dragHandleTo(e, 2, {600, 300});
    const QByteArray after = saved("after.lmra");
    EXPECT_NE(before, after);
    model::undo(items());
    EXPECT_EQ(saved("undone.lmra"), before);
    model::redo(items());
    const QByteArray redone = saved("redone.lmra");
    EXPECT_EQ(redone, after);
}
