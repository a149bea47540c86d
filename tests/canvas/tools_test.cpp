// The insertion tools driven through the document window's handlers: click
// sequences, drags, keys, previews and the items they create.
#include "ui/dialogs.h"
#include "canvas/creation.h"
#include "canvas/guidance.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "model/itemlist.h"

#include "host_stub.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using namespace canvas;
using geometry::point_t;

namespace {

class Tools : public ::testing::Test {
protected:
    recordingHost_t host;
    ui::scriptedDialogs_t dlg;
    ui::scopedDialogs_t scope{dlg};
    std::unique_ptr<TSandbox> w;

    void SetUp() override
    {
        settings::TParams& p = params();
        p.currentZoom = 1.0;
        p.lastMode = 0;
        p.lineDirection = -1.0;
        p.linePattern = 0;
        p.linePatternTab = 0;
        p.polyshape = p.polystate = p.bpolyshape = p.bpolystate = 0;
        p.polysides = 5;
        p.shpoly = {};
        // The settings live for the program run: a surface or weight left by
        // an earlier test would change what every shape looks like.
        p.poplas = 0;
        p.polywidth = 0.0;
        p.polytab = 0;
        w = std::make_unique<TSandbox>(&host);
        w->resize(1000, 1200);
        ASSERT_TRUE(w->openDocument(7, QString()));
        w->repaintAll(false);
    }

    // A quick click: press and release without the hold timer firing.
    void click(point_t p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        w->Image1MouseMove(Qt::NoButton, mods, QPoint(p.x, p.y));
        w->Image1MouseDown(Qt::LeftButton, mods, QPoint(p.x, p.y));
        w->Image1MouseUp(Qt::LeftButton, mods, QPoint(p.x, p.y));
    }
    // Press, hold past the timer, drag to `to`, release.
    void drag(point_t from, point_t to)
    {
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(from.x, from.y));
        w->holdTimerTimeout();
        w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
        w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(to.x, to.y));
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(to.x, to.y));
    }
    void move(point_t p) { w->Image1MouseMove(Qt::NoButton, Qt::NoModifier, QPoint(p.x, p.y)); }
    bool key(int k) { return w->FormKeyDown(k, Qt::NoModifier); }

    std::vector<model::item_t*> drawables() const
    {
        std::vector<model::item_t*> out;
        for (model::item_t* it = w->items().head; it; it = it->next)
            if (it->kind == model::kindItem && !it->hidden &&
                (it->itemType == model::typeLine || model::isShapeType(it->itemType)))
                out.push_back(it);
        return out;
    }
    model::item_t* only()
    {
        auto v = drawables();
        return v.size() == 1 ? v[0] : nullptr;
    }
    std::vector<point_t> points(const model::item_t* it) const
    {
        std::vector<point_t> out;
        for (const model::pointNode_t* n = it->points.head; n; n = n->next) out.push_back({n->p.x, n->p.y});
        return out;
    }
    // The canvas of a fresh full repaint of the same document.
    QImage freshCanvas()
    {
        w->repaintAll(false);
        return w->canvasImage().copy();
    }
};

} // namespace

TEST_F(Tools, CircleIgnoresASecondClickOnTheCentreAndStaysTheTool)
{
    w->selectTool(103);
    click({200, 200});
    click({200, 200});
    EXPECT_EQ(w->clickCount(), 1);
    EXPECT_TRUE(drawables().empty());
    move({260, 280});
    click({260, 280});
    model::item_t* c = only();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->itemType, model::typeCircle);
    const auto pts = points(c);
    ASSERT_GE(pts.size(), 2u);
    EXPECT_EQ(pts[0], w->toDoc({200, 200}));
    EXPECT_EQ(pts[1], w->toDoc({260, 280}));
    EXPECT_EQ(w->mode(), 103);
    EXPECT_EQ(w->clickCount(), 0);
    EXPECT_FALSE(model::isSelected(c));
    EXPECT_TRUE(host.guidance.contains(1049));
}

