#include "geometry/connectionpoints.h"

#include "geometry/shapes.h"

#include <numbers>

namespace geometry {

using model::item_t;
using model::pointNode_t;

namespace {

constexpr double pi = std::numbers::pi;

point_t at(const pointNode_t* n) { return {n->p.x, n->p.y}; }

point_t middle(point_t a, point_t b)
{
    return {roundHalfEven((long double)a.x / 2 + (long double)b.x / 2),
            roundHalfEven((long double)a.y / 2 + (long double)b.y / 2)};
}

// The point halfway along the Bézier segment from node `n` to `next`.
point_t bezierMiddle(const pointNode_t* n, const pointNode_t* next)
{
    const auto& p = n->p;
    const long double x = ((long double)p.x + 3.0L * p.c1x + 3.0L * p.c2x + next->p.x) / 8;
    const long double y = ((long double)p.y + 3.0L * p.c1y + 3.0L * p.c2y + next->p.y) / 8;
    return {roundHalfEven(x), roundHalfEven(y)};
}

bool isOutlined(const item_t* it)
{
    switch (it->itemType) {
    case model::typeTriangle:
    case model::typeSquare:
    case model::typeRectangle:
    case model::typePolygon:
    case model::typeStar: return true;
    case model::typeSpline:
    case model::typeCurve: return it->shapeVariant != model::variantOpen;
    default: return false;
    }
}

// Vertices, then the middle of every side of a closed outline.
void outlinePoints(const item_t* it, std::vector<point_t>& out)
{
    const bool centred = it->itemType == model::typePolygon || it->itemType == model::typeStar;
    std::vector<const pointNode_t*> nodes;
    int32_t index = 0;
    for (const pointNode_t* n = it->points.head; n && int32_t(nodes.size()) < connectionVertexLimit; n = n->next, ++index)
        if (!centred || index >= 2) nodes.push_back(n);
    if (nodes.empty()) return;
    for (const pointNode_t* n : nodes) out.push_back(at(n));
    const size_t count = nodes.size();
    for (size_t k = 0; k < count; ++k) {
        const pointNode_t* a = nodes[k];
        const pointNode_t* b = nodes[(k + 1) % count];
        out.push_back(it->itemType == model::typeCurve ? bezierMiddle(a, b) : middle(at(a), at(b)));
    }
}

} // namespace

std::vector<point_t> connectionPoints(const item_t* it)
{
    std::vector<point_t> out;
    if (!it || it->kind != model::kindItem) return out;
    const model::pointList_t& pts = it->points;
    if (isOutlined(it)) {
        outlinePoints(it, out);
        return out;
    }
    if (pointCount(pts) < 3 && it->itemType != model::typeCircle) return out;
    switch (it->itemType) {
    case model::typeCircle: {
        if (pointCount(pts) < 2) break;
        const point_t c = pointAt(pts, 1);
        const double r = distance(c, pointAt(pts, 2));
        for (int32_t k = 0; k < 4; ++k) out.push_back(polarPoint(c, k * pi / 2, r));
        break;
    }
    case model::typeEllipse: {
        const point_t c = pointAt(pts, 1), a = pointAt(pts, 2), b = pointAt(pts, 3);
        const double theta = segmentAngle(c, a);
        const double first = distance(c, a), second = ellipseSecondAxis(c, a, b);
        out.push_back(a);
        out.push_back(polarPoint(c, theta + pi / 2, second));
        out.push_back(polarPoint(c, theta + pi, first));
        out.push_back(polarPoint(c, theta - pi / 2, second));
        break;
    }
    case model::typePie: {
        const point_t c = pointAt(pts, 1), s = pointAt(pts, 2), e = pointAt(pts, 3);
        out.push_back(c);
        out.push_back(s);
        out.push_back(e);
        out.push_back(arcCentre(model::typeArc, c, s, e));
        break;
    }
    default: break;
    }
    return out;
}

bool connectionPoint(const item_t* it, int32_t index, point_t& out)
{
    if (index < 0) return false;
    const std::vector<point_t> all = connectionPoints(it);
    if (size_t(index) >= all.size()) return false;
    out = all[size_t(index)];
    return true;
}

point_t shapeMiddle(const item_t* it)
{
    const model::pointList_t& pts = it->points;
    if (!pts.head) return middle({it->x1, it->y1}, {it->x2, it->y2});
    switch (it->itemType) {
    case model::typeTriangle: {
        const point_t m = middle(pointAt(pts, 1), pointAt(pts, 2));
        const point_t p3 = pointAt(pts, 3);
        return polarPoint(m, segmentAngle(m, p3), distance(m, p3) / 3);
    }
    case model::typeSquare:
    case model::typeRectangle: {
        const point_t p1 = pointAt(pts, 1), p3 = pointAt(pts, 3);
        return polarPoint(p1, segmentAngle(p1, p3), distance(p1, p3) / 2);
    }
    case model::typeCircle:
    case model::typeEllipse:
    case model::typePolygon:
    case model::typeStar: return pointAt(pts, 1);
    case model::typePie: return arcCentre(it);
    default: {
        long double sx = 0, sy = 0;
        int32_t n = 0;
        for (const pointNode_t* p = pts.head; p; p = p->next, ++n) {
            sx += p->p.x;
            sy += p->p.y;
        }
        return {roundHalfEven(sx / n), roundHalfEven(sy / n)};
    }
    }
}

double shapeFacing(const item_t* it)
{
    const model::pointList_t& pts = it->points;
    if (pointCount(pts) < 2) return 0;
    return segmentAngle(pointAt(pts, 1), pointAt(pts, 2));
}

} // namespace geometry
