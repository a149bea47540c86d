// Selecting with the pointer: picking by click (distances, ties, Shift,
// groups), area selection, moving the selection by its handles with one
// history step, placing pasted items, and a canvas that keeps no trace of
// marks, frames or moved items.
#include "selection_support.h"

#include "canvas/picking.h"
#include "render/text.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "geometry/transform.h"

#include <QTest>

#include <functional>

using namespace seltest;

namespace {

struct listHolder_t {
    model::itemList_t l;
    ~listHolder_t() { model::freeList(l); }
};

// The canvas after a full repaint with marks, for comparing with what the
// window's own incremental drawing left behind.
QImage freshCanvas(canvas::TSandbox& w)
{
    w.repaintAll(false);
    w.deferredTimerTimeout();
    return w.canvasImage().copy();
}

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) n += ra[x] != rb[x];
    }
    return n;
}

} // namespace

// ---------------------------------------------------------------- pick distances

TEST(Picking, TheLaterOfTwoEquidistantLinesIsPicked)
{
    listHolder_t h;
    item_t* first = addLine(h.l, {50, 100}, {300, 100});
    item_t* second = addLine(h.l, {50, 110}, {300, 110});
    canvas::pickResult_t r = canvas::pickItem(h.l, {150, 105}, false, 8);
    EXPECT_EQ(r.item, second);
    EXPECT_TRUE(model::isSelected(second));
    EXPECT_FALSE(model::isSelected(first));
    // Brought to the front, the first line wins the tie.
    first->zOrder = second->zOrder + 1;
    r = canvas::pickItem(h.l, {150, 105}, false, 8);
    EXPECT_EQ(r.item, first);
    EXPECT_FALSE(model::isSelected(second));
    // A nearer line wins whatever its stacking.
    r = canvas::pickItem(h.l, {150, 107}, false, 8);
    EXPECT_EQ(r.item, second);
}

TEST(Picking, DistanceRulesOfTheItemTypes)
{
    listHolder_t h;
    item_t* ln = addLine(h.l, {100, 100}, {200, 100});
    EXPECT_DOUBLE_EQ(canvas::pickDistance(ln, {150, 107}), 7.0);
    EXPECT_DOUBLE_EQ(canvas::pickDistance(ln, {150, 100}), 1.0);  // at least 1
    EXPECT_EQ(canvas::pickDistance(ln, {90, 100}), canvas::noDistance);  // foot beyond the end
    ln->lineWeight = 2.0;  // 2 mm ≈ 7.6 pixels: half of it comes off
    EXPECT_NEAR(canvas::pickDistance(ln, {150, 108}), 8 - 2.0 * 96 / 25.4 / 2, 1e-9);

    item_t* c = addCircle(h.l, {400, 400}, 50);
    EXPECT_DOUBLE_EQ(canvas::pickDistance(c, {400, 460}), 10.0 - 0.5);
    EXPECT_DOUBLE_EQ(canvas::pickDistance(c, {400, 400}), 50.0 - 0.5);  // the centre is far from the rim

    // Closed outlines include the closing side; open splines do not.
    item_t* closed = addSpline(h.l, {{100, 300}, {200, 300}, {200, 400}}, 1);
    item_t* open = addSpline(h.l, {{100, 300}, {200, 300}, {200, 400}}, 0);
    EXPECT_DOUBLE_EQ(canvas::pickDistance(closed, {148, 352}), std::hypot(2.0, 2.0));
    EXPECT_GT(canvas::pickDistance(open, {148, 352}), 40.0);

    item_t* p = addPicture(h.l, {500, 100}, {700, 200});
    EXPECT_DOUBLE_EQ(canvas::pickDistance(p, {600, 195}), 5.0);
    EXPECT_DOUBLE_EQ(canvas::pickDistance(p, {600, 150}), 50.0);
}

TEST(Picking, AShortLevelSegmentDoesNotClaimItsWholeColumn)
{
    listHolder_t h;
    // Two points one pixel apart: the projection counts the segment as upright.
    item_t* s = addSpline(h.l, {{100, 100}, {101, 100}}, 0);
    EXPECT_DOUBLE_EQ(canvas::pickDistance(s, {100, 400}), 300.0);
    EXPECT_LE(canvas::pickDistance(s, {100, 101}), 1.0);
}