TEST_F(Tools, PressHeldTakesTheFirstPointSoADragMakesTheItem)
{
    w->selectTool(103);
    drag({300, 300}, {350, 300});
    model::item_t* c = only();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(points(c)[0], w->toDoc({300, 300}));
    EXPECT_EQ(points(c)[1], w->toDoc({350, 300}));

    // Released before the timer: only the centre is taken.
    model::undo(w->items());
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    w->holdTimerTimeout();  // fires late: the button is up, nothing happens
    EXPECT_EQ(w->clickCount(), 1);
    EXPECT_TRUE(drawables().empty());
    // The release placed the centre: the next click finishes the circle around it.
    click({150, 130});
    model::item_t* held = only();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(points(held)[0], w->toDoc({150, 100}));
}

TEST_F(Tools, EveryToolMakesItsItemFromClicksWithTheDefaults)
{
    settings::TParams& p = params();
    p.polycolor = 0x123456;
    p.polyfill = 0x00FF00;
    p.polywidth = 1.5;
    p.poplas = 127;
    p.shpoly = {4, 5, 6};
    p.polysides = 7;
    struct row_t {
        int32_t tool;
        std::vector<point_t> clicks;
        int32_t type;
        int32_t variant;
        size_t pointCount;
    };
    const std::vector<row_t> rows = {
        {100, {{100, 100}, {200, 100}, {150, 20}}, model::typeTriangle, 2, 3},
        {101, {{100, 100}, {200, 100}}, model::typeSquare, 2, 4},
        {102, {{100, 100}, {200, 100}, {170, 40}}, model::typeRectangle, 2, 4},
        {103, {{100, 100}, {140, 100}}, model::typeCircle, 0, 4},
        {104, {{300, 300}, {400, 300}, {300, 250}}, model::typeEllipse, 0, 3},
        {105, {{300, 300}, {360, 300}, {320, 300}}, model::typeStar, 0, 2 + 14},
        {107, {{300, 300}, {360, 300}, {300, 240}}, model::typePie, 0, 3},
        {108, {{300, 300}, {360, 300}, {300, 240}}, model::typeArc, 0, 3},
        {199, {{300, 300}, {360, 300}}, model::typePolygon, 0, 2 + 7},
    };
    for (const row_t& r : rows) {
        SCOPED_TRACE(r.tool);
        model::freeList(w->items());
        ASSERT_TRUE(w->openDocument(7, QString()));
        w->selectTool(r.tool);
        for (point_t c : r.clicks) {
            move(c);
            click(c);
        }
        model::item_t* it = only();
        ASSERT_NE(it, nullptr);
        EXPECT_EQ(it->itemType, r.type);
        EXPECT_EQ(points(it).size(), r.pointCount);
        if (r.type == model::typeTriangle || r.type == model::typeSquare || r.type == model::typeRectangle) {
            EXPECT_EQ(it->shapeVariant, r.variant);
        }
        EXPECT_EQ(it->lineColor, 0x123456);
        EXPECT_EQ(it->fillColor, 0x00FF00);
        EXPECT_DOUBLE_EQ(it->lineWeight, 1.5);
        EXPECT_DOUBLE_EQ(it->outlineWeight, 1.5);
        EXPECT_EQ(it->penWidthPx, geometry::penWidthAt(1.0, 1.5));
        EXPECT_EQ(it->surface, 127);
        EXPECT_EQ(it->shadowElevation, 4);
        EXPECT_EQ(it->shadowFade, 5);
        EXPECT_EQ(it->shadowLightness, 6);
        EXPECT_EQ(it->sides, 7);
        EXPECT_EQ(it->undoState, model::stateDone);
        EXPECT_EQ(it->zOrder, model::maxZOrder(w->items()));
        EXPECT_NEAR(it->mx1, it->x1 * model::screen().pxPerMmX, 1e-9);
        EXPECT_LE(it->boxLeft, it->boxRight);
        EXPECT_GT(it->boxWidth, 0);
        EXPECT_EQ(w->mode(), r.tool);
        // One undo takes the whole item away, redo brings it back.
        ASSERT_TRUE(model::undo(w->items()));
        EXPECT_TRUE(drawables().empty());
        ASSERT_TRUE(model::redo(w->items()));
        EXPECT_EQ(drawables().size(), 1u);
        EXPECT_FALSE(model::canRedo(w->items()));
    }
}

