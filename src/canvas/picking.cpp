#include "canvas/picking.h"

#include "ui/panelcodes.h"

#include "geometry/transform.h"
#include "model/arrowheads.h"
#include "model/barcode.h"
#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "model/spatialindex.h"
#include "render/arrowheads.h"
#include "render/shapedraw.h"
#include "render/surface.h"
#include "render/text.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {


// The foot of the perpendicular from p on a–b and whether it lies on the
// segment. The projection treats nearly upright and nearly level segments as
// exactly so; the foot then counts only inside the segment's extent in both
// directions, so that a very short level segment does not claim a whole
// column of the canvas.
struct foot_t {
    point_t at;
    bool within = false;
};

foot_t footOn(point_t a, point_t b, point_t p)
{
    const geometry::projection_t f = geometry::projectOntoLine(a, b, p);
    foot_t r;
    r.at = f.foot;
    r.within = f.within && f.foot.x >= std::min(a.x, b.x) && f.foot.x <= std::max(a.x, b.x) &&
               f.foot.y >= std::min(a.y, b.y) && f.foot.y <= std::max(a.y, b.y);
    if (r.within || !f.within) return r;
    // A segment too short for the upright/level shortcut: the exact foot.
    const double vx = double(b.x) - a.x, vy = double(b.y) - a.y, len2 = vx * vx + vy * vy;
    const double t = len2 > 0 ? ((double(p.x) - a.x) * vx + (double(p.y) - a.y) * vy) / len2 : 0.0;
    if (t < 0 || t > 1) return r;
    r.at = {model::roundHalfEven(a.x + t * vx), model::roundHalfEven(a.y + t * vy)};
    r.within = true;
    return r;
}

// Distance to the segment, only where the perpendicular's foot lies on it.
double segmentDistance(point_t a, point_t b, point_t p)
{
    const foot_t f = footOn(a, b, p);
    return f.within ? geometry::distance(p, f.at) : noDistance;
}

// Distance to the segment including its end points.
double edgeDistance(point_t a, point_t b, point_t p)
{
    const double d = segmentDistance(a, b, p);
    return std::min({d, geometry::distance(p, a), geometry::distance(p, b)});
}

// Half the drawn width of a line or outline in document pixels, when it is
// wider than one pixel.
double halfWeight(const item_t* it)
{
    const double w = double(geometry::mmToPx(it->lineWeight, geometry::axis_t::x));
    return w > 1 ? w / 2 : 0.0;
}

double lineDistance(const item_t* it, point_t p)
{
    const double d = segmentDistance({it->x1, it->y1}, {it->x2, it->y2}, p);
    if (d == noDistance) return d;
    return std::max(d - halfWeight(it), 1.0);
}

double textDistance(const item_t* it, point_t p)
{
    const point_t a{it->x1, it->y1}, b{it->x2, it->y2};
    const foot_t f = footOn(a, b, p);
    if (!f.within) return noDistance;
    if (geometry::pointInBand(p, render::textBand(it))) return 1.0;
    return geometry::distance(p, f.at);
}

bool isClosedOutline(const item_t* it)
{
    return it->itemType == model::typePolygon || it->itemType == model::typeStar || it->shapeVariant != 0;
}

double perimeterDistance(const item_t* it, point_t p)
{
    const bool centred = it->itemType == model::typePolygon || it->itemType == model::typeStar;
    const model::pointNode_t* first = it->points.head;
    if (centred && first) first = first->next;
    if (!first) return noDistance;
    double best = noDistance;
    for (const model::pointNode_t* n = first; n->next; n = n->next)
        best = std::min(best, segmentDistance({n->p.x, n->p.y}, {n->next->p.x, n->next->p.y}, p));
    const model::pointNode_t* last = it->points.tail;
    if (isClosedOutline(it) && last != first)
        best = std::min(best, segmentDistance({last->p.x, last->p.y}, {first->p.x, first->p.y}, p));
    if (best == noDistance) return best;
    return std::max(best - halfWeight(it), 1.0);
}

double curveDistance(const item_t* it, point_t p)
{
    const model::pointNode_t* first = it->points.head;
    if (!first) return noDistance;
    int32_t best = INT32_MAX;
    for (const model::pointNode_t* n = first; n->next; n = n->next)
        best = std::min(best, geometry::curveSegmentDistance(*n, *n->next, p));
    const model::pointNode_t* last = it->points.tail;
    if (it->shapeVariant != 0 && last != first) best = std::min(best, geometry::curveSegmentDistance(*last, *first, p));
    if (best == INT32_MAX) return noDistance;
    return std::max(best - halfWeight(it), 1.0);
}