TEST(Picking, ShiftTogglesAndGroupsFollow)
{
    listHolder_t h;
    item_t* a = addRectangle(h.l, {100, 300}, {200, 300}, 50);
    item_t* b = addRectangle(h.l, {300, 300}, {400, 300}, 50);
    item_t* c = addRectangle(h.l, {500, 300}, {600, 300}, 50);
    select(h.l, {a, b});
    item_t* handle = model::joinItems(h.l);
    ASSERT_NE(handle, nullptr);
    model::deselectAll(h.l);
    const item_t* a2 = current(h.l, a);
    const item_t* b2 = current(h.l, b);

    // A click on one member selects the group with its handle.
    canvas::pickResult_t r = canvas::pickItem(h.l, {150, 302}, false, 8);
    EXPECT_EQ(r.item, a2);
    EXPECT_EQ(selectedItems(h.l).size(), 3u);
    EXPECT_TRUE(model::isSelected(handle));
    // Shift adds the ungrouped item.
    r = canvas::pickItem(h.l, {550, 302}, true, 8);
    EXPECT_FALSE(r.deselected);
    EXPECT_EQ(selectedItems(h.l).size(), 4u);
    // Shift on a selected member deselects the whole group, handle included.
    r = canvas::pickItem(h.l, {350, 298}, true, 8);
    EXPECT_EQ(r.item, b2);
    EXPECT_TRUE(r.deselected);
    EXPECT_EQ(selectedItems(h.l), (std::vector<item_t*>{c}));
    // Shift beside nothing changes nothing.
    r = canvas::pickItem(h.l, {800, 800}, true, 8);
    EXPECT_EQ(r.item, nullptr);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(selectedItems(h.l).size(), 1u);
    // A plain click beside nothing clears the selection.
    r = canvas::pickItem(h.l, {800, 800}, false, 8);
    EXPECT_TRUE(r.changed);
    EXPECT_TRUE(selectedItems(h.l).empty());
}

namespace {

// Moves an item as a drag of the pointer leaves it.
void moveBy(item_t* it, int32_t dx, int32_t dy)
{
    if (it->itemType == model::typeLine || it->itemType == model::typePicture) {
        it->x1 += dx, it->y1 += dy, it->x2 += dx, it->y2 += dy;
        if (it->itemType == model::typeLine) geometry::lineGeometry(it);
        else geometry::pictureBox(it);
        return;
    }
    geometry::translatePoints(it->points, dx, dy);
    geometry::itemBounds(it, 8, 8);
}

// A crowded page of every kind of outline, with weights that the distance
// rules take off and ties decided by stacking.
void crowdedPage(model::itemList_t& l, const std::function<int(int)>& next, int count)
{
    for (int k = 0; k < count; ++k) {
        const point_t at{20 + next(400), 20 + next(400)};
        item_t* it = nullptr;
        switch (k % 7) {
        case 0: it = addRectangle(l, at, {at.x + 10 + next(40), at.y}, 5 + next(30)); break;
        case 1: it = addTriangle(l, at, {at.x + 30, at.y + next(9)}, {at.x + next(30), at.y - 26}); break;
        case 2: it = addLine(l, at, {at.x + next(60) - 30, at.y + next(60) - 30}); break;
        case 3: it = addCircle(l, at, 3 + next(20)); break;
        case 4: it = addSpline(l, {at, {at.x + 20, at.y + 7}, {at.x + 9, at.y + 30}}, next(3)); break;
        case 5: it = addEllipse(l, at, {at.x + 5 + next(30), at.y + next(9)}, {at.x + next(5), at.y - 3 - next(20)}); break;
        default:
            it = addPicture(l, at, {at.x + 5 + next(50), at.y + 5 + next(50)});
            if (next(3) == 0) it->clipShape = 2;
            if (next(3) == 0) it->rotation = 0.4;
            geometry::pictureBox(it);
            break;
        }
        it->lineWeight = next(7) * 0.5;  // up to 3 mm: half of it is almost 6 pixels
        it->penWidthPx = 1 + next(5);
        if (next(5) == 0) it->zOrder = 1 + next(count);  // ties decided by stacking, not list order
    }
}

// One change of the list as the editor makes them: a new item, a move of
// the selection (new versions moved in place), undo, redo, erase, copy and
// paste (the pasted items follow the mouse), send to back.
void changeTheList(model::itemList_t& l, const std::function<int(int)>& next)
{
    std::vector<item_t*> shown;
    for (item_t* it = l.head; it; it = it->next)
        if (canvas::isPickable(it)) shown.push_back(it);
    auto selectSome = [&] {
        model::deselectAll(l);
        for (int k = 0, n = 1 + next(4); k < n && !shown.empty(); ++k)
            model::setSelected(l, shown[size_t(next(int(shown.size())))], true);
    };
    switch (next(7)) {
    case 0: crowdedPage(l, next, 1); break;
    case 1:
        selectSome();
        for (item_t* v : model::beginEdit(l)) moveBy(v, next(80) - 40, next(80) - 40);
        break;
    case 2: model::undo(l); break;
    case 3: model::redo(l); break;
    case 4:
        selectSome();
        model::eraseSelection(l);
        break;
    case 5: {
        selectSome();
        model::itemList_t clip;
        model::copySelection(l, clip);
        for (item_t* v : model::pasteClipboard(l, clip)) moveBy(v, next(60), next(60));
        model::freeList(clip);
        break;
    }
    default:
        selectSome();
        model::sendToBack(l);
        break;
    }
    model::deselectAll(l);
}

} // namespace