TEST_F(Tools, StarPieAndArcTakeTheirPointsInTheirOrder)
{
    w->selectTool(105);
    for (point_t c : {point_t{300, 300}, point_t{380, 300}, point_t{330, 300}}) click(c);
    model::item_t* star = only();
    ASSERT_NE(star, nullptr);
    // Centre, the first vertex at the size click, then the spike radius first.
    EXPECT_EQ(points(star)[1], w->toDoc({380, 300}));
    const point_t c = points(star)[0], v3 = points(star)[2];
    EXPECT_NEAR(geometry::distance(c, v3), 30.0, 1.0);

    model::undo(w->items());
    w->selectTool(107);
    for (point_t q : {point_t{300, 300}, point_t{360, 300}, point_t{300, 200}}) click(q);
    model::item_t* pie = nullptr;
    for (model::item_t* it : drawables()) pie = it;
    ASSERT_NE(pie, nullptr);
    const auto pp = points(pie);
    EXPECT_EQ(pp[1], w->toDoc({360, 300}));  // start at the second click
    EXPECT_EQ(pp[2], w->toDoc({300, 240}));  // end towards the third, on the circle
}

TEST_F(Tools, RepeatedPointsAreIgnoredAndMakeNoZeroSizeItem)
{
    for (int32_t tool : {100, 101, 102, 103, 104, 105, 107, 108, 199, 1}) {
        SCOPED_TRACE(tool);
        w->selectTool(tool);
        click({250, 250});
        click({250, 250});
        click({250, 250});
        EXPECT_TRUE(drawables().empty());
        key(Qt::Key_Escape);
        w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));  // clears the ignored gesture
        w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
        key(Qt::Key_Escape);
    }
}

TEST_F(Tools, LineWithAPresetDirectionFollowsItAndShowsAGuide)
{
    params().lineDirection = 90.0;
    w->selectTool(1);
    EXPECT_EQ(w->mode(), 1);
    click({200, 300});
    move({260, 200});
    // The dotted guide runs horizontally from the constrained end to the mouse.
    ASSERT_TRUE(w->guideBuffer().valid);
    EXPECT_EQ(w->guideBuffer().rect.top(), 199);
    EXPECT_EQ(w->guideBuffer().rect.height(), 3);
    const QRgb mid = w->canvasImage().pixel(230, 200);
    EXPECT_TRUE(mid == qRgb(255, 0, 0) || mid == qRgb(255, 255, 0)) << std::hex << mid;
    click({260, 200});
    model::item_t* line = only();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x1, line->x2);
    EXPECT_EQ(line->y2, w->toDoc({0, 200}).y);
    EXPECT_DOUBLE_EQ(line->direction, 90.0);
    EXPECT_FALSE(w->guideBuffer().valid);

    // A click level with the start would make a line of no length: ignored.
    click({100, 500});
    click({180, 500});
    EXPECT_EQ(w->clickCount(), 1);
    EXPECT_EQ(drawables().size(), 1u);
}

TEST_F(Tools, LineEndConstraintFollowsTheDirectionRules)
{
    const point_t s{100, 100};
    EXPECT_EQ(constrainLineEnd(s, {170, 40}, -1).end, (point_t{170, 40}));
    EXPECT_EQ(constrainLineEnd(s, {170, 40}, 0).end, (point_t{170, 100}));
    EXPECT_EQ(constrainLineEnd(s, {170, 40}, 180).end, (point_t{170, 100}));
    EXPECT_EQ(constrainLineEnd(s, {170, 40}, 270).end, (point_t{100, 40}));
    // 45°: the end keeps the mouse's y and runs up to the right.
    EXPECT_EQ(constrainLineEnd(s, {170, 40}, 45).end, (point_t{160, 40}));
    // 30°: the end keeps the mouse's x; tan 30° × 70 = 40.4.
    const constrainedEnd_t c = constrainLineEnd(s, {170, 40}, 30);
    EXPECT_EQ(c.end, (point_t{170, 60}));
    EXPECT_FALSE(c.keptMouseY);
    // 135° goes up to the left.
    EXPECT_EQ(constrainLineEnd(s, {0, 50}, 135).end, (point_t{50, 50}));
}

