// The insertion tools of the document window: the click sequences that place
// the points of a new item, their previews, and the keys of a sequence.
//
// Points are kept in canvas pixels while they are placed (a click on the same
// snapped pixel as the previous point is recognised exactly) and converted to
// document pixels when a preview is drawn or the item is created.
#include "canvas/sandbox.h"

#include "canvas/areapen.h"
#include "canvas/creation.h"
#include "canvas/guidance.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "render/shapedraw.h"
#include "render/strokes.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;

namespace {

// Tools whose first point is a single position (the others collect records).
bool takesFirstPoint(int32_t code)
{
    return code == 1 || code == 31 || code == 103 || code == 105 || code == 107 || code == 108 || code == 199;
}

bool isSplineTool(int32_t code)
{
    return code >= 109 && code <= 112;
}

double normalizedDegrees(double radians)
{
    double d = radians * 180.0 / std::numbers::pi;
    d = std::fmod(d, 360.0);
    if (d < 0) d += 360.0;
    return d;
}

// The pattern of a line being drawn, from the pattern list position of the
// settings: the built-in patterns, a custom preset's pixel lengths at the
// zoom, or solid.
render::pattern_t rubberPattern(const settings::TParams& p, double zoom)
{
    if (p.linePattern >= 0 && p.linePattern <= 4)
        return render::builtinPattern(p.linePattern, render::patternUnit(p.lineWidth, zoom));
    if (p.linePattern >= 6 && p.linePattern <= 17) {
        const settings::custPatternRec_t& row = p.customPatterns[size_t(p.linePattern - 6)];
        render::pattern_t pat;
        for (int32_t i = 0; i < std::clamp(row.count, 0, 12); ++i) {
            const int32_t px = row.segmentPixels[size_t(i)];
            pat.push_back(zoom == 1.0 ? px : int32_t(model::roundHalfEven(px * static_cast<long double>(zoom))));
        }
        if (!pat.empty() && std::any_of(pat.begin(), pat.end(), [](int32_t v) { return v > 0; })) return pat;
    }
    return {render::solidDash};
}

} // namespace

bool TSandbox::isToolMode(int32_t code)
{
    return code == 1 || code == 31 || (code >= 100 && code <= 199) || code == 297 || code == 298;
}

void TSandbox::selectTool(int32_t code)
{
    // Panel codes that stand for a tool: the insert panel is the pointer, the
    // line and text panels their tools; fine-tune panels are the pointer.
    int32_t m = 0;
    if (code == 98 || code == 1) m = 1;
    else if (code == 300 || code == 31) m = 31;
    else if (code >= 100 && code <= 199 && code != 106) m = code;
    settings::TParams& p = params();
    if (m == 109) p.polyshape = std::clamp(p.polystate, 0, 1);
    else if (m == 110) p.polyshape = 2;
    else if (m == 111) p.bpolyshape = std::clamp(p.bpolystate, 0, 1);
    else if (m == 112) p.bpolyshape = 2;
    endPlacing();
    abandonSequence();
    mode = m;
    ignoreGesture = 0;
    if (m != 0 && model::firstSelected(items)) {
        model::selectOnly(items, nullptr);
        if (host_) host_->editStateChanged(this);
    }
    selectionUnder = saveUnder_t{};
    if (ready) repaintAll(true);
}

void TSandbox::abandonSequence()
{
    Timer1.stop();
    // Only a tool's save-unders hold a preview; in the pointer mode they
    // hold the background of a change and are not put back here.
    if (isToolMode(mode)) erasePreview();
    clickCount = 0;
    rubberPoints.clear();
}

void TSandbox::followViewOrigin(point_t before)
{
    const int32_t dx = before.x - viewOrigin.x, dy = before.y - viewOrigin.y;
    if ((dx == 0 && dy == 0) || clickCount == 0) return;
    auto shift = [&](point_t& q) { q = {q.x + dx, q.y + dy}; };
    shift(firstPoint);
    shift(secondPoint);
    shift(mouseDownPoint);
    for (point_t& q : rubberPoints) shift(q);
    // The repaint took the preview away; it comes back with the next move.
    selectionUnder.saved = guideBuffer.saved = false;
}

// ---------------------------------------------------------------- previews