// Picking looks only at the items the grid finds near the click; it picks
// what measuring every item picks, on a crowded page of every kind of
// outline, while the list changes between clicks as the editor changes it
// (an item the grid missed after a move, an erase or a paste, or a tie
// decided by grid order instead of list order, shows as another pick).
TEST(Picking, BoxShortcutPicksWhatMeasuringEveryItemPicks)
{
    listHolder_t h;
    uint32_t seed = 7;
    std::function<int(int)> next = [&seed](int mod) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(mod));
    };
    crowdedPage(h.l, next, 150);
    for (int n = 0; n < 2000; ++n) {
        if (n % 40 == 39) changeTheList(h.l, next);
        const point_t p{next(460), next(460)};
        double best = 10;
        int32_t bestZ = 0;
        item_t* expected = nullptr;
        for (item_t* it = h.l.head; it; it = it->next) {
            if (!canvas::isPickable(it)) continue;
            const double d = canvas::pickDistance(it, p);
            if (d < best || (d == best && it->zOrder > bestZ)) {
                best = d;
                bestZ = it->zOrder;
                expected = it;
            }
        }
        // No outline near: the front-most item the point lies inside.
        if (!expected)
            for (item_t* it = h.l.head; it; it = it->next)
                if (canvas::isPickable(it) && canvas::itemHolds(h.l, it, p) && (!expected || it->zOrder > expected->zOrder))
                    expected = it;
        EXPECT_EQ(canvas::pickItem(h.l, p, false, 8).item, expected) << p.x << "," << p.y << " pick " << n;
        ASSERT_TRUE(canvas::pickIndexConsistent(h.l)) << "pick " << n;
    }
}

// Area selection and the picture under a double click give what a walk over
// every item gives, while the list changes between them.
TEST(Picking, AreaSelectionAndPicturesUnderThePointFollowTheWalk)
{
    listHolder_t h;
    uint32_t seed = 11;
    std::function<int(int)> next = [&seed](int mod) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(mod));
    };
    crowdedPage(h.l, next, 150);
    for (int n = 0; n < 600; ++n) {
        if (n % 10 == 9) changeTheList(h.l, next);
        // An area from any corner, partial or not, some items kept.
        const int32_t x = next(460), y = next(460);
        const geometry::rect_t area{x, y, x + next(160) - 40, y + next(160) - 40};
        const bool partial = next(2) == 1;
        canvas::areaSelection_t keep;
        model::deselectAll(h.l);
        for (item_t* it = h.l.head; it; it = it->next)
            if (canvas::isPickable(it) && next(12) == 0) {
                model::setSelected(h.l, it, true);
                if (next(2)) keep.kept.insert(it);
            }
        std::vector<const item_t*> expected;
        for (item_t* it = h.l.head; it; it = it->next) {
            if (!canvas::isPickable(it)) continue;
            if (keep.kept.count(it)) {
                if (model::isSelected(it)) expected.push_back(it);
                continue;
            }
            geometry::areaTest_t how;
            how.crossing = partial;
            geometry::quadrangle_t outline;
            if (it->itemType == model::typeText || (it->itemType == model::typePicture && it->clipShape != 2)) {
                outline = it->itemType == model::typeText ? render::textBand(it) : canvas::pictureCorners(it);
                how.outline = &outline;
            }
            if (geometry::insideOrCrossing(it, area, how)) expected.push_back(it);
        }
        const int32_t count = canvas::selectInArea(h.l, area, partial, keep);
        const std::vector<item_t*> got = selectedItems(h.l);
        EXPECT_EQ(std::vector<const item_t*>(got.begin(), got.end()), expected) << "area " << n;
        EXPECT_EQ(count, int32_t(expected.size()));

        const point_t p{next(460), next(460)};
        const item_t* picture = nullptr;
        for (item_t* it = h.l.head; it; it = it->next) {
            if (!canvas::isPickable(it) || it->itemType != model::typePicture) continue;
            const bool inside = it->clipShape == 2
                                    ? geometry::distance(p, {it->x1, it->y1}) <= geometry::distance({it->x1, it->y1}, {it->x2, it->y2})
                                    : geometry::pointInBand(p, canvas::pictureCorners(it));
            if (inside && (!picture || it->zOrder > picture->zOrder)) picture = it;
        }
        EXPECT_EQ(canvas::pictureAt(h.l, p), picture) << p.x << "," << p.y;
    }
}