TEST_F(Tools, LineTakesTheLineDefaultsAndACustomPatternRecord)
{
    settings::TParams& p = params();
    p.lineColor = 0x0000FF;
    p.lineWidth = 2.0;
    p.lineOutline = 0.5;
    p.lineFill = 0x00FFFF;
    p.liplas = 127;
    p.linePattern = 7;
    p.linePatternTab = 2;
    p.customPatterns[1].count = 2;
    p.customPatterns[1].segments[0] = 3.0;
    p.customPatterns[1].segments[1] = 1.5;
    w->selectTool(98);
    drag({100, 100}, {300, 180});
    model::item_t* line = only();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->lineColor, 0x0000FF);
    EXPECT_DOUBLE_EQ(line->lineWeight, 2.0);
    EXPECT_DOUBLE_EQ(line->outlineWeight, 0.5);
    EXPECT_EQ(line->fillColor, 0x00FFFF);
    EXPECT_EQ(line->surface, 127);
    ASSERT_LT(line->patternIndex, 0);
    const model::item_t* rec = nullptr;
    for (model::item_t* it = w->items().head; it; it = it->next)
        if (it->kind == model::kindPattern && it->itemType == line->patternIndex) rec = it;
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->pat().segmentCount, 2);
    EXPECT_DOUBLE_EQ(rec->pat().segments[1], 1.5);
    EXPECT_EQ(line->boxWidth, 200);
    EXPECT_EQ(line->diagonal, model::roundHalfEven(std::sqrt(200.0 * 200 + 80 * 80)));

    // Built-in positions are copied as they are.
    p.linePattern = 3;
    drag({100, 400}, {300, 400});
    EXPECT_EQ(drawables().back()->patternIndex, 3);
}

TEST_F(Tools, SplineEndsWithEnterShiftClickOrBackspace)
{
    w->selectTool(109);
    const std::vector<point_t> clicks = {{100, 100}, {200, 150}, {300, 100}, {400, 150}};
    for (point_t c : clicks) {
        move(c);
        click(c);
    }
    move({450, 300});
    EXPECT_TRUE(key(Qt::Key_Return));
    model::item_t* s = only();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->itemType, model::typeSpline);
    EXPECT_EQ(s->shapeVariant, 0);
    ASSERT_EQ(points(s).size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(points(s)[i], w->toDoc(clicks[i]));
    EXPECT_TRUE(host.guidance.contains(1061));
    EXPECT_EQ(host.guidance.back(), 1059);

    model::undo(w->items());
    for (point_t c : clicks) click(c);
    click({500, 200}, Qt::ShiftModifier);
    ASSERT_NE(only(), nullptr);
    EXPECT_EQ(points(only()).size(), 5u);
    EXPECT_EQ(points(only()).back(), w->toDoc({500, 200}));

    model::undo(w->items());
    for (point_t c : {clicks[0], clicks[1], clicks[2]}) click(c);
    move({350, 350});
    EXPECT_TRUE(key(Qt::Key_Backspace));
    // Two placed points and the rubber point at the mouse.
    ASSERT_EQ(w->toolPoints().size(), 3u);
    EXPECT_EQ(w->toolPoints()[1], clicks[1]);
    EXPECT_EQ(w->toolPoints()[2], (point_t{350, 350}));
    EXPECT_TRUE(key(Qt::Key_Backspace));
    EXPECT_TRUE(key(Qt::Key_Backspace));
    EXPECT_EQ(w->clickCount(), 0);
    EXPECT_TRUE(drawables().empty());
    EXPECT_EQ(host.panels.back(), 109);
}