double halfPen(const item_t* it)
{
    return it->penWidthPx / 2.0;
}

double roundedDistance(const item_t* it, point_t p)
{
    const point_t c = geometry::pointAt(it->points, 1), s = geometry::pointAt(it->points, 2);
    const point_t e = geometry::pointAt(it->points, 3);
    switch (it->itemType) {
    case model::typeCircle:
        return std::max(std::abs(geometry::distance(p, c) - geometry::distance(c, s)) - halfPen(it), 0.0);
    case model::typeEllipse: return std::max(geometry::ellipseDistance(c, s, e, p) - halfPen(it), 0.0);
    default: {
        const int32_t d = geometry::arcDistance(it->itemType, c, p, e, s);
        if (d == INT32_MAX) return noDistance;
        return std::max(d - halfPen(it), 0.0);
    }
    }
}

double pictureDistance(const item_t* it, point_t p)
{
    if (it->clipShape == model::clipRound) {
        const point_t c{it->x1, it->y1};
        return std::abs(geometry::distance(p, c) - geometry::distance(c, {it->x2, it->y2}));
    }
    const geometry::quadrangle_t q = pictureCorners(it);
    double best = noDistance;
    for (int32_t k = 0; k < 4; ++k) best = std::min(best, edgeDistance(q[k], q[(k + 1) % 4], p));
    return best;
}

// A distance below which the item's pick distance cannot lie: the distance
// from the point to the item's box, less the widths the rules take off and a
// pixel of slack. 0 for the types whose measure is not bounded by it (texts,
// ellipses with their squared measure, curves, turned pictures).
double lowerBound(const item_t* it, point_t p)
{
    switch (it->itemType) {
    case model::typeText:
    case model::typeEllipse:
    case model::typeCurve: return 0.0;
    case model::typeLine:
    case model::typeSpline:
    case model::typeArc:
        // Arrowheads reach past the box.
        if (model::headsOf(it).any()) return 0.0;
        break;
    case model::typePicture:
        if (it->rotation != 0.0 || it->clipShape == model::clipRound) return 0.0;
        break;
    default: break;
    }
    const double dx = std::max({double(it->boxLeft) - p.x, 0.0, double(p.x) - it->boxRight});
    const double dy = std::max({double(it->boxTop) - p.y, 0.0, double(p.y) - it->boxBottom});
    if (dx == 0 && dy == 0) return 0.0;
    return std::hypot(dx, dy) - std::max(halfWeight(it), halfPen(it)) - 1.0;
}