// ---------------------------------------------------------------- panels

TEST(Picking, PanelFollowsTheSelection)
{
    listHolder_t h;
    item_t* open = addSpline(h.l, {{0, 0}, {50, 0}, {50, 50}}, 0);
    item_t* closed = addSpline(h.l, {{0, 100}, {50, 100}, {50, 150}}, 1);
    item_t* filled = addSpline(h.l, {{0, 200}, {50, 200}, {50, 250}}, 2);
    item_t* ln = addLine(h.l, {0, 300}, {100, 300});
    EXPECT_EQ(canvas::panelForSelection(h.l), 20);
    select(h.l, {open});
    EXPECT_EQ(canvas::panelForSelection(h.l), 209);
    select(h.l, {filled});
    EXPECT_EQ(canvas::panelForSelection(h.l), 210);
    // Closed and filled splines are one kind; open ones another.
    select(h.l, {closed, filled});
    EXPECT_TRUE(canvas::isHomogeneous(h.l));
    select(h.l, {open, closed});
    EXPECT_FALSE(canvas::isHomogeneous(h.l));
    EXPECT_EQ(canvas::panelForSelection(h.l), 59);
    select(h.l, {ln});
    EXPECT_EQ(canvas::panelForSelection(h.l), 99);
    // A group handle alone leaves the panel as it is; beside a line it does not count.
    item_t* g = model::newItem(h.l, model::typeGroupHandle);
    select(h.l, {g});
    EXPECT_EQ(canvas::panelForSelection(h.l), 0);
    select(h.l, {g, ln});
    EXPECT_EQ(canvas::panelForSelection(h.l), 99);
    const std::pair<int32_t, int32_t> table[] = {
        {model::typeText, 301},   {model::typeTriangle, 200}, {model::typeSquare, 201},  {model::typeRectangle, 202},
        {model::typeCircle, 203}, {model::typeEllipse, 204},  {model::typePolygon, 299}, {model::typeStar, 206},
        {model::typePie, 207},    {model::typeArc, 208},      {model::typeCurve, 211},   {model::typePicture, 401}};
    for (const auto& [type, panel] : table) EXPECT_EQ(canvas::panelForType(type, 0), panel) << type;
    EXPECT_EQ(canvas::panelForType(model::typeCurve, 2), 212);
}

// ---------------------------------------------------------------- the window: clicks

class Pointer : public WindowTest {};

TEST_F(Pointer, ElevenPixelsPicksNothingAt100PercentButPicksAt200)
{
    item_t* ln = addLine(items(), {100, 200}, {400, 200});
    paintWithMarks();
    click({250, 211});
    EXPECT_FALSE(model::isSelected(ln));
    ASSERT_FALSE(host.panels.empty());
    EXPECT_EQ(host.panels.back(), 20);

    w->applyZoom(2.0);
    w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    // The same 11 screen pixels are 5.5 document pixels now.
    const point_t on = screen({250, 200});
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(on.x, on.y + 11));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(on.x, on.y + 11));
    EXPECT_TRUE(model::isSelected(ln));
    EXPECT_EQ(host.panels.back(), 99);
    EXPECT_GT(host.editStates, 0);
}

