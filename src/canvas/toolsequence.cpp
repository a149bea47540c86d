#include "canvas/toolsequence.h"

#include "canvas/creation.h"
#include "canvas/glue.h"
#include "canvas/guidance.h"
#include "canvas/modes.h"
#include "canvas/sandbox.h"
#include "canvas/selectionedit.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "render/shapedraw.h"
#include "render/strokes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;

namespace {

// Tools whose first point is a single position (the others collect records).
bool takesFirstPoint(int32_t code)
{
    return code == toolLine || code == toolText || code == toolCircle || code == toolStar || code == toolPie ||
           code == toolArc || code == toolPolygon;
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

void toolSequence_t::cancel()
{
    h_.holdTimer().stop();
    // Only a tool's save-unders hold a preview; in the other modes the
    // selection save-under holds the background of a change.
    if (isToolMode(w_.mode())) erasePreview();
    if (w_.mode() == toolLine && clickCount_ > 0 && w_.host()) w_.host()->toolStepChanged(1);
    clickCount_ = 0;
    rubberPoints_.clear();
    showStatus();
}

void toolSequence_t::showStatus()
{
    if (!w_.host()) return;
    w_.host()->showStatus(clickCount_ > 0 ? finishHint(w_.mode(), canCloseWithC()) : QString());
}

// C closes an open spline or curve only.
bool toolSequence_t::canCloseWithC() const
{
    const settings::TParams& p = params();
    return (w_.mode() == toolSpline && p.polyshape == model::variantOpen) ||
           (w_.mode() == toolCurve && p.bpolyshape == model::variantOpen);
}

void toolSequence_t::eraseOverlay()
{
    // The marks lie over the preview: they go first.
    marks_.erase(w_);
    for (auto k = guides_.size(); k-- > 0;) w_.restoreUnder(guides_[k]);
}

void toolSequence_t::overlayLost()
{
    marks_.lost();
    for (render::savedArea_t& g : guides_) g.valid = false;
}

void toolSequence_t::followViewOrigin(point_t before)
{
    const point_t now = w_.viewOrigin();
    const int32_t dx = before.x - now.x, dy = before.y - now.y;
    if ((dx == 0 && dy == 0) || clickCount_ == 0) return;
    auto shift = [&](point_t& q) { q = {q.x + dx, q.y + dy}; };
    shift(firstPoint_);
    shift(secondPoint_);
    shift(mouseDownPoint_);
    for (point_t& q : rubberPoints_) shift(q);
    // The repaint took the preview away; it comes back with the next move.
    w_.view().selectionUnder.valid = false;
    overlayLost();
}

// ---------------------------------------------------------------- previews

void toolSequence_t::erasePreview()
{
    eraseOverlay();
    w_.restoreUnder(w_.view().selectionUnder);
}

void toolSequence_t::drawPreviewItem(model::item_t* shape, point_t lineStart, point_t lineEnd)
{
    erasePreview();
    const double z = w_.zoomFactor();
    const settings::TParams& p = params();
    QRect area;
    if (shape->itemType == model::typeLine) {
        area = QRect(QPoint(std::min(lineStart.x, lineEnd.x), std::min(lineStart.y, lineEnd.y)),
                     QPoint(std::max(lineStart.x, lineEnd.x), std::max(lineStart.y, lineEnd.y)));
    } else {
        geometry::itemBounds(shape, handleSize());
        const render::rect_t r = render::itemReach(shape);
        const point_t a = w_.toScreen({r.left, r.top}), b = w_.toScreen({r.right, r.bottom});
        area = QRect(QPoint(a.x, a.y), QPoint(b.x, b.y));
    }
    const int32_t pen = geometry::penWidthAt(z, shape->lineWeight);
    const int32_t grow = std::max(p.markWidth / 2, pen) + 1;
    area.adjust(-grow, -grow, grow, grow);
    w_.saveUnder(w_.view().selectionUnder, area);
    if (shape->itemType == model::typeLine) {
        render::canvas_t canvas(w_.canvasImage());
        render::drawLine(canvas, shape, {double(lineStart.x), double(lineStart.y)}, {double(lineEnd.x), double(lineEnd.y)},
                         render::lineStyleAt(shape, z, false), rubberPattern(p, z));
    } else {
        render::drawItem(w_.view(), shape, true);
    }
    w_.updateCanvas(w_.view().selectionUnder.rect);
}

void toolSequence_t::drawGuideLine(point_t from, point_t to, size_t slot)
{
    drawGuide(w_, guides_[slot], from, to);
}

// The item the points placed so far would make, for drawing the preview
// (not part of the document).
std::unique_ptr<model::item_t> toolSequence_t::previewShape(int32_t itemType, const std::vector<point_t>& screenPoints,
                                                      int32_t variant) const
{
    auto shape = std::make_unique<model::item_t>();
    shape->kind = model::kindItem;
    shape->itemType = itemType;
    applyShapeDefaults(shape.get(), params());
    shape->shapeVariant = variant;
    applyHeadDefaults(shape.get(), params());
    std::vector<point_t> doc;
    for (point_t s : screenPoints) doc.push_back(w_.toDoc(s));
    if (!buildShapePoints(shape.get(), itemType, doc, shape->sides)) return nullptr;
    return shape;
}

void toolSequence_t::showShapePreview(int32_t itemType, const std::vector<point_t>& screenPoints, int32_t variant)
{
    if (auto shape = previewShape(itemType, screenPoints, variant)) drawPreviewItem(shape.get(), {}, {});
    else erasePreview();
}

void toolSequence_t::showLinePreview(point_t mouse)
{
    const settings::TParams& p = params();
    const constrainedEnd_t c = constrainLineEnd(firstPoint_, mouse, p.lineDirection);
    model::item_t line;
    line.kind = model::kindItem;
    line.itemType = model::typeLine;
    applyLineDefaults(&line, p, nullptr);
    // The stroke runs along the item's own angle: give it the preview's ends.
    const point_t a = w_.toDoc(firstPoint_), b = w_.toDoc(c.end);
    line.x1 = a.x;
    line.y1 = a.y;
    line.x2 = b.x;
    line.y2 = b.y;
    geometry::lineGeometry(&line);
    drawPreviewItem(&line, firstPoint_, c.end);
    // The end keeps one of the mouse's coordinates: the guide runs straight
    // (horizontally or vertically) from it to the mouse.
    if (p.lineDirection >= 0) drawGuideLine(c.end, mouse);
}

// A spline or curve being placed shows the item its fixed points make (what
// Enter or C would create) and, dotted, the edges a click at the mouse would
// add: from the last fixed point to the mouse and, for a closed or filled
// shape, on to the first point (what a Shift-click would create).
void toolSequence_t::showSplinePreview(int32_t itemType, point_t mouse)
{
    const std::vector<point_t> fixed(rubberPoints_.begin(), rubberPoints_.end() - 1);
    if (fixed.size() >= 2) showShapePreview(itemType, fixed, splineVariant());
    else erasePreview();
    if (fixed.empty()) return;
    drawGuideLine(fixed.back(), mouse, 0);
    if (splineVariant() != model::variantOpen && fixed.size() >= 2) drawGuideLine(mouse, fixed.front(), 1);
}

// The rectangle's third and fourth corners for the mouse: the width runs
// perpendicular to the first side, constrained like a line end.
void toolSequence_t::rectangleCorners(point_t mouse)
{
    const point_t p1 = rubberPoints_[0], p2 = rubberPoints_[1];
    const double theta = normalizedDegrees(geometry::segmentAngle(p1, p2) + std::numbers::pi / 2);
    const constrainedEnd_t c = constrainLineEnd(p2, mouse, theta);
    const point_t p3 = c.end;
    const point_t p4{geometry::clampToInt32(int64_t(p3.x) + p1.x - p2.x),
                     geometry::clampToInt32(int64_t(p3.y) + p1.y - p2.y)};
    rubberPoints_ = {p1, p2, p3, p4};
}

void toolSequence_t::redrawPreview(point_t mouse)
{
    const bool first = clickCount_ == 1;
    switch (w_.mode()) {
    case toolLine: showLinePreview(mouse); break;
    case toolTriangle: showShapePreview(model::typeSpline, rubberPoints_, first ? model::variantOpen : model::variantClosed); break;
    case toolSquare: showShapePreview(model::typeSquare, {rubberPoints_[0], rubberPoints_[1]}, model::variantClosed); break;
    case toolRectangle:
        if (first) {
            showShapePreview(model::typeSpline, rubberPoints_, model::variantOpen);
        } else {
            showShapePreview(model::typeSpline, rubberPoints_, model::variantClosed);
            // The constrained corner keeps one of the mouse's coordinates:
            // the guide runs straight from it to the mouse.
            drawGuideLine(rubberPoints_[2], mouse);
        }
        break;
    case toolCircle: showShapePreview(model::typeCircle, {firstPoint_, mouse}, model::variantClosed); break;
    case toolPolygon: showShapePreview(model::typePolygon, {firstPoint_, mouse}, model::variantClosed); break;
    case toolEllipse:
        if (first) showShapePreview(model::typeSpline, rubberPoints_, model::variantOpen);
        else showShapePreview(model::typeEllipse, rubberPoints_, model::variantClosed);
        break;
    case toolStar:
    case toolPie:
    case toolArc: {
        const int32_t type = w_.mode() == toolStar ? model::typeStar : w_.mode() == toolPie ? model::typePie : model::typeArc;
        showShapePreview(type, {firstPoint_, first ? mouse : secondPoint_, mouse}, model::variantClosed);
        break;
    }
    case toolSpline:
    case toolSolid: showSplinePreview(model::typeSpline, mouse); break;
    case toolCurve:
    case toolOblong: showSplinePreview(model::typeCurve, mouse); break;
    default: break;
    }
}

// ---------------------------------------------------------------- mouse

void toolSequence_t::press(Qt::MouseButton button, Qt::KeyboardModifiers, point_t pos)
{
    if (button != Qt::LeftButton) return;
    // Marks of a selection left from the pointer mode go away.
    if (model::firstSelected(w_.items())) {
        model::selectOnly(w_.items(), nullptr);
        w_.repaintAll(false);
        if (w_.host()) w_.host()->editStateChanged(&w_);
    }
    if (isShapeTool(w_.mode()) && clickCount_ != 0) return;
    mouseDownPoint_ = w_.snapped(pos);
    h_.holdTimer().start();
}

void toolSequence_t::holdElapsed()
{
    h_.holdTimer().stop();
    // Held for the timer's interval: the press takes the first point, so that
    // dragging and releasing places the second.
    if (!h_.buttonHeld() || h_.gestureIgnored() || !isToolMode(w_.mode()) || clickCount_ != 0) return;
    if (takesFirstPoint(w_.mode())) firstPoint_ = mouseDownPoint_;
    else rubberPoints_ = {mouseDownPoint_, mouseDownPoint_};
    clickCount_ = 1;
}

void toolSequence_t::move(Qt::MouseButtons, Qt::KeyboardModifiers, point_t pos)
{
    // While a line is being drawn, the shape under the mouse shows where its
    // ends would be glued. (Between lines the canvas holds nothing transient.)
    const bool glues = w_.mode() == toolLine || canCloseWithC();
    marks_.erase(w_);
    if (clickCount_ == 0 || w_.mode() == toolText) return;
    const point_t p = w_.snapped(pos);
    if (!takesFirstPoint(w_.mode())) {
        if (rubberPoints_.empty()) return;
        switch (w_.mode()) {
        case toolSquare: rubberPoints_ = {rubberPoints_[0], p}; break;
        case toolRectangle:
            if (clickCount_ == 2) rectangleCorners(p);
            else rubberPoints_.back() = p;
            break;
        case toolEllipse:
            rubberPoints_.back() = p;
            // Both axis points on one pixel: the preview gets a visible width.
            if (clickCount_ == 2 && rubberPoints_.size() == 3 && rubberPoints_[0] == rubberPoints_[1])
                rubberPoints_[1].y += 10;
            break;
        default: rubberPoints_.back() = p; break;
        }
    }
    redrawPreview(p);
    if (glues) marks_.show(w_, pos);
}

model::item_t* toolSequence_t::createFromTool(const std::vector<point_t>& pts, int32_t variant)
{
    creationContext_t ctx{w_.items(), params(), w_.zoomFactor(), w_.viewOrigin()};
    switch (w_.mode()) {
    case toolLine: return createLine(ctx, pts[0], pts[1]);
    case toolTriangle: return createFromRubber(ctx, model::typeTriangle, -1, pts);
    case toolSquare: return createFromRubber(ctx, model::typeSquare, -1, pts);
    case toolRectangle: return createFromRubber(ctx, model::typeRectangle, -1, pts);
    case toolEllipse: return createEllipse(ctx, pts[0], pts[1], pts[2]);
    case toolCircle: return createCentred(ctx, model::typeCircle, pts[0], pts[1], pts[1]);
    case toolPolygon: return createCentred(ctx, model::typePolygon, pts[0], pts[1], pts[1]);
    case toolStar: return createCentred(ctx, model::typeStar, pts[0], pts[1], pts[2]);
    case toolPie: return createCentred(ctx, model::typePie, pts[0], pts[1], pts[2]);
    case toolArc: return createCentred(ctx, model::typeArc, pts[0], pts[1], pts[2]);
    case toolSpline:
    case toolSolid: return createFromRubber(ctx, model::typeSpline, variant, pts);
    case toolCurve:
    case toolOblong: return createFromRubber(ctx, model::typeCurve, variant, pts);
    default: return nullptr;
    }
}

void toolSequence_t::finishCreation(model::item_t* it)
{
    erasePreview();
    const int32_t tool = w_.mode();
    clickCount_ = 0;
    rubberPoints_.clear();
    showStatus();
    // Ready for the next line: the hint asks for its start again.
    if (tool == toolLine && w_.host()) w_.host()->toolStepChanged(1);
    if (!it) return;
    // Ends drawn onto a shape's connection points are glued there.
    glueEndsNear(w_, it, true, true);
    if (it->shadowElevation != 0 && w_.view().showShadows) {
        w_.repaintAll(true);
    } else {
        render::drawItem(w_.view(), it, false);
        const render::rect_t r = render::itemReach(it);
        const point_t a = w_.toScreen({r.left, r.top}), b = w_.toScreen({r.right, r.bottom});
        const int32_t grow = geometry::penWidthAt(w_.zoomFactor(), it->lineWeight) + 2;
        w_.updateCanvas(QRect(QPoint(a.x, a.y), QPoint(b.x, b.y)).adjusted(-grow, -grow, grow, grow));
    }
    if (w_.host()) {
        w_.host()->editStateChanged(&w_);
        w_.host()->showGuidance(creationPage(tool));
    }
}

void toolSequence_t::finishSpline(int32_t variant)
{
    model::item_t* it = rubberPoints_.size() >= 2 ? createFromTool(rubberPoints_, variant) : nullptr;
    if (!it) {
        erasePreview();
        clickCount_ = 0;
        rubberPoints_.clear();
        showStatus();
        return;
    }
    finishCreation(it);
}

int32_t toolSequence_t::splineVariant() const
{
    const settings::TParams& p = params();
    if (w_.mode() == toolSolid || w_.mode() == toolOblong) return model::variantFilled;
    return std::clamp(w_.mode() == toolSpline ? p.polyshape : p.bpolyshape, 0, 2);
}

void toolSequence_t::release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, point_t pos)
{
    if (button != Qt::LeftButton || w_.mode() == toolText) return;
    const point_t p = w_.snapped(pos);
    if (clickCount_ == 0) placeFirstPoint(p);
    else if (clickCount_ == 1) placeSecondPoint(p, modifiers);
    else placeThirdPoint(p);
}

void toolSequence_t::placeFirstPoint(point_t p)
{
    if (takesFirstPoint(w_.mode())) firstPoint_ = p;
    else rubberPoints_ = {mouseDownPoint_, mouseDownPoint_};
    clickCount_ = 1;
    if (!takesFirstPoint(w_.mode()) && p != mouseDownPoint_) {
        // Released somewhere else before the hold took the press: the
        // preview follows from here.
        rubberPoints_.back() = p;
        redrawPreview(p);
    }
    if (isSplineTool(w_.mode()) && w_.host()) w_.host()->showGuidance(afterPointPage(w_.mode()));
    // The line panel's hint turns to the end point.
    if (w_.mode() == toolLine && w_.host()) w_.host()->toolStepChanged(2);
    showStatus();
}

// The second click finishes two-point tools, fixes the second point of the
// three-point ones, and adds a turning point to splines and curves. A click on
// a point already placed is ignored: it would make a degenerate item.
void toolSequence_t::placeSecondPoint(point_t p, Qt::KeyboardModifiers modifiers)
{
    switch (w_.mode()) {
    case toolLine:
        // A line needs two different points (after its direction preset).
        if (constrainLineEnd(firstPoint_, p, params().lineDirection).end == firstPoint_) return;
        finishCreation(createFromTool({firstPoint_, p}, 0));
        return;
    case toolTriangle:
    case toolRectangle:
    case toolEllipse:
        if (p == rubberPoints_[0]) return;
        rubberPoints_ = {rubberPoints_[0], p, p};
        clickCount_ = 2;
        redrawPreview(p);
        return;
    case toolSquare:
        if (p == rubberPoints_[0]) return;
        finishCreation(createFromTool({rubberPoints_[0], p}, 0));
        return;
    case toolCircle:
    case toolPolygon:
        if (p == firstPoint_) return;
        finishCreation(createFromTool({firstPoint_, p}, 0));
        return;
    case toolStar:
    case toolPie:
    case toolArc:
        if (p == firstPoint_) return;
        secondPoint_ = p;
        clickCount_ = 2;
        redrawPreview(p);
        return;
    default: break;
    }
    if (!isSplineTool(w_.mode())) return;
    const bool repeatsLast = rubberPoints_.size() >= 2 && rubberPoints_[rubberPoints_.size() - 2] == p;
    if (modifiers & Qt::ShiftModifier) {
        // Shift marks the final point.
        clickCount_ = 2;
        rubberPoints_.back() = p;
        if (repeatsLast) rubberPoints_.pop_back();
        finishSpline(splineVariant());
        return;
    }
    // A turning point is fixed where the rubber point is.
    if (repeatsLast) return;
    rubberPoints_.back() = p;
    rubberPoints_.push_back(p);
    redrawPreview(p);
    if (w_.host()) w_.host()->showGuidance(afterPointPage(w_.mode()));
}

void toolSequence_t::placeThirdPoint(point_t p)
{
    switch (w_.mode()) {
    case toolTriangle:
    case toolEllipse:
        if (p == rubberPoints_[1] || p == rubberPoints_[0]) return;
        finishCreation(createFromTool({rubberPoints_[0], rubberPoints_[1], p}, 0));
        return;
    case toolRectangle:
        rectangleCorners(p);
        if (rubberPoints_[2] == rubberPoints_[1]) return;
        finishCreation(createFromTool({rubberPoints_[0], rubberPoints_[1], rubberPoints_[2]}, 0));
        return;
    case toolStar:
        if (p == secondPoint_) return;
        // Centre, spike point, first vertex.
        finishCreation(createFromTool({firstPoint_, p, secondPoint_}, 0));
        return;
    case toolPie:
    case toolArc:
        if (p == secondPoint_) return;
        // Centre, end, start.
        finishCreation(createFromTool({firstPoint_, p, secondPoint_}, 0));
        return;
    default: break;
    }
}

// ---------------------------------------------------------------- keys

bool toolSequence_t::key(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Escape) {
        if (w_.mode() != toolLine && !isShapeTool(w_.mode())) return false;
        const bool running = clickCount_ != 0 || h_.buttonHeld();
        cancel();
        h_.ignoreGesture();
        if (w_.mode() != toolLine) w_.repaintAll(true);
        if (isSplineTool(w_.mode()) && running && w_.host()) w_.host()->showPanel(w_.mode());
        return running;
    }
    if (!isSplineTool(w_.mode()) || clickCount_ == 0 || rubberPoints_.empty()) return false;
    return splineKey(key);
}

// Backspace takes the last turning point back, Enter ends at the last point,
// C closes an open spline or curve.
bool toolSequence_t::splineKey(int key)
{
    if (key == Qt::Key_Backspace) {
        rubberPoints_.pop_back();
        if (rubberPoints_.size() < 2) {
            cancel();
            if (w_.host()) w_.host()->showPanel(w_.mode());
            return true;
        }
        rubberPoints_.back() = w_.snapped(w_.lastMouse());
        redrawPreview(rubberPoints_.back());
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        rubberPoints_.pop_back();
        finishSpline(splineVariant());
        return true;
    }
    if (key == Qt::Key_C) {
        if (!canCloseWithC()) return false;
        if (rubberPoints_.size() > 3) {
            rubberPoints_.pop_back();
            finishSpline(model::variantClosed);
        }
        return true;
    }
    return false;
}

} // namespace canvas