TEST_F(Tools, SplinePreviewShowsTheItemThatEnterCreatesAndDottedEdgesToTheMouse)
{
    // Per tool: the filled and the open variant. The mouse away from the
    // last point must not bend the preview (a self-crossing outline), only the
    // dotted guides may show it.
    for (const int32_t tool : {canvas::toolSolid, canvas::toolSpline, canvas::toolOblong}) {
        SCOPED_TRACE(tool);
        params().polyfill = 0x00C000;
        model::freeList(w->items());
        ASSERT_TRUE(w->openDocument(7, QString()));
        w->selectTool(tool);
        const std::vector<point_t> corners = {{100, 100}, {300, 100}, {300, 300}, {100, 300}};
        for (point_t c : corners) {
            move(c);
            click(c);
        }
        const point_t mouse{200, 420};
        move(mouse);
        const QImage preview = w->canvasImage().copy();
        // The status line says how to end, and C only where it closes the shape.
        EXPECT_TRUE(host.status.contains(QStringLiteral("Enter"))) << host.status.toStdString();
        EXPECT_EQ(host.status.contains(QStringLiteral("C to close")), tool == canvas::toolSpline);
        ASSERT_TRUE(key(Qt::Key_Return));
        EXPECT_TRUE(host.status.isEmpty());
        ASSERT_NE(only(), nullptr);
        w->repaintAll(false);
        const QImage created = w->canvasImage();
        // Everything but the guides' pixels is the created item.
        QImage guides(created.size(), QImage::Format_RGB32);
        guides.fill(Qt::black);
        QPainter g(&guides);
        g.setPen(QPen(Qt::white, 5));
        g.drawLine(100, 300, mouse.x, mouse.y);  // last corner -> mouse
        g.drawLine(mouse.x, mouse.y, 100, 100);  // mouse -> first corner
        g.end();
        int32_t differing = 0;
        for (int y = 0; y < created.height(); ++y)
            for (int x = 0; x < created.width(); ++x)
                if (guides.pixel(x, y) == qRgb(0, 0, 0) && preview.pixel(x, y) != created.pixel(x, y)) ++differing;
        EXPECT_EQ(differing, 0);
        // The guides themselves show on the preview.
        EXPECT_NE(preview.pixel(150, 360), created.pixel(150, 360));
    }
}

TEST_F(Tools, OpenCurveClosesWithCOnlyFromThreePoints)
{
    w->selectTool(111);
    click({100, 100});
    click({200, 100});
    move({250, 200});
    EXPECT_TRUE(key(Qt::Key_C));
    EXPECT_TRUE(drawables().empty());
    EXPECT_EQ(w->clickCount(), 1);
    click({250, 200});
    move({50, 250});
    EXPECT_TRUE(key(Qt::Key_C));
    model::item_t* c = only();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->itemType, model::typeCurve);
    EXPECT_EQ(c->shapeVariant, 1);
    EXPECT_EQ(points(c).size(), 3u);
    // Closed control points: the first point's leaving control point is off the chord to P2.
    const model::pointNode_t* first = c->points.head;
    EXPECT_NE(first->p.c1y, first->p.y);
    // The box includes the control points.
    int32_t minY = INT32_MAX;
    for (const model::pointNode_t* n = c->points.head; n; n = n->next) minY = std::min({minY, n->p.y, n->p.c1y, n->p.c2y});
    EXPECT_LE(c->boxTop, minY);

    // A solid spline (tool 110) ignores C and is filled.
    w->selectTool(110);
    EXPECT_EQ(params().polyshape, 2);
    click({300, 300});
    click({400, 300});
    click({400, 400});
    EXPECT_FALSE(key(Qt::Key_C));
    EXPECT_TRUE(key(Qt::Key_Enter));
    EXPECT_EQ(drawables().back()->shapeVariant, 2);
    w->selectTool(109);
    EXPECT_EQ(params().polyshape, params().polystate);
}

TEST_F(Tools, EscInTheMiddleOfAStarLeavesNothingAndIgnoresTheRelease)
{
    const QImage before = w->canvasImage().copy();
    w->selectTool(105);
    click({300, 300});
    move({360, 300});
    click({360, 300});
    move({330, 330});
    EXPECT_NE(w->canvasImage(), before);  // the preview shows
    w->Image1MouseDown(Qt::LeftButton, Qt::NoModifier, QPoint(340, 340));
    EXPECT_TRUE(key(Qt::Key_Escape));
    w->Image1MouseMove(Qt::LeftButton, Qt::NoModifier, QPoint(345, 345));
    w->Image1MouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(345, 345));
    EXPECT_EQ(w->clickCount(), 0);
    EXPECT_TRUE(drawables().empty());
    EXPECT_EQ(w->canvasImage(), before);
}