// A rectangle outside which a record neither lies within pick distance of a
// point (the pick's limit is added by the query) nor meets an area nor holds
// a picture's point: its box and defining points, its points (curves with the
// reach of their control arms, round shapes the circle of their farthest
// point), a text's band and a picture's outline, grown by the widths the
// distance rules take off. False for records that never take part.
bool pickBounds(const item_t* it, model::spatialRect_t& out)
{
    if (!it || it->kind != model::kindItem) return false;
    const int32_t t = it->itemType;
    if (t != model::typeText && t != model::typeLine && !model::isShapeType(t) && t != model::typePicture) return false;
    int64_t l = std::min({int64_t(it->boxLeft), int64_t(it->boxRight), int64_t(it->x1), int64_t(it->x2)});
    int64_t r = std::max({int64_t(it->boxLeft), int64_t(it->boxRight), int64_t(it->x1), int64_t(it->x2)});
    int64_t tp = std::min({int64_t(it->boxTop), int64_t(it->boxBottom), int64_t(it->y1), int64_t(it->y2)});
    int64_t b = std::max({int64_t(it->boxTop), int64_t(it->boxBottom), int64_t(it->y1), int64_t(it->y2)});
    auto cover = [&](double x, double y, double radius) {
        const double e = std::ceil(std::min(radius, 1e10));
        l = std::min<int64_t>(l, int64_t(std::floor(x - e)));
        r = std::max<int64_t>(r, int64_t(std::ceil(x + e)));
        tp = std::min<int64_t>(tp, int64_t(std::floor(y - e)));
        b = std::max<int64_t>(b, int64_t(std::ceil(y + e)));
    };
    auto dist = [](int32_t ax, int32_t ay, int32_t bx, int32_t by) { return std::hypot(double(ax) - bx, double(ay) - by); };
    const model::pointNode_t* first = it->points.head;
    if (t == model::typeCircle || t == model::typeEllipse || t == model::typePie || t == model::typeArc) {
        double farthest = 0;
        for (const model::pointNode_t* n = first; n; n = n->next)
            farthest = std::max(farthest, dist(n->p.x, n->p.y, first->p.x, first->p.y));
        if (first) cover(first->p.x, first->p.y, farthest + 1);
    } else if (model::isShapeType(t)) {
        for (const model::pointNode_t* n = first; n; n = n->next) {
            cover(n->p.x, n->p.y, 0);
            if (t != model::typeCurve) continue;
            // A curve segment is measured against a chord whose ends lie as far
            // from its points as their control points do.
            const model::pointNode_t* m = n->next ? n->next : first;
            cover(n->p.x, n->p.y, dist(n->p.x, n->p.y, n->p.c1x, n->p.c1y) + 1);
            cover(m->p.x, m->p.y, dist(m->p.x, m->p.y, n->p.c2x, n->p.c2y) + 1);
        }
    } else if (t == model::typeText) {
        for (const point_t& q : render::textBand(it)) cover(q.x, q.y, 1);
    } else if (t == model::typePicture) {
        if (it->clipShape == 2) cover(it->x1, it->y1, dist(it->x1, it->y1, it->x2, it->y2) + 1);
        else
            for (const point_t& q : pictureCorners(it)) cover(q.x, q.y, 1);
    }
    if (geometry::rect_t heads; render::headsBox(it, 0, heads)) {
        l = std::min<int64_t>(l, heads.left), r = std::max<int64_t>(r, heads.right);
        tp = std::min<int64_t>(tp, heads.top), b = std::max<int64_t>(b, heads.bottom);
    }
    const double grow = std::ceil(std::min(std::max(halfWeight(it), halfPen(it)), 1e10)) + 2;
    auto clamped = [](double v) { return static_cast<int32_t>(std::clamp<double>(v, INT32_MIN, INT32_MAX)); };
    out = {clamped(l - grow), clamped(tp - grow), clamped(r + grow), clamped(b + grow)};
    return true;
}

// The records that may be picked or selected near `r`, in list order.
std::vector<item_t*> nearby(model::itemList_t& list, int64_t l, int64_t t, int64_t r, int64_t b)
{
    auto clamped = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return model::spatialQuery(list, {clamped(l), clamped(t), clamped(r), clamped(b)}, &pickBounds);
}

// Selects or deselects every visible record of a group.
void setGroupSelected(model::itemList_t& list, int32_t groupId, bool on)
{
    if (groupId <= 0) return;
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem && it->groupId == groupId && !it->hidden && !it->editing)
            model::setSelected(list, it, on);
}

// Whether the filled inside of a shape covers the point: the shape's own
// renderer paints a few pixels around it, so every fill rule and outline
// type counts exactly as it is drawn. Open outlines and shapes without a
// fill have no inside.
bool filledShapeHolds(const model::itemList_t& list, const item_t* it, point_t p)
{
    if (!model::isShapeType(it->itemType) || it->fillColor == -1) return false;
    QImage probe(3, 3, QImage::Format_RGB32);
    probe.fill(0);
    {
        render::canvas_t canvas(probe);
        const render::renderStyle_t style;
        render::drawContext_t ctx{canvas, list, {}, false, false, true, true, false, false, style};
        ctx.xf.dx = 1 - p.x;
        ctx.xf.dy = 1 - p.y;
        ctx.masking = true;
        ctx.maskLine = 0xFFFFFF;
        ctx.maskFill = 0xFFFFFF;
        render::drawPlainFigure(ctx, it, 1);
    }
    return (probe.pixel(1, 1) & 0xFFFFFF) != 0;
}

// The front-most item whose inside holds the point.
item_t* itemInside(model::itemList_t& list, point_t p)
{
    item_t* found = nullptr;
    for (item_t* it : nearby(list, p.x, p.y, p.x, p.y)) {
        if (!isPickable(it) || (found && it->zOrder <= found->zOrder)) continue;
        if (itemHolds(list, it, p)) found = it;
    }
    return found;
}

} // namespace