void TSandbox::erasePreview()
{
    restoreUnder(guideBuffer);
    restoreUnder(selectionUnder);
}

void TSandbox::drawPreviewItem(model::item_t* shape, point_t lineStart, point_t lineEnd)
{
    erasePreview();
    const double z = zoomFactor();
    const settings::TParams& p = params();
    QRect area;
    if (shape->itemType == model::typeLine) {
        area = QRect(QPoint(std::min(lineStart.x, lineEnd.x), std::min(lineStart.y, lineEnd.y)),
                     QPoint(std::max(lineStart.x, lineEnd.x), std::max(lineStart.y, lineEnd.y)));
    } else {
        geometry::itemBounds(shape);
        const render::rect_t r = render::itemReach(shape);
        const point_t a = toScreen({r.left, r.top}), b = toScreen({r.right, r.bottom});
        area = QRect(QPoint(a.x, a.y), QPoint(b.x, b.y));
    }
    const int32_t pen = geometry::penWidthAt(z, shape->lineWeight);
    const int32_t grow = std::max(p.markWidth / 2, pen) + 1;
    area.adjust(-grow, -grow, grow, grow);
    saveUnder(selectionUnder, area);
    if (shape->itemType == model::typeLine) {
        render::canvas_t canvas(canvasImage());
        render::drawLine(canvas, shape, {double(lineStart.x), double(lineStart.y)}, {double(lineEnd.x), double(lineEnd.y)},
                         render::lineStyleAt(shape, z, false), rubberPattern(p, z));
    } else {
        render::drawItem(view, shape, true);
    }
    Image1->update(selectionUnder.dest);
}

void TSandbox::drawGuideLine(point_t from, point_t to)
{
    if (from == to) return;
    const settings::TParams& p = params();
    const int32_t g = std::max(1, p.areaPenWidth) / 2 + 1;
    saveUnder(guideBuffer, QRect(QPoint(std::min(from.x, to.x) - g, std::min(from.y, to.y) - g),
                                 QPoint(std::max(from.x, to.x) + g, std::max(from.y, to.y) + g)));
    QPainter painter(&canvasImage());
    useAreaPen(painter, p);
    painter.drawLine(from.x, from.y, to.x, to.y);
    painter.end();
    Image1->update(guideBuffer.dest);
}

// The item the points placed so far would make, for drawing the preview
// (not part of the document).
std::unique_ptr<model::item_t> TSandbox::previewShape(int32_t itemType, const std::vector<point_t>& screenPoints,
                                                      int32_t variant) const
{
    auto shape = std::make_unique<model::item_t>();
    shape->kind = model::kindItem;
    shape->itemType = itemType;
    applyShapeDefaults(shape.get(), params());
    shape->shapeVariant = variant;
    std::vector<point_t> doc;
    for (point_t s : screenPoints) doc.push_back(toDoc(s));
    if (!buildShapePoints(shape.get(), itemType, doc, shape->sides)) return nullptr;
    return shape;
}

void TSandbox::showShapePreview(int32_t itemType, const std::vector<point_t>& screenPoints, int32_t variant)
{
    if (auto shape = previewShape(itemType, screenPoints, variant)) drawPreviewItem(shape.get(), {}, {});
    else erasePreview();
}

void TSandbox::showLinePreview(point_t mouse)
{
    const settings::TParams& p = params();
    const constrainedEnd_t c = constrainLineEnd(firstPoint, mouse, p.lineDirection);
    model::item_t line;
    line.kind = model::kindItem;
    line.itemType = model::typeLine;
    applyLineDefaults(&line, p, nullptr);
    // The stroke runs along the item's own angle: give it the preview's ends.
    const point_t a = toDoc(firstPoint), b = toDoc(c.end);
    line.x1 = a.x;
    line.y1 = a.y;
    line.x2 = b.x;
    line.y2 = b.y;
    geometry::lineGeometry(&line);
    drawPreviewItem(&line, firstPoint, c.end);
    // The end keeps one of the mouse's coordinates: the guide runs straight
    // (horizontally or vertically) from it to the mouse.
    if (p.lineDirection >= 0) drawGuideLine(c.end, mouse);
}