TEST_F(Tools, PreviewsLeaveNoTraceOverExistingItems)
{
    w->selectTool(102);
    for (point_t c : {point_t{100, 100}, point_t{300, 100}, point_t{300, 200}}) click(c);
    w->selectTool(103);
    for (point_t c : {point_t{200, 150}, point_t{260, 150}}) click(c);
    const QImage settled = freshCanvas();
    ASSERT_EQ(w->canvasImage(), settled);
    for (int32_t tool : {1, 100, 102, 104, 105, 107, 111}) {
        SCOPED_TRACE(tool);
        w->selectTool(tool);
        click({150, 120});
        for (int32_t i = 0; i < 6; ++i) move({160 + 20 * i, 130 + 7 * i});
        if (tool != 1) click({250, 170});  // a second click would finish a line
        for (int32_t i = 0; i < 4; ++i) move({220 - 10 * i, 200 + 9 * i});
        key(Qt::Key_Escape);
        EXPECT_EQ(w->canvasImage(), settled);
        if (w->canvasImage() != settled) {
            int l = 9999, t = 9999, r = -1, b = -1;
            for (int y = 0; y < settled.height(); ++y)
                for (int x = 0; x < settled.width(); ++x)
                    if (w->canvasImage().pixel(x, y) != settled.pixel(x, y)) {
                        l = std::min(l, x); r = std::max(r, x); t = std::min(t, y); b = std::max(b, y);
                    }
            ADD_FAILURE() << l << "," << t << " - " << r << "," << b;
        }
        w->Image1MouseDown(Qt::RightButton, Qt::NoModifier, QPoint(0, 0));
    }
}

// Leaving a line or shape tool for the pointer in the middle of placing
// points takes the preview, guides and the tool's marks off without painting
// the canvas again: what stays is what a full repaint shows.
TEST_F(Tools, LeavingAToolForThePointerLeavesTheCanvasAsAFullRepaintWould)
{
    w->selectTool(102);
    for (point_t c : {point_t{100, 100}, point_t{300, 100}, point_t{300, 200}}) click(c);
    struct case_t {
        int32_t tool;
        int32_t direction;  // a line's preset direction draws a guide; -1 none
    };
    const case_t cases[] = {{1, -1}, {1, 45}, {100, -1}, {102, -1}, {105, -1}, {104, -1}, {107, -1}, {111, -1}};
    for (const case_t& c : cases) {
        SCOPED_TRACE(testing::Message() << "tool " << c.tool << " direction " << c.direction);
        canvas::params().lineDirection = c.direction;
        w->selectTool(c.tool);
        click({150, 120});
        for (int32_t i = 0; i < 6; ++i) move({160 + 20 * i, 130 + 7 * i});
        if (c.tool != 1) click({250, 170});
        for (int32_t i = 0; i < 4; ++i) move({220 - 10 * i, 200 + 9 * i});
        w->selectTool(modePointer);
        const QImage left = w->canvasImage().copy();
        EXPECT_EQ(left, freshCanvas());
    }
    canvas::params().lineDirection = -1;
}

