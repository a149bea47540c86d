#include "render/arrowheads.h"

#include "model/itemlist.h"
#include "render/shapedraw.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace render {

using model::headKind_t;
using model::item_t;

namespace {

// Multiples of the pen a head is long, per size.
constexpr double sizeFactor[model::headSizeCount] = {3.0, 4.5, 6.0};
// Half widths and radii as parts of the head's length.
constexpr double arrowHalfWidth = 0.4;
constexpr double diamondHalfWidth = 0.3;
constexpr double circleRadius = 0.3;
constexpr double barHalfLength = 0.5;

dpoint_t at(const model::pointNode_t* n) { return {double(n->p.x), double(n->p.y)}; }
bool same(dpoint_t a, dpoint_t b) { return a.x == b.x && a.y == b.y; }

pathEnd_t endOf(dpoint_t tip, dpoint_t from) { return {tip, from, !same(tip, from)}; }

dpoint_t mapD(const xform_t& xf, dpoint_t p)
{
    const double lim = geometry::canvasCoordinateLimit;
    return {std::clamp(xf.sx * (p.x + xf.ox) + xf.dx, -lim, lim), std::clamp(xf.sy * (p.y + xf.oy) + xf.dy, -lim, lim)};
}

QPoint roundQ(dpoint_t p) { return QPoint(int32_t(std::lround(p.x)), int32_t(std::lround(p.y))); }

double segDistance(dpoint_t a, dpoint_t b, dpoint_t p)
{
    const double vx = b.x - a.x, vy = b.y - a.y, l2 = vx * vx + vy * vy;
    double t = l2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * vx - p.x, a.y + t * vy - p.y);
}

bool insidePolygon(const std::vector<dpoint_t>& poly, dpoint_t p)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const dpoint_t a = poly[i], b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

} // namespace

bool headShape_t::solid() const
{
    return kind == headKind_t::filled || kind == headKind_t::circle || kind == headKind_t::diamond;
}

pathEnds_t pathEndsOf(const item_t* item)
{
    pathEnds_t e;
    if (!model::takesHeads(item)) return e;
    const model::pointNode_t* first = item->points.head;
    const model::pointNode_t* last = item->points.tail;
    switch (item->itemType) {
    case model::typeLine: {
        const dpoint_t a{double(item->x1), double(item->y1)}, b{double(item->x2), double(item->y2)};
        e.start = endOf(a, b);
        e.end = endOf(b, a);
        break;
    }
    case model::typeSpline: {
        if (!first || first == last) break;
        // Repeated points give no direction: the nearest point that differs does.
        const model::pointNode_t* n = first->next;
        while (n && same(at(n), at(first))) n = n->next;
        if (n) e.start = endOf(at(first), at(n));
        const model::pointNode_t* m = last->prev;
        while (m && same(at(m), at(last))) m = m->prev;
        if (m) e.end = endOf(at(last), at(m));
        break;
    }
    case model::typeCurve: {
        if (!first || first == last) break;
        // The control point leaving the first point and the one arriving at
        // the last give the curve's directions there.
        const dpoint_t c1{double(first->p.c1x), double(first->p.c1y)};
        e.start = endOf(at(first), same(c1, at(first)) ? at(first->next) : c1);
        const dpoint_t c2{double(last->prev->p.c2x), double(last->prev->p.c2y)};
        e.end = endOf(at(last), same(c2, at(last)) ? at(last->prev) : c2);
        break;
    }
    case model::typeArc: {
        if (model::countNodes(item->points) < 3) break;
        // The arc runs counter-clockwise (as seen) from S on the circle
        // through S about C to the direction of E. Each head points along
        // the chord over a short piece of it, so that a head on a tight arc
        // points along the arc rather than along its tangent.
        const dpoint_t c = at(first), s = at(first->next), t = at(first->next->next);
        const double r = std::hypot(s.x - c.x, s.y - c.y);
        if (!(r > 0) || same(t, c)) break;
        const double a0 = std::atan2(c.y - s.y, s.x - c.x), a1 = std::atan2(c.y - t.y, t.x - c.x);
        double sweep = std::fmod(a1 - a0, 2 * std::numbers::pi);
        if (sweep <= 0) sweep += 2 * std::numbers::pi;
        const double step = std::min(headLength(item->lineWeight, model::headsOf(item).size) / 2 / r, sweep);
        auto on = [&](double a) { return dpoint_t{c.x + r * std::cos(a), c.y - r * std::sin(a)}; };
        e.start = endOf(s, on(a0 + step));
        e.end = endOf(on(a1), on(a1 - step));
        break;
    }
    default: break;
    }
    return e;
}