// The rectangle's third and fourth corners for the mouse: the width runs
// perpendicular to the first side, constrained like a line end.
void TSandbox::rectangleCorners(point_t mouse)
{
    const point_t p1 = rubberPoints[0], p2 = rubberPoints[1];
    const double theta = normalizedDegrees(geometry::segmentAngle(p1, p2) + std::numbers::pi / 2);
    const constrainedEnd_t c = constrainLineEnd(p2, mouse, theta);
    const point_t p3 = c.end;
    const point_t p4{geometry::clampToInt32(int64_t(p3.x) + p1.x - p2.x),
                     geometry::clampToInt32(int64_t(p3.y) + p1.y - p2.y)};
    rubberPoints = {p1, p2, p3, p4};
}

void TSandbox::redrawPreview(point_t mouse)
{
    const settings::TParams& p = params();
    switch (mode) {
    case 1: showLinePreview(mouse); break;
    case 100:
        if (clickCount == 1) showShapePreview(model::typeSpline, rubberPoints, 0);
        else showShapePreview(model::typeSpline, rubberPoints, 1);
        break;
    case 101: showShapePreview(model::typeSquare, {rubberPoints[0], rubberPoints[1]}, 1); break;
    case 102:
        if (clickCount == 1) showShapePreview(model::typeSpline, rubberPoints, 0);
        else {
            showShapePreview(model::typeSpline, rubberPoints, 1);
            // The constrained corner keeps one of the mouse's coordinates:
            // the guide runs straight from it to the mouse.
            drawGuideLine(rubberPoints[2], mouse);
        }
        break;
    case 103: showShapePreview(model::typeCircle, {firstPoint, mouse}, 1); break;
    case 199: showShapePreview(model::typePolygon, {firstPoint, mouse}, 1); break;
    case 104:
        if (clickCount == 1) showShapePreview(model::typeSpline, rubberPoints, 0);
        else showShapePreview(model::typeEllipse, rubberPoints, 1);
        break;
    case 105:
        if (clickCount == 1) showShapePreview(model::typeStar, {firstPoint, mouse, mouse}, 1);
        else showShapePreview(model::typeStar, {firstPoint, secondPoint, mouse}, 1);
        break;
    case 107:
    case 108: {
        const int32_t type = mode == 107 ? model::typePie : model::typeArc;
        if (clickCount == 1) showShapePreview(type, {firstPoint, mouse, mouse}, 1);
        else showShapePreview(type, {firstPoint, secondPoint, mouse}, 1);
        break;
    }
    case 109:
    case 110: showShapePreview(model::typeSpline, rubberPoints, mode == 110 ? 2 : std::clamp(p.polyshape, 0, 2)); break;
    case 111:
    case 112: showShapePreview(model::typeCurve, rubberPoints, mode == 112 ? 2 : std::clamp(p.bpolyshape, 0, 2)); break;
    default: break;
    }
}

// ---------------------------------------------------------------- mouse

void TSandbox::toolMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    // Marks of a selection left from the pointer mode go away.
    if (model::firstSelected(items)) {
        model::selectOnly(items, nullptr);
        repaintAll(false);
        if (host_) host_->editStateChanged(this);
    }
    if (mode >= 100 && mode <= 199 && clickCount != 0) return;
    if (mode == 297 || mode == 298) return;
    mouseDownPoint = snapped(pos);
    Timer1.start();
}

void TSandbox::Timer1Timer()
{
    Timer1.stop();
    // Held for the timer's interval: the press takes the first point, so that
    // dragging and releasing places the second.
    if (!buttonHeld || ignoreGesture || !isToolMode(mode) || clickCount != 0 || mode == 297 || mode == 298) return;
    if (takesFirstPoint(mode)) firstPoint = mouseDownPoint;
    else rubberPoints = {mouseDownPoint, mouseDownPoint};
    clickCount = 1;
    lastRubberPoint = mouseDownPoint;
}