// Switching from the pointer (with a selection's marks on the canvas) or
// from a line or shape tool in the middle of placing points to another tool
// takes the marks, guides and preview off without painting the canvas again:
// what stays is what a full repaint shows, and the new tool starts clean.
TEST_F(Tools, SwitchingToAnotherToolLeavesTheCanvasAsAFullRepaintWould)
{
    w->selectTool(102);
    for (point_t c : {point_t{100, 100}, point_t{300, 100}, point_t{300, 200}}) click(c);
    w->selectTool(103);
    for (point_t c : {point_t{200, 150}, point_t{260, 150}}) click(c);
    struct case_t {
        int32_t from, to;
        int32_t direction;  // a line's preset direction draws a guide; -1 none
    };
    const case_t cases[] = {{modePointer, 1, -1}, {modePointer, 104, -1}, {1, 102, 45},  {1, 105, -1},
                            {102, 1, -1},         {105, 111, -1},        {111, 100, -1}, {107, 1, 30}};
    for (const case_t& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << " to " << c.to);
        canvas::params().lineDirection = c.direction;
        w->selectTool(c.from);
        if (c.from == modePointer) {
            click({120, 100});  // selects the rectangle: its marks are drawn
            w->deferredTimerTimeout();
            ASSERT_NE(model::firstSelected(w->items()), nullptr);
        } else {
            click({150, 120});
            for (int32_t i = 0; i < 6; ++i) move({160 + 20 * i, 130 + 7 * i});
            if (c.from != 1) click({250, 170});
            for (int32_t i = 0; i < 4; ++i) move({220 - 10 * i, 200 + 9 * i});
        }
        w->selectTool(c.to);
        EXPECT_EQ(w->mode(), c.to);
        EXPECT_EQ(model::firstSelected(w->items()), nullptr);
        EXPECT_TRUE(w->toolPoints().empty());
        const QImage left = w->canvasImage().copy();
        EXPECT_EQ(left, freshCanvas());
    }
    canvas::params().lineDirection = -1;
}

TEST_F(Tools, CreatedItemLooksTheSameAsAfterAFullRepaint)
{
    w->selectTool(100);
    for (point_t c : {point_t{100, 300}, point_t{300, 300}, point_t{200, 120}}) {
        move(c);
        click(c);
    }
    const QImage drawn = w->canvasImage().copy();
    EXPECT_EQ(drawn, freshCanvas());
}

TEST_F(Tools, CtrlPressLeavesTheSequenceForTheAreaSelection)
{
    w->selectTool(100);
    click({100, 100});
    move({200, 100});
    w->Image1MouseDown(Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
    EXPECT_EQ(w->clickCount(), 0);
    EXPECT_FALSE(canvas::isToolMode(w->mode()));
    EXPECT_TRUE(w->toolPoints().empty());
}

TEST_F(Tools, EllipseWithCoincidentAxisPointsGetsADirection)
{
    w->selectTool(104);
    drag({300, 300}, {380, 300});
    EXPECT_EQ(w->clickCount(), 2);
    move({300, 260});
    click({300, 260});
    model::item_t* e = only();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(points(e)[0], w->toDoc({300, 300}));
    EXPECT_EQ(points(e)[1], w->toDoc({380, 300}));
}

TEST_F(Tools, RectangleWidthRunsPerpendicularToTheFirstSide)
{
    w->selectTool(102);
    click({100, 100});
    move({200, 100});
    click({200, 100});
    move({230, 40});
    // The third corner stays above the second; the guide runs to the mouse.
    ASSERT_EQ(w->toolPoints().size(), 4u);
    EXPECT_EQ(w->toolPoints()[2], (point_t{200, 40}));
    EXPECT_EQ(w->toolPoints()[3], (point_t{100, 40}));
    EXPECT_TRUE(w->guideBuffer().valid);
    click({230, 40});
    model::item_t* r = only();
    ASSERT_NE(r, nullptr);
    const auto pts = points(r);
    EXPECT_EQ(pts[2], w->toDoc({200, 40}));
    EXPECT_EQ(pts[3], w->toDoc({100, 40}));
}

TEST_F(Tools, ZoomedCanvasPointsBecomeDocumentPixels)
{
    w->applyZoom(2.0);
    ASSERT_DOUBLE_EQ(w->zoomFactor(), 2.0);
    w->selectTool(101);
    click({100, 100});
    click({300, 100});
    model::item_t* s = only();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(points(s)[1].x - points(s)[0].x, 100);
}

TEST_F(Tools, RealMouseEventsDrawATriangle)
{
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->selectTool(100);
    for (QPoint p : {QPoint(100, 300), QPoint(300, 300), QPoint(200, 120)}) {
        QTest::mouseMove(w->findChild<QWidget*>(QStringLiteral("canvasControl")), p);
        QTest::mouseClick(w->findChild<QWidget*>(QStringLiteral("canvasControl")), Qt::LeftButton, Qt::NoModifier, p);
    }
    model::item_t* t = only();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->itemType, model::typeTriangle);
    EXPECT_EQ(points(t)[2], w->toDoc({200, 120}));
}

