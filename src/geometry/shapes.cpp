#include "geometry/shapes.h"

#include "model/itemlist.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace geometry {

using model::pointList_t;
using model::pointNode_t;

namespace {

constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;

point_t pointOf(const pointNode_t* n) { return {n->p.x, n->p.y}; }
point_t savedOf(const pointNode_t* n) { return {n->p.savedX, n->p.savedY}; }
point_t c1Of(const pointNode_t* n) { return {n->p.c1x, n->p.c1y}; }
point_t c2Of(const pointNode_t* n) { return {n->p.c2x, n->p.c2y}; }

void setPoint(pointNode_t* n, point_t p) { n->p.x = p.x; n->p.y = p.y; }
void setC1(pointNode_t* n, point_t p) { n->p.c1x = p.x; n->p.c1y = p.y; }
void setC2(pointNode_t* n, point_t p) { n->p.c2x = p.x; n->p.c2y = p.y; }

// Grows a running box by a point.
struct boxBuilder_t {
    int32_t left = INT32_MAX, top = INT32_MAX, right = -INT32_MAX, bottom = -INT32_MAX;
    void add(point_t p)
    {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    rect_t rect() const { return {left, top, right, bottom}; }
};

// The bisector of the directions a and b: half the counter-clockwise
// difference b − a (taken in [0, 2π)) added to a.
double bisector(double a, double b)
{
    double d = std::fmod(b - a, twoPi);
    if (d < 0) d += twoPi;
    return a + d / 2;
}

// Difference b − a normalised into (−π, π].
double signedDifference(double a, double b)
{
    double d = std::fmod(b - a, twoPi);
    if (d <= -pi) d += twoPi;
    else if (d > pi) d -= twoPi;
    return d;
}

bool between(int32_t v, int32_t a, int32_t b)
{
    return v >= std::min(a, b) && v <= std::max(a, b);
}

// The three points of a pie or arc, or of any other point-list shape.
void firstThree(const model::item_t* item, point_t& c, point_t& s, point_t& e)
{
    c = pointAt(item->points, 1);
    s = pointAt(item->points, 2);
    e = pointAt(item->points, 3);
}

point_t turnAbout(point_t pivot, point_t p, double delta)
{
    return polarPoint(pivot, segmentAngle(pivot, p) + delta, distance(pivot, p));
}

// Each coordinate (a + b) div 2, truncating towards zero.
point_t midpoint(point_t a, point_t b)
{
    return {int32_t((int64_t(a.x) + b.x) / 2), int32_t((int64_t(a.y) + b.y) / 2)};
}

void storeBox(model::item_t* it, rect_t r)
{
    it->x1 = r.left;
    it->y1 = r.top;
    it->x2 = r.right;
    it->y2 = r.bottom;
    model::computeMeasure(it);
    it->boxLeft = std::min(r.left, r.right);
    it->boxRight = std::max(r.left, r.right);
    it->boxTop = std::min(r.top, r.bottom);
    it->boxBottom = std::max(r.top, r.bottom);
    it->boxWidth = clampToInt32(std::abs(int64_t(r.right) - r.left));
    it->boxHeight = clampToInt32(std::abs(int64_t(r.bottom) - r.top));
    it->diagonal = roundHalfEven(std::sqrt(double(it->boxWidth) * it->boxWidth +
                                           double(it->boxHeight) * it->boxHeight));
}

} // namespace

// --- point lists ---

point_t pointAt(const pointList_t& list, int32_t i)
{
    const pointNode_t* n = nodeAt(list, i);
    return n ? pointOf(n) : point_t{};
}

int32_t pointCount(const pointList_t& list)
{
    return model::countNodes(list);
}

pointNode_t* nodeAt(const pointList_t& list, int32_t i)
{
    if (i < 1) return nullptr;
    pointNode_t* n = list.head;
    for (int32_t k = 1; n && k < i; ++k) n = n->next;
    return n;
}

void savePoints(pointList_t& list)
{
    for (pointNode_t* n = list.head; n; n = n->next) {
        auto& p = n->p;
        p.savedX = p.x;
        p.savedY = p.y;
        p.savedC1x = p.c1x;
        p.savedC1y = p.c1y;
        p.savedC2x = p.c2x;
        p.savedC2y = p.c2y;
    }
}

void translatePoints(pointList_t& list, int32_t dx, int32_t dy)
{
    for (pointNode_t* n = list.head; n; n = n->next) {
        auto& p = n->p;
        p.x = clampToInt32(int64_t(p.savedX) + dx);
        p.y = clampToInt32(int64_t(p.savedY) + dy);
        p.c1x = clampToInt32(int64_t(p.savedC1x) + dx);
        p.c1y = clampToInt32(int64_t(p.savedC1y) + dy);
        p.c2x = clampToInt32(int64_t(p.savedC2x) + dx);
        p.c2y = clampToInt32(int64_t(p.savedC2y) + dy);
    }
}

void clearPoints(pointList_t& list)
{
    model::freeNodes(list);
}

pointNode_t* appendPoint(pointList_t& list, point_t p)
{
    auto* n = new pointNode_t;
    n->p.x = n->p.savedX = p.x;
    n->p.y = n->p.savedY = p.y;
    model::appendNode(list, n);
    return n;
}

// --- building ---

void buildTriangle(point_t p1, point_t p2, point_t p3, pointList_t& list)
{
    clearPoints(list);
    appendPoint(list, p1);
    appendPoint(list, p2);
    appendPoint(list, p3);
}

void buildSquare(point_t p1, point_t p2, pointList_t& list)
{
    clearPoints(list);
    const double a = segmentAngle(p1, p2) + pi / 2;
    const double d = distance(p1, p2);
    appendPoint(list, p1);
    appendPoint(list, p2);
    appendPoint(list, polarPoint(p2, a, d));
    appendPoint(list, polarPoint(p1, a, d));
}

void buildRectangle(point_t p1, point_t p2, point_t p3, pointList_t& list)
{
    clearPoints(list);
    appendPoint(list, p1);
    appendPoint(list, p2);
    appendPoint(list, p3);
    appendPoint(list, polarPoint(p3, segmentAngle(p1, p2) + pi, distance(p1, p2)));
}

void buildCircle(point_t centre, point_t rim, pointList_t& list)
{
    buildSquare(centre, rim, list);
}

void buildEllipse(point_t c, point_t a, point_t b, pointList_t& list)
{
    buildTriangle(c, a, b, list);
}

std::vector<point_t> regularPolygonVertices(point_t centre, point_t v, int32_t sides)
{
    std::vector<point_t> out;
    if (sides < minSides || sides > maxSides) return out;
    const double theta = segmentAngle(centre, v);
    const double r = distance(centre, v);
    out.reserve(size_t(sides));
    for (int32_t k = 1; k <= sides; ++k) out.push_back(polarPoint(centre, theta + k * twoPi / sides, r));
    return out;
}

std::vector<point_t> starVertices(point_t centre, point_t v, point_t w, int32_t sides)
{
    std::vector<point_t> out;
    if (sides < minSides || sides > maxSides) return out;
    const double theta = segmentAngle(centre, v);
    const double r1 = distance(centre, v);
    const double r2 = distance(centre, w);
    out.reserve(size_t(2) * size_t(sides));
    for (int32_t k = 1; k <= 2 * sides; ++k)
        out.push_back(polarPoint(centre, theta + k * pi / sides, (k % 2) ? r2 : r1));
    return out;
}

void buildRegularPolygon(point_t centre, point_t v, int32_t sides, pointList_t& list)
{
    if (sides < minSides || sides > maxSides) return;
    clearPoints(list);
    appendPoint(list, centre);
    appendPoint(list, v);
    for (point_t p : regularPolygonVertices(centre, v, sides)) appendPoint(list, p);
}

void buildStar(point_t centre, point_t v, point_t w, int32_t sides, pointList_t& list)
{
    if (sides < minSides || sides > maxSides) return;
    clearPoints(list);
    appendPoint(list, centre);
    appendPoint(list, v);
    for (point_t p : starVertices(centre, v, w, sides)) appendPoint(list, p);
}

void buildPieArc(point_t centre, point_t s, point_t t, pointList_t& list)
{
    clearPoints(list);
    appendPoint(list, centre);
    appendPoint(list, s);
    appendPoint(list, polarPoint(centre, segmentAngle(centre, t), distance(centre, s)));
}

bool buildShapePoints(model::item_t* it, int32_t itemType, const std::vector<point_t>& d, int32_t sides)
{
    clearPoints(it->points);
    auto at = [&](size_t i) { return i < d.size() ? d[i] : d.back(); };
    if (d.empty()) return false;
    switch (itemType) {
    case model::typeTriangle:
        if (d.size() < 3) return false;
        buildTriangle(d[0], d[1], d[2], it->points);
        return true;
    case model::typeSquare:
        if (d.size() < 2) return false;
        buildSquare(d[0], d[1], it->points);
        return true;
    case model::typeRectangle:
        if (d.size() < 3) return false;
        buildRectangle(d[0], d[1], d[2], it->points);
        return true;
    case model::typeCircle:
        buildCircle(d[0], at(1), it->points);
        return true;
    case model::typeEllipse:
        if (d.size() < 3) return false;
        buildEllipse(d[0], d[1], d[2], it->points);
        return true;
    case model::typePolygon:
        buildRegularPolygon(d[0], at(1), sides, it->points);
        return it->points.head != nullptr;
    case model::typeStar:
        // Centre, first vertex, spike point.
        buildStar(d[0], at(1), at(2), sides, it->points);
        return it->points.head != nullptr;
    case model::typePie:
    case model::typeArc:
        // Centre, start, end.
        buildPieArc(d[0], at(1), at(2), it->points);
        return true;
    case model::typeSpline:
    case model::typeCurve: {
        if (d.size() < 2) return false;
        for (point_t q : d) appendPoint(it->points, q);
        if (itemType == model::typeCurve) curveControlPoints(it);
        return true;
    }
    default: return false;
    }
}

// --- lines, ellipses, arcs ---

projection_t projectOntoLine(point_t a, point_t b, point_t p)
{
    projection_t r;
    if (std::abs(double(a.x) - b.x) <= 2) {
        r.foot = {a.x, p.y};
    } else {
        const double m = (double(a.y) - b.y) / (double(a.x) - b.x);
        if (std::abs(double(a.y) - b.y) < 1 || std::abs(m) < 0.0001) {
            r.foot = {p.x, a.y};
        } else {
            const double t = a.y - m * a.x;
            // y = m·x + t meets y = −x/m + (p.y + p.x/m).
            const double x = (p.y + p.x / m - t) / (m + 1 / m);
            r.foot = {roundHalfEven(x), roundHalfEven(t + m * x)};
        }
    }
    r.within = (a.x == b.x || between(r.foot.x, a.x, b.x)) &&
               (a.y == b.y || between(r.foot.y, a.y, b.y));
    return r;
}

double ellipseSecondAxis(point_t c, point_t a, point_t b)
{
    return distance(b, projectOntoLine(c, a, b).foot);
}

ellipsePath_t ellipseBezier(point_t c, point_t a, point_t b)
{
    const int32_t rx = roundHalfEven(distance(c, a));
    const int32_t ry = roundHalfEven(ellipseSecondAxis(c, a, b));
    const int64_t left = int64_t(c.x) - rx, right = int64_t(c.x) + rx;
    const int64_t top = int64_t(c.y) - ry, bottom = int64_t(c.y) + ry;
    const int64_t kx = roundHalfEven(2.0L * rx * ellipseKappa);
    const int64_t ky = roundHalfEven(static_cast<long double>(bottom - top) * ellipseKappa);
    auto pt = [](int64_t x, int64_t y) { return point_t{clampToInt32(x), clampToInt32(y)}; };
    ellipsePath_t e;
    e.points = {{pt(left, c.y), pt(left, c.y - ky), pt(c.x - kx, top), pt(c.x, top), pt(c.x + kx, top),
                 pt(right, c.y - ky), pt(right, c.y), pt(right, c.y + ky), pt(c.x + kx, bottom),
                 pt(c.x, bottom), pt(c.x - kx, bottom), pt(left, c.y + ky), pt(left, c.y)}};
    const double phi = segmentAngle(c, a);
    boxBuilder_t box;
    for (point_t& p : e.points) {
        p = turnAbout(c, p, phi);
        box.add(p);
    }
    e.box = box.rect();
    return e;
}

arcSweep_t arcSweep(point_t c, point_t s, point_t e)
{
    arcSweep_t r;
    r.start = segmentAngle(c, s);
    double end = segmentAngle(c, e);
    if (r.start > end) end += twoPi;
    r.sweep = end - r.start;
    if (r.sweep > twoPi) r.sweep -= twoPi;
    return r;
}

int32_t arcSampleCount(double sweep)
{
    return std::max(2, roundHalfEven(sweep / (pi / 200)));
}

std::vector<point_t> arcPoints(point_t c, point_t s, point_t e, bool pie)
{
    const arcSweep_t a = arcSweep(c, s, e);
    const double r = distance(c, s);
    const int32_t n = arcSampleCount(a.sweep);
    std::vector<point_t> out;
    out.reserve(size_t(n) + 2);
    out.push_back(s);
    for (int32_t j = 1; j <= n - 2; ++j) {
        const point_t p = polarPoint(c, a.start + j * a.sweep / (n - 1), r);
        if (!(p == out.back())) out.push_back(p);
    }
    out.push_back(polarPoint(c, a.start + a.sweep, r));
    if (pie) {
        out.push_back(c);
        out.push_back(s);
    }
    return out;
}

rect_t arcBounds(point_t c, point_t s, point_t e)
{
    boxBuilder_t box;
    box.add(c);
    box.add(s);
    const arcSweep_t a = arcSweep(c, s, e);
    const double r = distance(c, s) + 1;
    const int32_t n = arcSampleCount(a.sweep);
    for (int32_t j = 1; j <= n - 2; ++j)
        box.add(polarPoint(c, a.start + j * a.sweep / (n - 1), r));
    box.add(polarPoint(c, a.start + a.sweep, r));
    rect_t b = box.rect();
    return b.grown(1);
}

point_t arcCentre(int32_t itemType, point_t c, point_t s, point_t e)
{
    const double r = distance(c, s);
    const double beta = bisector(segmentAngle(c, s), segmentAngle(c, e));
    return polarPoint(c, beta, itemType == model::typePie ? r * 2 / 3 : r);
}

point_t arcCentre(const model::item_t* item)
{
    point_t c, s, e;
    firstThree(item, c, s, e);
    return arcCentre(item->itemType, c, s, e);
}

// --- boxes and centres ---

void itemBounds(model::item_t* it, handleSize_t handles)
{
    itemBounds(it, handles.width, handles.height);
}

void itemBounds(model::item_t* it, int32_t handleWidth, int32_t handleHeight)
{
    if (it->itemType == model::typePicture) {
        pictureBox(it);
        return;
    }
    const pointList_t& pts = it->points;
    if (!pts.head) return;  // nothing to derive the box from
    const int32_t pad = std::max({it->penWidthPx, handleWidth / 2, handleHeight / 2});
    const point_t c = pointAt(pts, 1);
    auto around = [&](int32_t r) { return rect_t{c.x, c.y, c.x, c.y}.grown(r); };

    rect_t b;
    switch (it->itemType) {
    case model::typeCircle:
        b = around(roundHalfEven(distance(c, pointAt(pts, 2))));
        break;
    case model::typeEllipse: {
        const point_t a = pointAt(pts, 2), bb = pointAt(pts, 3);
        b = around(std::max(roundHalfEven(ellipseSecondAxis(c, a, bb)), roundHalfEven(distance(c, a))));
        break;
    }
    case model::typePolygon:
        b = around(std::max(1, roundHalfEven(distance(c, pointAt(pts, 2)))));
        break;
    case model::typeStar:
        b = around(std::max(roundHalfEven(distance(c, pointAt(pts, 2))),
                            roundHalfEven(distance(c, pointAt(pts, 3)))));
        break;
    case model::typePie:
    case model::typeArc:
        b = arcBounds(c, pointAt(pts, 2), pointAt(pts, 3));
        break;
    default: {
        boxBuilder_t box;
        const bool curve = it->itemType == model::typeCurve;
        // An open curve draws no segment after its last point, so that
        // point's control points are not part of the outline.
        const bool open = it->shapeVariant == 0;
        for (const pointNode_t* n = pts.head; n; n = n->next) {
            box.add(pointOf(n));
            if (curve && (n->next || !open)) {
                box.add(c1Of(n));
                box.add(c2Of(n));
            }
        }
        b = box.rect();
        break;
    }
    }
    storeBox(it, b.grown(pad));
}

void boxFromDefiningPoints(model::item_t* it)
{
    it->boxLeft = std::min(it->x1, it->x2);
    it->boxRight = std::max(it->x1, it->x2);
    it->boxTop = std::min(it->y1, it->y2);
    it->boxBottom = std::max(it->y1, it->y2);
    it->boxWidth = clampToInt32(std::abs(int64_t(it->x2) - it->x1));
    it->boxHeight = clampToInt32(std::abs(int64_t(it->y2) - it->y1));
    it->diagonal = roundHalfEven(std::sqrt(double(it->boxWidth) * it->boxWidth +
                                           double(it->boxHeight) * it->boxHeight));
}

void lineGeometry(model::item_t* it)
{
    boxFromDefiningPoints(it);
    it->angle = segmentAngle({it->x1, it->y1}, {it->x2, it->y2});
}

void pictureBox(model::item_t* it)
{
    if (it->clipShape == model::clipRound) {
        const int32_t r = roundHalfEven(distance({it->x1, it->y1}, {it->x2, it->y2}));
        const rect_t b = rect_t{it->x1, it->y1, it->x1, it->y1}.grown(r);
        it->boxLeft = b.left;
        it->boxRight = b.right;
        it->boxTop = b.top;
        it->boxBottom = b.bottom;
        it->boxWidth = it->boxHeight = clampToInt32(2 * int64_t(r));
        it->diagonal = roundHalfEven(std::sqrt(2.0) * 2 * r);
    } else {
        boxFromDefiningPoints(it);
    }
    model::computeMeasure(it);
}

point_t rotationCentre(const model::item_t* it)
{
    const pointList_t& pts = it->points;
    auto saved = [&](int32_t i) {
        const pointNode_t* n = nodeAt(pts, i);
        return n ? savedOf(n) : point_t{};
    };
    if (!model::isShapeType(it->itemType) || !pts.head)
        return midpoint({it->x1, it->y1}, {it->x2, it->y2});
    switch (it->itemType) {
    case model::typeTriangle: {
        const point_t p1 = saved(1), p2 = saved(2), p3 = saved(3);
        // Integer division truncates towards zero, as the midpoint rule asks.
        const point_t m = midpoint(p1, p2);
        return polarPoint(m, segmentAngle(m, p3), distance(m, p3) / 3);
    }
    case model::typeSquare:
    case model::typeRectangle: {
        const point_t p1 = saved(1), p3 = saved(3);
        return polarPoint(p1, segmentAngle(p1, p3), distance(p1, p3) / 2);
    }
    case model::typeCircle:
    case model::typeEllipse:
    case model::typePolygon:
    case model::typeStar:
    case model::typePie:
    case model::typeArc:
        return saved(1);
    default: {
        long double sx = 0, sy = 0;
        int32_t n = 0;
        for (const pointNode_t* p = pts.head; p; p = p->next, ++n) {
            sx += p->p.savedX;
            sy += p->p.savedY;
        }
        return {roundHalfEven(sx / n), roundHalfEven(sy / n)};
    }
    }
}

// --- turning ---

void rotatePoints(pointList_t& list, point_t pivot, double delta)
{
    for (pointNode_t* n = list.head; n; n = n->next) {
        auto& p = n->p;
        setPoint(n, turnAbout(pivot, {p.savedX, p.savedY}, delta));
        setC1(n, turnAbout(pivot, {p.savedC1x, p.savedC1y}, delta));
        setC2(n, turnAbout(pivot, {p.savedC2x, p.savedC2y}, delta));
    }
}

void rotateDefiningPoints(model::item_t* it, point_t pivot, double delta)
{
    const point_t p1 = turnAbout(pivot, {it->refX1, it->refY1}, delta);
    const point_t p2 = turnAbout(pivot, {it->refX2, it->refY2}, delta);
    it->x1 = p1.x;
    it->y1 = p1.y;
    it->x2 = p2.x;
    it->y2 = p2.y;
}

void revolveItem(model::item_t* it, point_t pivot, double delta)
{
    const point_t m = midpoint({it->refX1, it->refY1}, {it->refX2, it->refY2});
    const point_t m2 = turnAbout(pivot, m, delta);
    const int64_t dx = int64_t(m2.x) - m.x, dy = int64_t(m2.y) - m.y;
    it->x1 = clampToInt32(it->refX1 + dx);
    it->y1 = clampToInt32(it->refY1 + dy);
    it->x2 = clampToInt32(it->refX2 + dx);
    it->y2 = clampToInt32(it->refY2 + dy);
}

void normalizeEllipse(model::item_t* it)
{
    pointNode_t* nc = nodeAt(it->points, 1);
    pointNode_t* na = nodeAt(it->points, 2);
    pointNode_t* nb = nodeAt(it->points, 3);
    if (!nc || !na || !nb) return;
    const point_t c = pointOf(nc), a = pointOf(na), b = pointOf(nb);
    const double first = distance(c, a);
    const double second = ellipseSecondAxis(c, a, b);
    if (!(first < second)) return;
    const double theta = segmentAngle(c, a);
    const point_t a2 = polarPoint(c, theta + pi / 2, second);
    const point_t b2 = polarPoint(c, theta + pi, first);
    setPoint(na, a2);
    setPoint(nb, b2);
    na->p.savedX = a2.x;
    na->p.savedY = a2.y;
    nb->p.savedX = b2.x;
    nb->p.savedY = b2.y;
}

// --- curve control points ---

void smoothControlPoints(pointList_t& list, double k)
{
    for (pointNode_t* n = list.head; n; n = n->next) {
        if (!n->prev || !n->next) continue;
        const point_t p = pointOf(n), prev = pointOf(n->prev), next = pointOf(n->next);
        const double beta = bisector(segmentAngle(p, prev), segmentAngle(p, next));
        setC1(n, polarPoint(p, beta + pi / 2, k * distance(p, next)));
        setC2(n->prev, polarPoint(p, beta - pi / 2, k * distance(prev, p)));
    }
}

void curveControlPoints(model::item_t* it)
{
    smoothControlPoints(it->points, it->roundness);
    if (it->shapeVariant == model::variantOpen) openCurveEnds(it->points, it->roundness);
    else closedCurveEnds(it->points, it->roundness);
}

void openCurveEnds(pointList_t& list, double k)
{
    pointNode_t* first = list.head;
    pointNode_t* last = list.tail;
    if (!first || first == last) return;
    const point_t p1 = pointOf(first), p2 = pointOf(first->next);
    setC1(first, polarPoint(p1, segmentAngle(p1, p2), k * distance(p1, p2)));
    const point_t pn = pointOf(last), pm = pointOf(last->prev);
    setC2(last->prev, polarPoint(pn, segmentAngle(pn, pm), k * distance(pn, pm)));
}

void closedCurveEnds(pointList_t& list, double k)
{
    pointNode_t* first = list.head;
    pointNode_t* last = list.tail;
    if (!first || first == last) return;
    const point_t p1 = pointOf(first), p2 = pointOf(first->next);
    const point_t pn = pointOf(last), pm = pointOf(last->prev);
    const double beta = bisector(segmentAngle(p1, pn), segmentAngle(p1, p2));
    setC1(first, polarPoint(p1, beta + pi / 2, k * distance(p1, p2)));
    setC2(last, polarPoint(p1, beta - pi / 2, k * distance(pn, p1)));
    const double beta2 = bisector(segmentAngle(pn, pm), segmentAngle(pn, p1));
    setC1(last, polarPoint(pn, beta2 + pi / 2, k * distance(pn, p1)));
    setC2(last->prev, polarPoint(pn, beta2 - pi / 2, k * distance(pm, pn)));
}

// --- outline distances ---

int32_t ellipseDistance(point_t c, point_t a, point_t b, point_t p)
{
    const double ra = distance(c, a);
    const projection_t foot = projectOntoLine(c, a, b);
    const double rb = distance(b, foot.foot);
    if (roundHalfEven(ra) == roundHalfEven(rb))
        return std::abs(roundHalfEven(distance(c, p)) - roundHalfEven(ra));
    const double mx = std::max(ra, rb), mn = std::min(ra, rb);
    const double f = std::sqrt(mx * mx - mn * mn);
    const double dir = ra > rb ? segmentAngle(c, a) : segmentAngle(foot.foot, b);
    const point_t f1 = polarPoint(c, dir, f);
    const point_t f2 = polarPoint(c, dir + pi, f);
    const double diff = 2 * mx - (distance(p, f1) + distance(p, f2));
    return roundHalfEven(static_cast<long double>(diff) * diff);
}

int32_t arcDistance(int32_t itemType, point_t c, point_t p, point_t e, point_t s)
{
    int32_t best = INT32_MAX;
    if (itemType == model::typePie) {
        for (point_t rim : {s, e}) {
            const projection_t f = projectOntoLine(c, rim, p);
            if (f.within) best = std::min(best, roundHalfEven(distance(p, f.foot)));
        }
    }
    const arcSweep_t a = arcSweep(c, s, e);
    const double r = distance(c, s);
    const int32_t n = arcSampleCount(a.sweep);
    for (int32_t j = 1; j <= n - 2; ++j) {
        const point_t q = polarPoint(c, a.start + j * a.sweep / (n - 1), r);
        best = std::min(best, roundHalfEven(distance(p, q)));
    }
    return best;
}

int32_t curveSegmentDistance(const pointNode_t& node, const pointNode_t& next, point_t p)
{
    const point_t pa = pointOf(&node), pb = pointOf(&next);
    const point_t c1 = c1Of(&node), c2 = c2Of(&node);
    const double a1 = segmentAngle(pa, pb), a2 = segmentAngle(pa, c1);
    const point_t q1 = polarPoint(pa, a1 + signedDifference(a1, a2) / 2, distance(pa, c1));
    const double b1 = segmentAngle(pb, pa), b2 = segmentAngle(pb, c2);
    const point_t q2 = polarPoint(pb, b1 + signedDifference(b1, b2) / 2, distance(pb, c2));
    int32_t best = std::min(roundHalfEven(distance(pa, p)), roundHalfEven(distance(pb, p)));
    for (const projection_t& f : {projectOntoLine(q1, q2, p), projectOntoLine(q2, q1, p)})
        if (f.within) best = std::min(best, roundHalfEven(distance(p, f.foot)));
    return best;
}

bool pointInBand(point_t p, const quadrangle_t& q)
{
    const projection_t f1 = projectOntoLine(q[0], q[1], p);
    const projection_t f3 = projectOntoLine(q[2], q[3], p);
    if (!f1.within || !f3.within) return false;
    return distance(p, f1.foot) + distance(p, f3.foot) - 1 <= distance(q[1], q[2]);
}

} // namespace geometry