TEST_F(Pointer, ClicksThroughQtMouseEventsSelectAndShiftDeselect)
{
    item_t* a = addRectangle(items(), {100, 300}, {200, 300}, 50);
    item_t* b = addTriangle(items(), {300, 300}, {400, 300}, {350, 220});
    paintWithMarks();
    QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::NoModifier, qscreen({150, 302}));
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{a}));
    EXPECT_EQ(host.panels.back(), 202);
    QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::ShiftModifier, qscreen({350, 303}));
    EXPECT_EQ(selectedItems(items()).size(), 2u);
    EXPECT_FALSE(w->doubleClickPending());
    EXPECT_EQ(host.panels.back(), 59);
    // Beside the handles of the selected rectangle (its side handle 207 sits at 150,300).
    QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::ShiftModifier, qscreen({125, 298}));
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{b}));
    EXPECT_EQ(host.panels.back(), 200);
    // Other buttons do not select.
    QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::RightButton, Qt::NoModifier, qscreen({150, 302}));
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{b}));
}

TEST_F(Pointer, MarksLeaveNoTraceAfterDeselection)
{
    // Overlapping items, so that marks of different items overlap too.
    addRectangle(items(), {100, 300}, {200, 300}, 50);
    addRectangle(items(), {104, 303}, {204, 303}, 50);
    addLine(items(), {98, 298}, {300, 298});
    paintWithMarks();
    const QImage clean = w->canvasImage().copy();
    // Select one, then all three by area, then click beside everything.
    click({150, 300});
    w->deferredTimerTimeout();  // a late deferred pass draws the marks again over themselves
    drag(qscreen({80, 200}), qscreen({320, 320}), Qt::ControlModifier);
    EXPECT_EQ(selectedItems(items()).size(), 3u);
    EXPECT_GT(differingPixels(clean, w->canvasImage()), 0);
    click({700, 700});
    EXPECT_TRUE(selectedItems(items()).empty());
    EXPECT_EQ(differingPixels(clean, w->canvasImage()), 0);
    EXPECT_EQ(differingPixels(clean, freshCanvas(*w)), 0);
}

// ---------------------------------------------------------------- area selection

TEST_F(Pointer, AreaSelectionInsideOrCrossingWithShift)
{
    item_t* inside = addRectangle(items(), {120, 300}, {180, 300}, 40);
    item_t* crossing = addRectangle(items(), {250, 300}, {400, 300}, 40);
    item_t* away = addTriangle(items(), {600, 600}, {650, 600}, {620, 560});
    paintWithMarks();
    const QImage clean = w->canvasImage().copy();
    drag(qscreen({100, 200}), qscreen({300, 320}), Qt::ControlModifier);
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{inside}));
    EXPECT_EQ(w->mode(), 0);
    EXPECT_EQ(w->areaRect(), QRect(qscreen({100, 200}), qscreen({300, 320})));
    EXPECT_EQ(host.panels.back(), 202);

    // Shift and Ctrl: crossing counts, and the selection held before stays.
    select(items(), {away});
    drag(qscreen({100, 200}), qscreen({300, 320}), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{inside, crossing, away}));
    EXPECT_EQ(host.panels.back(), 59);

    // Ctrl alone starts afresh; the frame and the marks leave no trace.
    drag(qscreen({500, 500}), qscreen({520, 520}), Qt::ControlModifier);
    EXPECT_TRUE(selectedItems(items()).empty());
    EXPECT_EQ(host.panels.back(), 20);
    EXPECT_EQ(differingPixels(clean, w->canvasImage()), 0);
}

TEST_F(Pointer, AreaFrameIsDrawnWhileDraggingAndItemsLeaveAgain)
{
    item_t* r = addRectangle(items(), {120, 300}, {180, 300}, 40);
    paintWithMarks();
    const QImage clean = w->canvasImage().copy();
    w->Image1MouseDown(Qt::LeftButton, Qt::ControlModifier, qscreen({100, 200}));
    EXPECT_EQ(w->mode(), canvas::modeAreaSelection);
    w->Image1MouseMove(Qt::LeftButton, Qt::ControlModifier, qscreen({300, 320}));
    EXPECT_TRUE(model::isSelected(r));
    // The frame one pixel outside the rectangle: red dots on yellow.
    const QPoint tl = qscreen({100, 200}) - QPoint(1, 1);
    const QImage& img = w->canvasImage();
    std::set<QRgb> colours;
    for (int x = tl.x(); x < tl.x() + 20; ++x) colours.insert(img.pixel(x, tl.y()));
    EXPECT_EQ(colours, (std::set<QRgb>{qRgb(255, 0, 0), qRgb(255, 255, 0)}));
    // Shrinking the area lets the item leave the selection again.
    w->Image1MouseMove(Qt::LeftButton, Qt::ControlModifier, qscreen({150, 320}));
    EXPECT_FALSE(model::isSelected(r));
    w->Image1MouseUp(Qt::LeftButton, Qt::ControlModifier, qscreen({150, 320}));
    EXPECT_EQ(differingPixels(clean, w->canvasImage()), 0);
}