double headLength(double lineWeightMm, model::headSize_t size)
{
    const double w = std::isfinite(lineWeightMm) ? std::clamp(lineWeightMm, 0.0, 1000.0) : 0.0;
    const double pen = std::max<double>(geometry::penWidthAt(1.0, w), 2.0);
    const int32_t k = std::clamp(static_cast<int32_t>(size), 0, model::headSizeCount - 1);
    return std::min(sizeFactor[k] * pen, headLengthLimit);
}

headShape_t headShape(headKind_t kind, const pathEnd_t& end, double length)
{
    headShape_t h;
    h.kind = kind;
    h.lineEnd = end.tip;
    if (kind == headKind_t::none || !end.valid) {
        h.kind = headKind_t::none;
        return h;
    }
    // d runs from the tip back along the path, n across it.
    const double dx = end.from.x - end.tip.x, dy = end.from.y - end.tip.y, len = std::hypot(dx, dy);
    const double ux = dx / len, uy = dy / len, nx = -uy, ny = ux;
    const dpoint_t t = end.tip;
    auto p = [&](double along, double across) { return dpoint_t{t.x + along * ux + across * nx, t.y + along * uy + across * ny}; };
    const double L = length;
    switch (kind) {
    case headKind_t::open: h.points = {p(L, arrowHalfWidth * L), t, p(L, -arrowHalfWidth * L)}; break;
    case headKind_t::filled: h.points = {t, p(L, arrowHalfWidth * L), p(L, -arrowHalfWidth * L)}; break;
    case headKind_t::diamond: h.points = {t, p(L / 2, diamondHalfWidth * L), p(L, 0), p(L / 2, -diamondHalfWidth * L)}; break;
    case headKind_t::bar: h.points = {p(0, barHalfLength * L), p(0, -barHalfLength * L)}; break;
    case headKind_t::circle:
        h.radius = circleRadius * L;
        h.centre = p(h.radius, 0);
        break;
    default: break;
    }
    // The path ends inside a solid head, never at its tip.
    if (h.solid()) h.lineEnd = kind == headKind_t::circle ? h.centre : p(L / 2, 0);
    return h;
}

std::vector<headShape_t> headShapesOf(const item_t* item)
{
    std::vector<headShape_t> out;
    const model::lineHeads_t heads = model::headsOf(item);
    if (!heads.any()) return out;
    const pathEnds_t ends = pathEndsOf(item);
    const double L = headLength(item->lineWeight, heads.size);
    for (const bool atStart : {true, false}) {
        headShape_t h = headShape(atStart ? heads.start : heads.end, atStart ? ends.start : ends.end, L);
        h.atStart = atStart;
        if (h.kind != headKind_t::none) out.push_back(std::move(h));
    }
    return out;
}

bool headsBox(const item_t* item, int32_t grow, geometry::rect_t& out)
{
    const std::vector<headShape_t> heads = headShapesOf(item);
    if (heads.empty()) return false;
    double l = std::numeric_limits<double>::max(), t = l, r = -l, b = -l;
    auto cover = [&](dpoint_t p, double e) {
        l = std::min(l, p.x - e), r = std::max(r, p.x + e), t = std::min(t, p.y - e), b = std::max(b, p.y + e);
    };
    for (const headShape_t& h : heads) {
        if (h.kind == headKind_t::circle) cover(h.centre, h.radius);
        for (const dpoint_t& p : h.points) cover(p, 0);
    }
    auto lim = [](double v) { return geometry::canvasCoordinate(static_cast<int64_t>(std::clamp(v, -2e9, 2e9))); };
    out = {lim(std::floor(l) - grow), lim(std::floor(t) - grow), lim(std::ceil(r) + grow), lim(std::ceil(b) + grow)};
    return true;
}