bool itemHolds(const model::itemList_t& list, const item_t* it, point_t p)
{
    if (it->itemType == model::typeText) return geometry::pointInBand(p, render::textBand(it));
    if (it->itemType == model::typePicture) {
        if (it->clipShape == model::clipRound) {
            const point_t c{it->x1, it->y1};
            return geometry::distance(p, c) <= geometry::distance(c, {it->x2, it->y2});
        }
        return geometry::pointInBand(p, pictureCorners(it));
    }
    return filledShapeHolds(list, it, p);
}

bool isPickable(const item_t* it)
{
    if (!it || it->kind != model::kindItem || it->hidden || it->editing) return false;
    return it->itemType == model::typeText || it->itemType == model::typeLine || model::isShapeType(it->itemType) ||
           it->itemType == model::typePicture;
}

geometry::quadrangle_t pictureCorners(const item_t* it)
{
    const int32_t l = std::min(it->x1, it->x2), r = std::max(it->x1, it->x2);
    const int32_t t = std::min(it->y1, it->y2), b = std::max(it->y1, it->y2);
    geometry::quadrangle_t q{{{l, t}, {r, t}, {r, b}, {l, b}}};
    if (it->rotation == 0.0) return q;
    const point_t c{int32_t((int64_t(l) + r) / 2), int32_t((int64_t(t) + b) / 2)};
    for (point_t& p : q)
        p = geometry::polarPoint(c, geometry::segmentAngle(c, p) + it->rotation, geometry::distance(c, p));
    return q;
}

static double pathDistance(const item_t* it, point_t p);

double pickDistance(const item_t* it, point_t p)
{
    // An arrowhead is picked like the line it ends.
    if (model::takesHeads(it) && model::headsOf(it).any())
        return std::min(pathDistance(it, p), render::headsDistance(it, p));
    return pathDistance(it, p);
}

static double pathDistance(const item_t* it, point_t p)
{
    switch (it->itemType) {
    case model::typeLine: return lineDistance(it, p);
    case model::typeText: return textDistance(it, p);
    case model::typeTriangle:
    case model::typeSquare:
    case model::typeRectangle:
    case model::typePolygon:
    case model::typeStar:
    case model::typeSpline: return perimeterDistance(it, p);
    case model::typeCurve: return curveDistance(it, p);
    case model::typeCircle:
    case model::typeEllipse:
    case model::typePie:
    case model::typeArc: return roundedDistance(it, p);
    case model::typePicture: return pictureDistance(it, p);
    default: return noDistance;
    }
}

pickResult_t pickItem(model::itemList_t& list, point_t docPoint, bool shift, int32_t markWidth)
{
    double best = markWidth + 2;
    int32_t bestZ = 0;
    pickResult_t r;
    // Only records near the point can lie within the pick's limit.
    const int64_t reach = int64_t(std::max(markWidth, 0)) + 3;
    for (item_t* it : nearby(list, int64_t(docPoint.x) - reach, int64_t(docPoint.y) - reach, int64_t(docPoint.x) + reach,
                             int64_t(docPoint.y) + reach)) {
        if (!isPickable(it)) continue;
        // Items whose box is too far away for the distance to reach the best
        // so far (ties included) need no measuring.
        if (lowerBound(it, docPoint) > best) continue;
        const double d = pickDistance(it, docPoint);
        if (d < best || (d == best && it->zOrder > bestZ)) {
            best = d;
            bestZ = it->zOrder;
            r.item = it;
        }
    }
    // No outline near: the front-most item the click lies inside.
    if (!r.item) r.item = itemInside(list, docPoint);
    if (!shift) {
        r.changed = !model::collectSelected(list).empty() || r.item;
        model::deselectAll(list);
        if (r.item) {
            model::setSelected(list, r.item, true);
            setGroupSelected(list, r.item->groupId, true);
        }
        return r;
    }
    if (!r.item) return r;
    const bool on = !model::isSelected(r.item);
    model::setSelected(list, r.item, on);
    setGroupSelected(list, r.item->groupId, on);
    r.deselected = !on;
    r.changed = true;
    return r;
}

