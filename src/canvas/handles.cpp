#include "canvas/handles.h"

#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <cmath>
#include <unordered_set>
#include <numbers>

namespace canvas {

using geometry::point_t;
using model::item_t;
using render::markSpot_t;

namespace {

constexpr double pi = std::numbers::pi;

point_t mid(point_t a, point_t b)
{
    return {int32_t((int64_t(a.x) + b.x) / 2), int32_t((int64_t(a.y) + b.y) / 2)};
}

// Document pixels to the canvas.
struct mapper_t {
    const handleView_t& how;
    point_t operator()(point_t p) const { return geometry::docToScreenPoint(how.zoom, p.x, p.y, how.origin); }
};

void add(std::vector<markSpot_t>& out, int32_t code, point_t at)
{
    markSpot_t m;
    m.kind = markSpot_t::handle;
    m.code = code;
    m.at = at;
    out.push_back(m);
}

void addDot(std::vector<markSpot_t>& out, int32_t code, point_t centre, double angle, int32_t dist)
{
    markSpot_t m;
    m.kind = markSpot_t::rotationDot;
    m.code = code;
    m.centre = centre;
    m.at = geometry::polarPoint(centre, angle, dist);
    out.push_back(m);
}

// The centre the move handle and the rotation dot of a point-list shape sit
// on, from its current points: the centroid of a triangle, the middle of a
// square's or rectangle's diagonal, the first point of polygons and stars,
// and the mean point of splines and curves.
point_t shapeCentre(const item_t* it)
{
    const model::pointList_t& pts = it->points;
    switch (it->itemType) {
    case model::typeTriangle: {
        const point_t m = mid(geometry::pointAt(pts, 1), geometry::pointAt(pts, 2));
        const point_t p3 = geometry::pointAt(pts, 3);
        return geometry::polarPoint(m, geometry::segmentAngle(m, p3), geometry::distance(m, p3) / 3);
    }
    case model::typeSquare:
    case model::typeRectangle: {
        const point_t p1 = geometry::pointAt(pts, 1), p3 = geometry::pointAt(pts, 3);
        return geometry::polarPoint(p1, geometry::segmentAngle(p1, p3), geometry::distance(p1, p3) / 2);
    }
    case model::typePolygon:
    case model::typeStar: return geometry::pointAt(pts, 1);
    default: {
        long double sx = 0, sy = 0;
        int32_t n = 0;
        for (const model::pointNode_t* p = pts.head; p; p = p->next, ++n) {
            sx += p->p.x;
            sy += p->p.y;
        }
        if (n == 0) return mid({it->x1, it->y1}, {it->x2, it->y2});
        return {model::roundHalfEven(sx / n), model::roundHalfEven(sy / n)};
    }
    }
}

void textOrLineSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const mapper_t map{how};
    const point_t p1 = map({it->x1, it->y1}), p2 = map({it->x2, it->y2});
    const point_t m = mid(p1, p2);
    add(out, 1, p1);
    add(out, 2, p2);
    // The rotation arm starts under the square of the midpoint: the dot goes first.
    const bool preset = it->itemType == model::typeText ? it->textDirection >= 0 : it->direction >= 0;
    if (how.single && !preset)
        addDot(out, handleRotate, m, geometry::segmentAngle(p1, p2) - pi / 2, how.rotationDotDistance);
    add(out, 3, m);
}

void pointShapeSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const mapper_t map{how};
    const bool centred = it->itemType == model::typePolygon || it->itemType == model::typeStar;
    int32_t code = -1;
    int32_t index = 0;
    // A mark on the same canvas pixel as an earlier one would never be hit
    // (the first wins): it is left out, so a polygon of a million sides gets
    // at most one mark per pixel of its outline and a closing point that
    // repeats the first vertex gets none.
    std::unordered_set<uint64_t> taken;
    for (const model::pointNode_t* n = it->points.head; n; n = n->next, ++index) {
        if (centred && index == 0) continue;
        const point_t at = map({n->p.x, n->p.y});
        const int32_t c = code--;
        if (!taken.insert((uint64_t(uint32_t(at.x)) << 32) | uint32_t(at.y)).second) continue;
        add(out, c, at);
    }
    const model::pointList_t& pts = it->points;
    const bool boxy = it->itemType == model::typeSquare || it->itemType == model::typeRectangle;
    if (boxy && geometry::pointCount(pts) >= 4) {
        const point_t c1 = geometry::pointAt(pts, 1), c2 = geometry::pointAt(pts, 2);
        const point_t c3 = geometry::pointAt(pts, 3), c4 = geometry::pointAt(pts, 4);
        // Side handles only while the first side points exactly to the right.
        if (c1.y == c2.y && c2.x > c1.x) {
            add(out, handleSide34, mid(map(c3), map(c4)));
            add(out, handleSide23, mid(map(c2), map(c3)));
            add(out, handleSide12, mid(map(c1), map(c2)));
            add(out, handleSide41, mid(map(c4), map(c1)));
        }
    }
    if (!how.single || !pts.head) return;
    const point_t centre = map(shapeCentre(it));
    double angle = 0;
    if (boxy) angle = geometry::segmentAngle(map(geometry::pointAt(pts, 1)), map(geometry::pointAt(pts, 2))) - pi / 2;
    else if (centred) angle = geometry::segmentAngle(centre, map(geometry::pointAt(pts, 2)));
    else angle = geometry::segmentAngle(centre, map(geometry::pointAt(pts, 1)));
    addDot(out, handleRotate, centre, angle, how.rotationDotDistance);
    add(out, handleMove, centre);
}

void circleSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const mapper_t map{how};
    const point_t c = geometry::pointAt(it->points, 1);
    const double r = geometry::distance(c, geometry::pointAt(it->points, 2));
    for (int32_t k = 0; k < 4; ++k) add(out, k + 1, map(geometry::polarPoint(c, k * pi / 2, r)));
    if (how.single) add(out, handleMove, map(c));
}

void ellipseSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const mapper_t map{how};
    const point_t c = geometry::pointAt(it->points, 1), a = geometry::pointAt(it->points, 2);
    const point_t b = geometry::pointAt(it->points, 3);
    const double theta = geometry::segmentAngle(c, a);
    const double first = geometry::distance(c, a), second = geometry::ellipseSecondAxis(c, a, b);
    add(out, 1, map(a));
    add(out, 2, map(geometry::polarPoint(c, theta + pi / 2, second)));
    add(out, 3, map(geometry::polarPoint(c, theta + pi, first)));
    add(out, 4, map(geometry::polarPoint(c, theta - pi / 2, second)));
    if (!how.single) return;
    const point_t centre = map(c);
    addDot(out, handleRotate, centre, geometry::segmentAngle(centre, map(a)), how.rotationDotDistance);
    add(out, handleMove, centre);
}

void pieArcSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const mapper_t map{how};
    const point_t c = geometry::pointAt(it->points, 1), s = geometry::pointAt(it->points, 2);
    const point_t e = geometry::pointAt(it->points, 3);
    add(out, 1, map(c));
    add(out, 2, map(s));
    add(out, 3, map(e));
    if (!how.single) return;
    add(out, handleMove, map(geometry::arcCentre(it->itemType, c, s, e)));
    const geometry::arcSweep_t sw = geometry::arcSweep(c, s, e);
    addDot(out, handleRotate, map(c), sw.start + sw.sweep / 2, how.rotationDotDistance);
}

void pictureSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const mapper_t map{how};
    point_t centre;
    if (it->clipShape == model::clipRound) {
        // A round clip: the first point is the centre, the second on the rim.
        const point_t c = {it->x1, it->y1};
        const double r = geometry::distance(c, {it->x2, it->y2});
        add(out, handleTopEdge, map(geometry::polarPoint(c, -pi / 2, r)));
        add(out, handleRightEdge, map(geometry::polarPoint(c, 0, r)));
        add(out, handleBottomEdge, map(geometry::polarPoint(c, pi / 2, r)));
        add(out, handleLeftEdge, map(geometry::polarPoint(c, pi, r)));
        centre = map(c);
    } else {
        const int32_t l = std::min(it->x1, it->x2), r = std::max(it->x1, it->x2);
        const int32_t t = std::min(it->y1, it->y2), b = std::max(it->y1, it->y2);
        const point_t corners[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
        const point_t c = mid({l, t}, {r, b});
        if (it->rotation != 0.0) {
            for (int32_t k = 0; k < 4; ++k) {
                const point_t p = geometry::polarPoint(c, geometry::segmentAngle(c, corners[k]) + it->rotation,
                                                       geometry::distance(c, corners[k]));
                add(out, handleTopLeft + k, map(p));
            }
        } else {
            for (int32_t k = 0; k < 4; ++k) add(out, handleTopLeft + k, map(corners[k]));
            add(out, handleTopEdge, map(mid(corners[0], corners[1])));
            add(out, handleRightEdge, map(mid(corners[1], corners[2])));
            add(out, handleBottomEdge, map(mid(corners[2], corners[3])));
            add(out, handleLeftEdge, map(mid(corners[3], corners[0])));
        }
        centre = map(c);
    }
    if (!how.single) return;
    addDot(out, handleRotate, centre, it->rotation - pi / 2, how.rotationDotDistance);
    add(out, handleMove, centre);
}

void groupSpots(const item_t* it, const handleView_t& how, std::vector<markSpot_t>& out)
{
    const point_t c = mapper_t{how}({it->x1, it->y1});
    // A group handle has no angle of its own: its dot points as an unturned item's.
    addDot(out, handleGroupRotate, c, -pi / 2, how.rotationDotDistance);
    markSpot_t m;
    m.kind = markSpot_t::groupHandle;
    m.code = handleGroupCentre;
    m.at = c;
    out.push_back(m);
}

} // namespace