double headsDistance(const item_t* item, geometry::point_t q)
{
    double best = std::numeric_limits<double>::max();
    const dpoint_t p{double(q.x), double(q.y)};
    for (const headShape_t& h : headShapesOf(item)) {
        if (h.kind == headKind_t::circle) {
            best = std::min(best, std::max(0.0, std::hypot(p.x - h.centre.x, p.y - h.centre.y) - h.radius));
            continue;
        }
        if (h.solid() && insidePolygon(h.points, p)) return 0.0;
        const size_t n = h.points.size();
        for (size_t i = 0; i + 1 < n; ++i) best = std::min(best, segDistance(h.points[i], h.points[i + 1], p));
        if (h.solid() && n > 2) best = std::min(best, segDistance(h.points[n - 1], h.points[0], p));
    }
    return best;
}

void drawHeads(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    const std::vector<headShape_t> heads = headShapesOf(item);
    if (heads.empty()) return;
    const int32_t colour = figureLineColor(ctx, item);
    canvasLock_t lock(ctx.canvas);
    for (const headShape_t& h : heads) {
        std::vector<QPoint> pts;
        for (const dpoint_t& p : h.points) pts.push_back(roundQ(mapD(ctx.xf, p)));
        switch (h.kind) {
        case headKind_t::open:
        case headKind_t::bar:
            ctx.canvas.setPen(colour, std::max(pen, 1));
            ctx.canvas.clearBrush();
            ctx.canvas.polyline(pts);
            break;
        case headKind_t::filled:
        case headKind_t::diamond:
            ctx.canvas.setPen(colour, 1);
            ctx.canvas.setBrush(colour);
            ctx.canvas.polygon(pts);
            break;
        case headKind_t::circle: {
            const dpoint_t c = mapD(ctx.xf, h.centre);
            const double r = h.radius * ctx.xf.sy;
            ctx.canvas.setPen(colour, 1);
            ctx.canvas.setBrush(colour);
            ctx.canvas.ellipse(int32_t(std::lround(c.x - r)), int32_t(std::lround(c.y - r)),
                               int32_t(std::lround(c.x + r)) + 1, int32_t(std::lround(c.y + r)) + 1);
            break;
        }
        default: break;
        }
    }
}

void drawHeadSample(canvas_t& canvas, int32_t x0, int32_t x1, int32_t y, headKind_t kind, int32_t colour)
{
    const pathEnd_t end{{double(x1), double(y)}, {double(x0), double(y)}, x1 != x0};
    const headShape_t h = headShape(kind, end, headLength(0.0, model::headSize_t::large));
    const QPoint a(x0, y), b = roundQ(h.lineEnd);
    canvas.setPen(colour, 1);
    canvas.clearBrush();
    const QPoint seg[2] = {a, b};
    canvas.polyline(seg, 2);
    std::vector<QPoint> pts;
    for (const dpoint_t& p : h.points) pts.push_back(roundQ(p));
    switch (kind) {
    case headKind_t::open:
    case headKind_t::bar: canvas.polyline(pts); break;
    case headKind_t::filled:
    case headKind_t::diamond:
        canvas.setBrush(colour);
        canvas.polygon(pts);
        break;
    case headKind_t::circle:
        canvas.setBrush(colour);
        canvas.ellipse(int32_t(std::lround(h.centre.x - h.radius)), int32_t(std::lround(h.centre.y - h.radius)),
                       int32_t(std::lround(h.centre.x + h.radius)) + 1, int32_t(std::lround(h.centre.y + h.radius)) + 1);
        break;
    default: break;
    }
}

} // namespace render