void TSandbox::toolMouseMove(Qt::KeyboardModifiers, point_t pos)
{
    if (clickCount == 0 || mode == 31) return;
    const point_t p = snapped(pos);
    lastRubberPoint = p;
    if (!takesFirstPoint(mode)) {
        if (rubberPoints.empty()) return;
        switch (mode) {
        case 101: rubberPoints = {rubberPoints[0], p}; break;
        case 102:
            if (clickCount == 2) {
                rectangleCorners(p);
                break;
            }
            rubberPoints.back() = p;
            break;
        case 104:
            rubberPoints.back() = p;
            if (clickCount == 2 && rubberPoints.size() == 3 && rubberPoints[0] == rubberPoints[1]) rubberPoints[1].y += 10;
            break;
        default: rubberPoints.back() = p; break;
        }
    }
    redrawPreview(p);
}

model::item_t* TSandbox::createFromTool(const std::vector<point_t>& pts, int32_t variant)
{
    creationContext_t ctx{items, params(), zoomFactor(), viewOrigin};
    switch (mode) {
    case 1: return createLine(ctx, pts[0], pts[1]);
    case 100: return createFromRubber(ctx, model::typeTriangle, -1, pts);
    case 101: return createFromRubber(ctx, model::typeSquare, -1, pts);
    case 102: return createFromRubber(ctx, model::typeRectangle, -1, pts);
    case 104: return createEllipse(ctx, pts[0], pts[1], pts[2]);
    case 103: return createCentred(ctx, model::typeCircle, pts[0], pts[1], pts[1]);
    case 199: return createCentred(ctx, model::typePolygon, pts[0], pts[1], pts[1]);
    case 105: return createCentred(ctx, model::typeStar, pts[0], pts[1], pts[2]);
    case 107: return createCentred(ctx, model::typePie, pts[0], pts[1], pts[2]);
    case 108: return createCentred(ctx, model::typeArc, pts[0], pts[1], pts[2]);
    case 109:
    case 110: return createFromRubber(ctx, model::typeSpline, variant, pts);
    case 111:
    case 112: return createFromRubber(ctx, model::typeCurve, variant, pts);
    default: return nullptr;
    }
}

void TSandbox::finishCreation(model::item_t* it)
{
    erasePreview();
    const int32_t tool = mode;
    clickCount = 0;
    rubberPoints.clear();
    if (!it) return;
    if (it->shadowElevation != 0 && view.showShadows) {
        repaintAll(true);
    } else {
        render::drawItem(view, it, false);
        const render::rect_t r = render::itemReach(it);
        const point_t a = toScreen({r.left, r.top}), b = toScreen({r.right, r.bottom});
        const int32_t grow = geometry::penWidthAt(zoomFactor(), it->lineWeight) + 2;
        Image1->update(QRect(QPoint(a.x, a.y), QPoint(b.x, b.y)).adjusted(-grow, -grow, grow, grow));
    }
    if (host_) {
        host_->editStateChanged(this);
        host_->showGuidance(creationPage(tool));
    }
}

void TSandbox::finishSpline(int32_t variant)
{
    std::vector<point_t> pts = rubberPoints;
    model::item_t* it = nullptr;
    if (pts.size() >= 2) it = createFromTool(pts, variant);
    if (!it) {
        erasePreview();
        clickCount = 0;
        rubberPoints.clear();
        return;
    }
    finishCreation(it);
}

int32_t TSandbox::splineVariant() const
{
    const settings::TParams& p = params();
    if (mode == 110 || mode == 112) return 2;
    return std::clamp(mode == 109 ? p.polyshape : p.bpolyshape, 0, 2);
}