// ---------------------------------------------------------------- moving

TEST_F(Pointer, AMixedSelectionMovesWithACornerOfTheTriangle)
{
    item_t* tri = addTriangle(items(), {100, 300}, {200, 300}, {150, 220});
    item_t* sq = addSquare(items(), {300, 300}, {360, 300});
    select(items(), {tri, sq});
    paintWithMarks();
    const point_t corner = handleAt(tri, -2);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {corner.x, corner.y});
    EXPECT_EQ(w->mode(), canvas::modeShapeHandle);
    EXPECT_EQ(w->handleCode(), canvas::handleMove);  // mixed: every handle moves
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {corner.x + 30, corner.y + 20});
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {corner.x + 30, corner.y + 20});
    EXPECT_EQ(w->mode(), 0);
    const item_t* tri2 = current(items(), tri);
    const item_t* sq2 = current(items(), sq);
    ASSERT_NE(tri2, tri);
    ASSERT_NE(sq2, sq);
    EXPECT_EQ(geometry::pointAt(tri2->points, 1), (point_t{130, 320}));
    EXPECT_EQ(geometry::pointAt(tri2->points, 3), (point_t{180, 240}));
    EXPECT_EQ(geometry::pointAt(sq2->points, 2), (point_t{390, 320}));
    EXPECT_EQ(sq2->boxLeft, sq->boxLeft + 30);
    EXPECT_EQ(sq2->y1, sq->y1 + 20);
    // The points are the reference of the next change; both stay selected.
    EXPECT_EQ(geometry::nodeAt(sq2->points, 2)->p.savedX, 390);
    EXPECT_EQ(selectedItems(items()).size(), 2u);
    // One undo puts both back.
    model::undo(items());
    EXPECT_FALSE(tri->hidden);
    EXPECT_FALSE(sq->hidden);
    EXPECT_TRUE(tri2->hidden);
    EXPECT_EQ(geometry::pointAt(tri->points, 1), (point_t{100, 300}));
}

TEST_F(Pointer, AHomogeneousSelectionKeepsTheHandleCode)
{
    item_t* a = addTriangle(items(), {100, 300}, {200, 300}, {150, 220});
    item_t* b = addTriangle(items(), {300, 300}, {400, 300}, {350, 220});
    select(items(), {a, b});
    const point_t corner = handleAt(a, -2);
    const size_t before = static_cast<size_t>(model::countItems(items()));
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {corner.x, corner.y});
    EXPECT_EQ(w->handleCode(), -2);
    // The press alone made the history step.
    EXPECT_EQ(static_cast<size_t>(model::countItems(items())), before + 2);
    EXPECT_TRUE(model::canUndo(items()));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {corner.x, corner.y});
    EXPECT_EQ(w->mode(), 0);
    EXPECT_EQ(selectedItems(items()).size(), 2u);
}