std::vector<markSpot_t> handleSpots(const item_t* it, const handleView_t& how)
{
    std::vector<markSpot_t> out;
    if (!it || it->kind != model::kindItem || it->hidden || it->editing) return out;
    switch (it->itemType) {
    case model::typeText:
    case model::typeLine: textOrLineSpots(it, how, out); break;
    case model::typeTriangle:
    case model::typeSquare:
    case model::typeRectangle:
    case model::typePolygon:
    case model::typeStar:
    case model::typeSpline:
    case model::typeCurve: pointShapeSpots(it, how, out); break;
    case model::typeCircle: circleSpots(it, how, out); break;
    case model::typeEllipse: ellipseSpots(it, how, out); break;
    case model::typePie:
    case model::typeArc: pieArcSpots(it, how, out); break;
    case model::typePicture: pictureSpots(it, how, out); break;
    case model::typeGroupHandle: groupSpots(it, how, out); break;
    default: break;
    }
    return out;
}

bool singleSelection(model::itemList_t& list)
{
    // The index knows every record whose flag may be set: no walk of the list.
    int32_t n = 0;
    for (model::item_t* it : model::historyIndex(list).marked)
        if (model::isSelected(it) && ++n > 1) return false;
    return n == 1;
}

markRect_t markRect(point_t at, int32_t width, int32_t height)
{
    return {at.x - width / 2, at.y - height / 2, at.x + width / 2 + 1, at.y + height / 2 + 1};
}

bool isHitCode(int32_t code)
{
    return (code < 0 && code != render::keptUnderCode) || (code >= handleFirstPoint && code <= handleRotate) ||
           code == handleMove || (code >= handleTopLeft && code <= handleLeftEdge) ||
           (code >= handleSide34 && code <= handleSide41) || code == handleGroupRotate;
}

modeCode_t modeForHandle(int32_t itemType, int32_t code)
{
    switch (itemType) {
    case model::typeText: return modeTextHandle;
    case model::typeLine: return modeLineHandle;
    case model::typeCircle: return modeCircleHandle;
    case model::typeEllipse: return modeEllipseHandle;
    case model::typePicture: return modePictureHandle;
    case model::typeGroupHandle:
        return code == handleGroupRotate ? modeGroupRotation : code == handleGroupCentre ? modeShapeHandle : modePointer;
    default: return model::isShapeType(itemType) ? modeShapeHandle : modePointer;
    }
}

int32_t normalizedHandleCode(int32_t mode, int32_t code)
{
    if (mode == modeCircleHandle && code >= handleFirstPoint && code <= handleLastPoint) return 1;
    if (mode == modeEllipseHandle && (code == 1 || code == 3)) return 1;
    if (mode == modeEllipseHandle && (code == 2 || code == 4)) return 2;
    return code;
}

namespace {

Qt::CursorShape cursorFor(const item_t* it, int32_t code, bool single)
{
    if (!single) return Qt::SizeAllCursor;
    const bool boxy = it->itemType == model::typeSquare || it->itemType == model::typeRectangle;
    const bool upright = it->itemType == model::typePicture && it->rotation == 0.0;
    if (boxy && (code == handleSide34 || code == handleSide12)) return Qt::SizeVerCursor;
    if (boxy && (code == handleSide23 || code == handleSide41)) return Qt::SizeHorCursor;
    if (upright) {
        switch (code) {
        case handleTopEdge:
        case handleBottomEdge: return Qt::SizeVerCursor;
        case handleRightEdge:
        case handleLeftEdge: return Qt::SizeHorCursor;
        case handleTopLeft:
        case handleBottomRight: return Qt::SizeFDiagCursor;
        case handleTopRight:
        case handleBottomLeft: return Qt::SizeBDiagCursor;
        default: break;
        }
    }
    return Qt::SizeAllCursor;
}

} // namespace

handleHit_t hitTestHandles(model::itemList_t& list, point_t screen, const handleView_t& how, int32_t markWidth,
                           int32_t markHeight)
{
    handleHit_t hit;
    // Only selected items carry marks; collectSelected gives them in list order.
    for (item_t* it : model::collectSelected(list)) {
        for (const markSpot_t& m : handleSpots(it, how)) {
            if (!isHitCode(m.code) || !markRect(m.at, markWidth, markHeight).contains(screen)) continue;
            hit.item = it;
            hit.code = m.code;
            hit.mode = modeForHandle(it->itemType, m.code);
            hit.cursor = cursorFor(it, m.code, how.single);
            return hit;
        }
    }
    return hit;
}

handleView_t handleViewOf(TSandbox& window)
{
    handleView_t how;
    how.zoom = window.zoomFactor();
    how.origin = window.viewOrigin();
    how.single = singleSelection(window.items());
    how.rotationDotDistance = window.view().style.rotationDotDistance;
    return how;
}

handleHit_t hitTestHandles(TSandbox& window, point_t screen)
{
    const handleHit_t hit = hitTestHandles(window.items(), screen, handleViewOf(window), window.view().style.handleWidth,
                                           window.view().style.handleHeight);
    return hit;
}

} // namespace canvas