void TSandbox::toolMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (button != Qt::LeftButton || mode == 31 || mode == 297 || mode == 298) return;
    const point_t p = snapped(pos);
    if (clickCount == 0) {
        if (takesFirstPoint(mode)) firstPoint = p;
        else rubberPoints = {mouseDownPoint, mouseDownPoint};
        clickCount = 1;
        lastRubberPoint = p;
        if (!takesFirstPoint(mode) && p != mouseDownPoint) {
            // Released somewhere else before the hold took the press: the
            // preview follows from here.
            rubberPoints.back() = p;
            redrawPreview(p);
        }
        if (isSplineTool(mode) && host_) host_->showGuidance(afterPointPage(mode));
        return;
    }
    if (clickCount == 1) {
        switch (mode) {
        case 1:
            // A line needs two different points (after its direction preset).
            if (constrainLineEnd(firstPoint, p, params().lineDirection).end == firstPoint) return;
            finishCreation(createFromTool({firstPoint, p}, 0));
            return;
        case 100:
        case 102:
            if (p == rubberPoints[0]) return;
            rubberPoints = {rubberPoints[0], p, p};
            clickCount = 2;
            redrawPreview(p);
            return;
        case 101:
            if (p == rubberPoints[0]) return;
            finishCreation(createFromTool({rubberPoints[0], p}, 0));
            return;
        case 103:
        case 199:
            if (p == firstPoint) return;
            finishCreation(createFromTool({firstPoint, p}, 0));
            return;
        case 105:
        case 107:
        case 108:
            if (p == firstPoint) return;
            secondPoint = p;
            clickCount = 2;
            redrawPreview(p);
            return;
        case 104:
            if (p == rubberPoints[0]) return;
            rubberPoints = {rubberPoints[0], p, p};
            clickCount = 2;
            redrawPreview(p);
            return;
        default: break;
        }
        if (isSplineTool(mode)) {
            if (modifiers & Qt::ShiftModifier) {
                // The final point.
                clickCount = 2;
                rubberPoints.back() = p;
                if (rubberPoints.size() >= 2 && rubberPoints[rubberPoints.size() - 2] == p) rubberPoints.pop_back();
                finishSpline(splineVariant());
                return;
            }
            // A turning point is fixed where the rubber point is; a click on
            // the point just placed adds nothing.
            if (rubberPoints.size() >= 2 && rubberPoints[rubberPoints.size() - 2] == p) return;
            rubberPoints.back() = p;
            rubberPoints.push_back(p);
            redrawPreview(p);
            if (host_) host_->showGuidance(afterPointPage(mode));
        }
        return;
    }
    // clickCount 2: the third point.
    switch (mode) {
    case 100:
        if (p == rubberPoints[1] || p == rubberPoints[0]) return;
        finishCreation(createFromTool({rubberPoints[0], rubberPoints[1], p}, 0));
        return;
    case 102: {
        rectangleCorners(p);
        if (rubberPoints[2] == rubberPoints[1]) return;
        finishCreation(createFromTool({rubberPoints[0], rubberPoints[1], rubberPoints[2]}, 0));
        return;
    }
    case 104:
        if (p == rubberPoints[0] || p == rubberPoints[1]) return;
        finishCreation(createFromTool({rubberPoints[0], rubberPoints[1], p}, 0));
        return;
    case 105:
        if (p == secondPoint) return;
        // Centre, spike point, first vertex.
        finishCreation(createFromTool({firstPoint, p, secondPoint}, 0));
        return;
    case 107:
    case 108:
        if (p == secondPoint) return;
        // Centre, end, start.
        finishCreation(createFromTool({firstPoint, p, secondPoint}, 0));
        return;
    default: break;
    }
}

// ---------------------------------------------------------------- keys

bool TSandbox::toolKeyDown(int key, Qt::KeyboardModifiers)
{
    const bool spline = isSplineTool(mode);
    if (key == Qt::Key_Escape) {
        if (mode == 1 || (mode >= 100 && mode <= 199)) {
            const bool running = clickCount != 0 || buttonHeld;
            abandonSequence();
            ignoreGesture = 1;
            if (mode != 1) repaintAll(true);
            if (spline && running && host_) host_->showPanel(mode);
            return running;
        }
        return false;
    }
    if (!spline || clickCount == 0 || rubberPoints.empty()) return false;
    if (key == Qt::Key_Backspace) {
        rubberPoints.pop_back();
        if (rubberPoints.size() < 2) {
            abandonSequence();
            if (host_) host_->showPanel(mode);
            return true;
        }
        rubberPoints.back() = snapped(lastMouse);
        redrawPreview(rubberPoints.back());
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        rubberPoints.pop_back();
        finishSpline(splineVariant());
        return true;
    }
    if (key == Qt::Key_C) {
        const settings::TParams& p = params();
        const bool open = (mode == 109 && p.polyshape == 0) || (mode == 111 && p.bpolyshape == 0);
        if (!open) return false;
        if (rubberPoints.size() > 3) {
            rubberPoints.pop_back();
            finishSpline(1);
        }
        return true;
    }
    return false;
}

} // namespace canvas