int32_t selectInArea(model::itemList_t& list, geometry::rect_t docRect, bool partial, const areaSelection_t& area,
                     bool* changed)
{
    int32_t count = 0;
    bool any = false;
    const std::vector<item_t*> near = nearby(list, docRect.left, docRect.top, docRect.right, docRect.bottom);
    for (item_t* it : near) {
        if (!isPickable(it)) continue;
        if (area.kept.count(it)) {
            count += model::isSelected(it);
            continue;
        }
        geometry::areaTest_t how;
        how.crossing = partial;
        geometry::quadrangle_t outline;
        if (it->itemType == model::typeText) {
            outline = render::textBand(it);
            how.outline = &outline;
        } else if (it->itemType == model::typePicture && it->clipShape != model::clipRound) {
            outline = pictureCorners(it);
            how.outline = &outline;
        }
        const bool inside = geometry::insideOrCrossing(it, docRect, how);
        if (inside != model::isSelected(it)) {
            model::setSelected(list, it, inside);
            any = true;
        }
        count += inside;
    }
    // Every other record lies wholly outside the rectangle: it stays selected
    // only when it was kept.
    const std::unordered_set<const item_t*> looked(near.begin(), near.end());
    for (item_t* it : model::collectSelected(list)) {
        if (looked.count(it) || !isPickable(it)) continue;
        if (area.kept.count(it)) {
            ++count;
            continue;
        }
        model::setSelected(list, it, false);
        any = true;
    }
    if (changed) *changed = any;
    return count;
}

std::vector<item_t*> itemsNear(model::itemList_t& list, geometry::rect_t a)
{
    return nearby(list, std::min(a.left, a.right), std::min(a.top, a.bottom), std::max(a.left, a.right),
                  std::max(a.top, a.bottom));
}

bool pickIndexConsistent(model::itemList_t& list) { return model::spatialIndexConsistent(list, &pickBounds); }

item_t* pictureAt(model::itemList_t& list, point_t p)
{
    item_t* found = nullptr;
    for (item_t* it : nearby(list, int64_t(p.x) - 1, int64_t(p.y) - 1, int64_t(p.x) + 1, int64_t(p.y) + 1)) {
        if (!isPickable(it) || it->itemType != model::typePicture) continue;
        bool inside = false;
        if (it->clipShape == model::clipRound) {
            const point_t c{it->x1, it->y1};
            inside = geometry::distance(p, c) <= geometry::distance(c, {it->x2, it->y2});
        } else {
            inside = geometry::pointInBand(p, pictureCorners(it));
        }
        if (inside && (!found || it->zOrder > found->zOrder)) found = it;
    }
    return found;
}

bool isHomogeneous(model::itemList_t& list)
{
    const item_t* first = nullptr;
    for (const item_t* it : model::collectSelected(list)) {
        if (it->itemType == model::typeGroupHandle) continue;
        if (!first) {
            first = it;
            continue;
        }
        if (it->itemType != first->itemType) return false;
        const bool pointed = it->itemType == model::typeSpline || it->itemType == model::typeCurve;
        if (pointed && (it->shapeVariant == 0) != (first->shapeVariant == 0)) return false;
    }
    return true;
}

int32_t panelForType(int32_t itemType, int32_t variant)
{
    switch (itemType) {
    case model::typeText: return ui::panelText;
    case model::typeLine: return ui::panelLine;
    case model::typeTriangle: return ui::panelTriangle;
    case model::typeSquare: return ui::panelSquare;
    case model::typeRectangle: return ui::panelRectangle;
    case model::typeCircle: return ui::panelCircle;
    case model::typeEllipse: return ui::panelEllipse;
    case model::typePolygon: return ui::panelPolygon;
    case model::typeStar: return ui::panelStar;
    case model::typePie: return ui::panelPie;
    case model::typeArc: return ui::panelArc;
    case model::typeSpline: return variant == model::variantFilled ? ui::panelSolid : ui::panelSpline;
    case model::typeCurve: return variant == model::variantFilled ? ui::panelOblong : ui::panelCurve;
    case model::typePicture: return ui::panelPicture;
    default: return 0;
    }
}

int32_t panelForSelection(model::itemList_t& list)
{
    const std::vector<item_t*> sel = model::collectSelected(list);
    if (sel.empty()) return ui::panelInsert;
    if (!isHomogeneous(list)) return ui::panelMultiple;
    if (std::all_of(sel.begin(), sel.end(), [](const item_t* it) { return model::isBarcodeItem(it); }))
        return ui::panelBarcode;
    for (const item_t* it : sel)
        if (it->itemType != model::typeGroupHandle) return panelForType(it->itemType, it->shapeVariant);
    return 0;
}

} // namespace canvas