TEST_F(Pointer, MovingAGroupByItsHandleAndUndoing)
{
    item_t* a = addRectangle(items(), {100, 300}, {200, 300}, 50);
    item_t* ln = addLine(items(), {100, 400}, {300, 420});
    select(items(), {a, ln});
    item_t* g = model::joinItems(items());
    ASSERT_NE(g, nullptr);
    const point_t gc{g->x1, g->y1};
    item_t* a1 = current(items(), a);
    model::deselectAll(items());
    const QImage clean = freshCanvas(*w);
    // A click on a member selects the group with its handle.
    click({150, 301});
    EXPECT_EQ(selectedItems(items()).size(), 3u);
    w->deferredTimerTimeout();
    // Through Qt's mouse events: press on the red square, drag, release.
    const point_t at = screen(gc);
    QTest::mousePress(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
    EXPECT_EQ(w->mode(), canvas::modeShapeHandle);
    for (int k = 1; k <= 4; ++k)
        QTest::mouseMove(w->findChild<QWidget*>(QStringLiteral("canvasControl")), QPoint(at.x + 10 * k, at.y - 5 * k));
    QTest::mouseRelease(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::NoModifier, QPoint(at.x + 40, at.y - 20));
    EXPECT_EQ(w->mode(), 0);
    const item_t* a2 = current(items(), a);
    const item_t* ln2 = current(items(), ln);
    const item_t* g2 = current(items(), g);
    EXPECT_EQ(geometry::pointAt(a2->points, 1), (point_t{140, 280}));
    EXPECT_EQ(ln2->x2, 340);
    EXPECT_EQ(ln2->y2, 400);
    EXPECT_EQ(ln2->boxTop, 380);
    EXPECT_EQ(g2->x1, gc.x + 40);
    EXPECT_EQ(g2->refX2, gc.x);  // the reference stays until the next change
    EXPECT_EQ(a2->groupId, g->groupId);
    // Undo: one step for the whole group; the canvas shows the old places.
    model::undo(items());
    EXPECT_EQ(current(items(), a), a1);
    EXPECT_EQ(current(items(), g), g);
    EXPECT_EQ(differingPixels(clean, freshCanvas(*w)), 0);
}

TEST_F(Pointer, DragIsComputedFromTheReferenceNotIncrementally)
{
    w->applyZoom(1.5);
    w->findChild<QTimer*>(QStringLiteral("fullQualityTimer"))->stop();
    item_t* s = addSpline(items(), {{101, 301}, {203, 305}, {150, 377}}, 1);
    select(items(), {s});
    const point_t centre = handleAt(s, 7);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {centre.x, centre.y});
    for (int k = 1; k <= 25; ++k)
        w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {centre.x + (k * 7) % 23, centre.y - (k * 5) % 17});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {centre.x + 3, centre.y + 3});
    const item_t* s2 = current(items(), s);
    // Three screen pixels at 150 % are two document pixels.
    EXPECT_EQ(geometry::pointAt(s2->points, 1), (point_t{103, 303}));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {centre.x, centre.y});
    EXPECT_EQ(geometry::pointAt(s2->points, 2), (point_t{203, 305}));
    EXPECT_EQ(s2->boxLeft, s->boxLeft);
    EXPECT_EQ(s2->boxBottom, s->boxBottom);
}

TEST_F(Pointer, WhileDraggingTheOldPlaceIsCleanAndTheEndRepaintsWithMarks)
{
    item_t* r = addRectangle(items(), {100, 300}, {200, 300}, 50);
    select(items(), {r});
    paintWithMarks();
    const point_t centre = handleAt(r, 7);
    const point_t edge = screen({100, 280});  // on the left side
    const QImage& img = w->canvasImage();
    EXPECT_NE(img.pixel(edge.x, edge.y), qRgb(255, 255, 255));
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {centre.x, centre.y});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {centre.x + 300, centre.y});
    EXPECT_EQ(img.pixel(edge.x, edge.y), qRgb(255, 255, 255));
    EXPECT_NE(img.pixel(edge.x + 300, edge.y), qRgb(255, 255, 255));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {centre.x + 300, centre.y});
    EXPECT_TRUE(w->findChild<QTimer*>(QStringLiteral("deferredTimer"))->isActive());
    w->deferredTimerTimeout();
    EXPECT_EQ(differingPixels(w->canvasImage(), freshCanvas(*w)), 0);
    // The move handle came back at the new centre.
    const point_t moved = handleAt(current(items(), r), 7);
    EXPECT_EQ(moved.x, centre.x + 300);
    EXPECT_EQ(w->canvasImage().pixel(moved.x, moved.y), qRgb(255, 255, 0));
}