TEST(ToolGuidance, LinesNameTheirTool)
{
    const QStringList tri = toolGuidance(100, 0);
    ASSERT_EQ(tri.size(), 4);
    EXPECT_EQ(tri[0], QStringLiteral("Select how you want the next triangle drawn."));
    EXPECT_EQ(tri[1], QStringLiteral("Click where you want to start the triangle, or..."));
    EXPECT_EQ(toolGuidance(105, 0)[1], QStringLiteral("Click where you want to place the star center."));
    EXPECT_EQ(toolGuidance(105, 0)[2], QStringLiteral("Then, move the mouse and click again to set the size of the star."));
    EXPECT_EQ(toolGuidance(107, 0)[3], QStringLiteral("Finally, move the mouse and click again to set the width of the pie."));
    EXPECT_EQ(toolGuidance(112, 0)[3],
              QStringLiteral("Finally, hold down the Shift key and click where you want to end the oblong."));
    EXPECT_EQ(toolGuidance(1, 1)[1], QStringLiteral("Click where you want to end the line."));
    EXPECT_TRUE(toolGuidance(31, 0).isEmpty());
    EXPECT_EQ(toolItemType(110), model::typeSpline);
    EXPECT_EQ(creationPage(108), 1065);
}

TEST_F(Tools, ChoosingAToolWhilePastedItemsArePlacedLeavesThemWhereTheyAre)
{
    w->selectTool(101);
    click({100, 100});
    click({160, 100});
    model::item_t* square = only();
    ASSERT_NE(square, nullptr);
    model::selectOnly(w->items(), square);
    model::itemList_t clip;
    model::copySelection(w->items(), clip);
    const std::vector<model::item_t*> pasted = model::pasteClipboard(w->items(), clip);
    ASSERT_EQ(pasted.size(), 1u);
    w->selectTool(0);
    w->startPlacing(pasted);
    ASSERT_EQ(w->mode(), 53);
    move({400, 400});
    const point_t placed = points(pasted[0])[0];
    EXPECT_NE(placed, points(square)[0]);
    w->selectTool(103);
    EXPECT_EQ(w->mode(), 103);
    EXPECT_EQ(points(pasted[0])[0], placed);
    EXPECT_EQ(pasted[0]->points.head->p.savedX, placed.x);
    EXPECT_EQ(pasted[0]->points.head->p.savedY, placed.y);
    model::freeList(clip);
}

TEST_F(Tools, HeavyPatternedLinePreviewLeavesNoTrace)
{
    settings::TParams& p = params();
    p.lineWidth = 5.0;
    p.lineOutline = 2.0;
    p.linePattern = 2;
    p.polywidth = 3.0;
    w->selectTool(103);
    click({300, 300});
    click({340, 300});
    const QImage settled = freshCanvas();
    for (int32_t tool : {1, 104, 109}) {
        SCOPED_TRACE(tool);
        w->selectTool(tool);
        click({250, 250});
        for (int32_t i = 0; i < 8; ++i) move({260 + 23 * i, 400 - 31 * i});
        key(Qt::Key_Escape);
        EXPECT_EQ(w->canvasImage(), settled);
        w->Image1MouseDown(Qt::RightButton, Qt::NoModifier, QPoint(0, 0));
    }
}

TEST(MarkSize, NewShapesLeaveRoomForMarksOfTheSettingsSize)
{
    // A thin square's box is padded by half the mark size, not by a fixed 4.
    for (const int32_t size : {8, 16}) {
        SCOPED_TRACE(size);
        settings::TParams p(nullptr);
        p.markWidth = p.markHeight = size;
        p.polywidth = 0.1;
        canvas::setParams(&p);
        model::itemList_t list;
        model::item_t* sq = model::newItem(list, model::typeSquare);
        sq->penWidthPx = 1;
        canvas::buildShapePoints(sq, model::typeSquare, {{100, 100}, {200, 100}}, 4);
        geometry::itemBounds(sq, canvas::handleSize());
        EXPECT_EQ(sq->boxLeft, 100 - size / 2);
        EXPECT_EQ(sq->boxRight, 200 + size / 2);
        model::freeList(list);
        canvas::setParams(nullptr);
    }
}