TEST_F(Pointer, AMovedShadowedItemLeavesTheCanvasAsAFreshRepaint)
{
    // Soft shadows and round surfaces under, on and over the moved item: the
    // shadow at the old place goes, the one at the new place is whole, and
    // what the moved shadow falls on is darkened exactly once.
    item_t* under = addCircle(items(), {330, 330}, 60);
    item_t* r = addRectangle(items(), {100, 300}, {200, 300}, 50);
    item_t* over = addTriangle(items(), {380, 280}, {460, 280}, {420, 220});
    for (item_t* it : {under, r, over}) {
        it->shadowElevation = 85;
        it->shadowFade = 85;
        it->shadowLightness = 85;
        it->surface = 127;
        it->fillColor = 0x3070E0;
        it->lineWeight = 1.0;
    }
    select(items(), {r});
    paintWithMarks();
    const point_t centre = handleAt(r, 7);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {centre.x, centre.y});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {centre.x + 120, centre.y + 20});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {centre.x + 190, centre.y + 10});
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {centre.x + 190, centre.y + 10});
    w->deferredTimerTimeout();
    EXPECT_EQ(differingPixels(w->canvasImage(), freshCanvas(*w)), 0);
}

TEST_F(Pointer, APictureAloneFollowsTheMouseWithItsCentre)
{
    item_t* p = addPicture(items(), {100, 100}, {300, 200});
    select(items(), {p});
    const point_t centre = handleAt(p, 7);
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {centre.x + 3, centre.y - 2});
    EXPECT_EQ(w->mode(), canvas::modePictureHandle);
    const point_t to = screen({500, 400});
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, {to.x, to.y});
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {to.x, to.y});
    const item_t* p2 = current(items(), p);
    EXPECT_EQ(p2->x1, 400);
    EXPECT_EQ(p2->y1, 350);
    EXPECT_EQ(p2->x2, 600);
    EXPECT_EQ(p2->boxBottom, 450);
}

// ---------------------------------------------------------------- placing pasted items

TEST_F(Pointer, PastedGroupFollowsTheMouseUntilRelease)
{
    item_t* a = addRectangle(items(), {100, 300}, {200, 300}, 50);
    item_t* b = addLine(items(), {300, 300}, {400, 360});
    select(items(), {a, b});
    model::joinItems(items());
    model::copySelection(items(), model::clipboardList());
    const std::vector<item_t*> pasted = model::pasteClipboard(items(), model::clipboardList());
    ASSERT_EQ(pasted.size(), 2u);
    w->startPlacing(pasted);
    EXPECT_EQ(w->mode(), canvas::modePlacing);
    EXPECT_EQ(w->handleCode(), canvas::handleMove);
    // A press does nothing; every move puts the average midpoint under the mouse.
    const point_t target = screen({600, 600});
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, {target.x - 50, target.y});
    EXPECT_EQ(w->mode(), canvas::modePlacing);
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, {target.x - 50, target.y});
    w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, {target.x, target.y});
    const model::pastePoint_t mid = model::placingStart(pasted);
    EXPECT_EQ(mid.x, 600);
    EXPECT_EQ(mid.y, 600);
    EXPECT_EQ(pasted[0]->groupId, pasted[1]->groupId);
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, {target.x, target.y});
    EXPECT_EQ(w->mode(), 0);
    // The moved points are now the saved ones; the items stay selected.
    const model::pointNode_t* n = pasted[0]->points.head;
    EXPECT_EQ(n->p.savedX, n->p.x);
    EXPECT_EQ(selectedItems(items()), pasted);
    EXPECT_EQ(differingPixels(w->canvasImage(), freshCanvas(*w)), 0);
    model::freeList(model::clipboardList());
}

// ---------------------------------------------------------------- double click

TEST_F(Pointer, DoubleClickPicksTheFrontPictureUnderTheMouse)
{
    item_t* back = addPicture(items(), {100, 100}, {300, 300});
    item_t* front = addPicture(items(), {200, 200}, {400, 400});
    item_t* ln = addLine(items(), {500, 500}, {600, 500});
    select(items(), {ln});
    const QPoint at = qscreen({250, 250});
    w->Image1DblClick(at);
    EXPECT_TRUE(w->doubleClickPending());
    EXPECT_TRUE(w->findChild<QTimer*>(QStringLiteral("doubleClickTimer"))->isActive());
    // The second release of a double click is not a click.
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{ln}));
    w->doubleClickTimerTimeout();
    EXPECT_FALSE(w->doubleClickPending());
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{front}));
    EXPECT_EQ(host.panels.back(), 401);
    // Beside every picture nothing changes.
    const point_t beside = screen({700, 700});
    w->Image1DblClick(QPoint(beside.x, beside.y));
    w->doubleClickTimerTimeout();
    EXPECT_EQ(selectedItems(items()), (std::vector<item_t*>{front}));
    (void)back;
}
