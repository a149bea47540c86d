#include "render/strokes.h"

#include "geometry/units.h"
#include "model/metrics.h"
#include "render/shade.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace render {

using model::roundHalfEven;

int32_t lineBandWidth(const model::item_t* item, double zoom)
{
    return std::max(1, roundHalfEven(static_cast<long double>(zoom) * item->penWidthPx));
}

int32_t patternUnit(double lineWeightMm, double zoom)
{
    const int32_t w = std::max(1, roundHalfEven(geometry::mmToPx(lineWeightMm, geometry::axis_t::y)));
    return roundHalfEven(static_cast<long double>(w) * zoom);
}

pattern_t builtinPattern(int32_t index, int32_t a)
{
    // Multiples held at the top of the range: a weight from a file may be anything.
    auto times = [a](int64_t k) { return static_cast<int32_t>(std::clamp<int64_t>(k * a, INT32_MIN, INT32_MAX)); };
    const int32_t b = times(2);
    const int32_t e = std::max(b, 3);
    const int32_t dash = std::max(times(6), 6);
    const int32_t gap = std::max(b, 2);
    switch (index) {
    case patternDot: return {std::max(a, 1), std::max(b, 1)};
    case patternDash: return {dash, gap};
    case patternCenter: return {dash, e, gap, e};
    case patternPhantom: return {dash, e, gap, e, gap, e};
    default: return {solidDash};
    }
}

pattern_t patternFromLengths(const double* mm, int32_t count, double zoom)
{
    pattern_t p;
    count = std::clamp(count, 0, 12);
    int64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        double len = mm[i];
        if (!std::isfinite(len)) len = 0;
        int32_t px = roundHalfEven(geometry::mmToPx(std::fabs(len), geometry::axis_t::x));
        if (zoom != 1.0) px = roundHalfEven(static_cast<long double>(zoom) * px);
        px = std::max(px, 0);
        p.push_back(px);
        total += px;
    }
    // A pattern without length would never advance along the line.
    if (p.empty() || total <= 0) return {solidDash};
    return p;
}

pattern_t resolvePattern(const model::itemList_t& document, const model::item_t* item, double zoom)
{
    const int32_t index = item->patternIndex;
    if (index >= 0 && index <= patternPhantom) return builtinPattern(index, patternUnit(item->lineWeight, zoom));
    if (index < 0) {
        for (const model::item_t* it = document.head; it; it = it->next) {
            if (it->kind == model::kindPattern && it->itemType == index)
                return patternFromLengths(it->pat().segments, it->pat().segmentCount, zoom);
        }
    }
    return {solidDash};
}

namespace {

// A walk along one direction: the sine and cosine and the length to the end
// are worked out once, not at every step of a dash walk.
struct walk_t {
    dpoint_t start, end;
    double cosine, sine, length;
    walk_t(dpoint_t s, double angle, dpoint_t e)
        : start(s), end(e), cosine(std::cos(angle)), sine(std::sin(angle)), length(std::hypot(e.x - s.x, e.y - s.y))
    {
    }
    stepResult_t step(double distance) const
    {
        dpoint_t p{start.x + roundHalfEven(cosine * static_cast<long double>(distance)),
                   start.y - roundHalfEven(sine * static_cast<long double>(distance))};
        const double reach = std::hypot(p.x - start.x, p.y - start.y);
        if (reach >= length) return {end, true};
        return {p, false};
    }
};

} // namespace

stepResult_t stepAlong(dpoint_t start, double distance, double angle, dpoint_t end)
{
    return walk_t(start, angle, end).step(distance);
}

namespace {

QPoint rounded(double x, double y) { return QPoint(roundHalfEven(x), roundHalfEven(y)); }

// The exact unit vector for directions along an axis, or false.
bool axisNormal(double angle, int32_t& ux, int32_t& uy)
{
    constexpr double pi = std::numbers::pi;
    constexpr double eps = 0.0001;
    double a = std::fmod(angle, 2 * pi);
    if (a < 0) a += 2 * pi;
    if (std::fabs(a) < eps || std::fabs(a - 2 * pi) < eps) { ux = 0; uy = -1; return true; }
    if (std::fabs(a - pi / 2) < eps) { ux = -1; uy = 0; return true; }
    if (std::fabs(a - pi) < eps) { ux = 0; uy = 1; return true; }
    if (std::fabs(a - 3 * pi / 2) < eps) { ux = 1; uy = 0; return true; }
    return false;
}

} // namespace

std::array<QPoint, 4> bandQuad(dpoint_t p, dpoint_t q, double angle, int32_t width, bool oneSided)
{
    int32_t ux = 0, uy = 0;
    if (axisNormal(angle, ux, uy)) {
        const int32_t d = oneSided ? width : roundHalfEven(width / 2.0L);
        const QPoint P = rounded(p.x, p.y), Q = rounded(q.x, q.y);
        const QPoint u(ux, uy);
        return {P + d * u, Q + d * u, Q - (width - d) * u, P - (width - d) * u};
    }
    const double h = oneSided ? width : width / 2.0;
    const double vx = std::cos(angle + std::numbers::pi / 2), vy = -std::sin(angle + std::numbers::pi / 2);
    const QPoint c1 = rounded(p.x + h * vx, p.y + h * vy);
    const QPoint c2 = rounded(q.x + h * vx, q.y + h * vy);
    const QPoint c3 = rounded(c2.x() - width * vx, c2.y() - width * vy);
    const QPoint c4 = rounded(c1.x() - width * vx, c1.y() - width * vy);
    return {c1, c2, c3, c4};
}

std::array<std::array<QPoint, 4>, 4> borderStrips(const std::array<QPoint, 4>& quad, int32_t b)
{
    double cx = 0, cy = 0;
    for (const QPoint& c : quad) { cx += c.x() / 4.0; cy += c.y() / 4.0; }
    std::array<std::array<QPoint, 4>, 4> strips{};
    for (int i = 0; i < 4; ++i) {
        const QPoint a = quad[i], e = quad[(i + 1) % 4];
        const double dx = e.x() - a.x(), dy = e.y() - a.y();
        const double len = std::hypot(dx, dy);
        double nx = 0, ny = 0;
        if (len > 0) { nx = -dy / len; ny = dx / len; }
        // Point the normal towards the inside of the quad.
        const double mx = (a.x() + e.x()) / 2.0 - cx, my = (a.y() + e.y()) / 2.0 - cy;
        if (nx * mx + ny * my > 0) { nx = -nx; ny = -ny; }
        strips[i] = {a, e, rounded(e.x() + b * nx, e.y() + b * ny), rounded(a.x() + b * nx, a.y() + b * ny)};
    }
    return strips;
}

lineStyle_t lineStyleAt(const model::item_t* item, double zoom, bool effects)
{
    lineStyle_t s;
    s.bandWidth = lineBandWidth(item, zoom);
    s.outlineWidth = geometry::penWidthAt(zoom, item->outlineWeight);
    s.surface = effects ? item->surface : 0;
    return s;
}

namespace {

void setDashBrush(canvas_t& canvas, const model::item_t* item, int32_t fill)
{
    if (fill == -2) canvas.setBrush(item->lineColor);
    else if (fill == -1) canvas.clearBrush();
    else canvas.setBrush(fill);
}

void drawDash(canvas_t& canvas, const model::item_t* item, dpoint_t d, dpoint_t f, double theta, int32_t W,
              int32_t B, int32_t fill, const lineStyle_t& style)
{
    // Dashes wholly outside the image cost nothing to skip (long lines at high zoom).
    const double reach = W + 2.0;
    if (std::max(d.x, f.x) + reach < 0 || std::min(d.x, f.x) - reach > canvas.width() ||
        std::max(d.y, f.y) + reach < 0 || std::min(d.y, f.y) - reach > canvas.height())
        return;
    if (W < 2) {
        canvas.setPen(item->lineColor, W);
        const QPoint pts[2] = {rounded(d.x, d.y), rounded(f.x, f.y)};
        canvas.polyline(pts, 2);
        return;
    }
    const auto quad = bandQuad(d, f, theta, W, false);
    if (style.surface > 0 && W >= 4 &&
        drawShadedDash(canvas, quad, W, B, fill != -1, item->lineColor, theta, style.surface, style.lightDirection))
        return;
    canvas.setPen(item->lineColor, 1);
    canvas.polygon(quad.data(), 4);
    if (B >= 2) {
        canvas.setBrush(item->lineColor);
        for (const auto& s : borderStrips(quad, B)) canvas.polygon(s.data(), 4);
        setDashBrush(canvas, item, fill);
    }
}

// The distances along a walk from `start` in direction `theta` at which a
// dash can touch the image: a dash is a band across the walk, `reach` pixels
// to either side at most, that ends square at its two points; so it touches
// the image only where the image's corners, seen along the walk, lie (first
// > last when the band passes the image by).
struct walkWindow_t {
    double first = 0, last = 0;
};

walkWindow_t walkWindow(dpoint_t start, double theta, int32_t width, int32_t height, double reach)
{
    const double ux = std::cos(theta), uy = -std::sin(theta);
    double first = std::numeric_limits<double>::infinity(), last = -first;
    double side = first, otherSide = -first;
    for (const double cx : {0.0, double(width)})
        for (const double cy : {0.0, double(height)}) {
            const double dx = cx - start.x, dy = cy - start.y;
            const double along = dx * ux + dy * uy, across = dx * uy - dy * ux;
            first = std::min(first, along);
            last = std::max(last, along);
            side = std::min(side, across);
            otherSide = std::max(otherSide, across);
        }
    // Rounding moves the walk's points and the band's corners by a pixel or two.
    constexpr double slack = 3;
    if (side > reach + slack || otherSide < -reach - slack) return {1, 0};
    return {first - slack, last + slack};
}

} // namespace

void drawLine(canvas_t& canvas, const model::item_t* item, dpoint_t start, dpoint_t end,
              const lineStyle_t& style, const pattern_t& pattern)
{
    const int32_t W = style.bandWidth;
    int32_t B = style.outlineWidth;
    int32_t fill = item->fillColor;
    const bool solid = 2 * int64_t(B) >= W || item->lineWeight < 0.0001 ||
                       2 * int64_t(geometry::penWidthAt(1, item->outlineWeight)) >= geometry::penWidthAt(1, item->lineWeight);
    if (solid) {
        fill = -2;
        B = 0;
    }
    setDashBrush(canvas, item, fill);

    const pattern_t& L = pattern.empty() ? pattern_t{solidDash} : pattern;
    int64_t cycle = 0;
    for (int32_t v : L) cycle += std::max(v, 0);
    const pattern_t solidPattern{solidDash};
    const pattern_t& use = cycle > 0 ? L : solidPattern;

    // A damaged angle must not stall the walk: fall back to the direction of the points.
    const double theta = std::isfinite(item->angle) ? item->angle : std::atan2(start.y - end.y, end.x - start.x);
    const int64_t useCycle = cycle > 0 ? cycle : solidDash;
    const walkWindow_t window = walkWindow(start, theta, canvas.width(), canvas.height(), double(W) + 2);
    const walk_t walk(start, theta, end);
    double sum = 0;
    dpoint_t D = start;
    for (;;) {
        // Dashes wholly before or after the image draw nothing: whole cycles
        // before it are stepped over (a long line of short dashes at a high
        // zoom would otherwise take billions of steps), and the walk ends
        // once it has passed the image.
        if (sum > window.last) return;
        if (sum + 2.0 * useCycle < window.first) {
            sum += std::floor((window.first - sum) / useCycle - 1) * useCycle;
            const stepResult_t d = walk.step(sum);
            if (d.reachedEnd) return;
            D = d.point;
        }
        for (size_t i = 0; i < use.size(); i += 2) {
            sum += std::max(use[i], 0);
            const stepResult_t f = walk.step(sum);
            drawDash(canvas, item, D, f.point, theta, W, B, fill, style);
            if (f.reachedEnd) return;
            sum += i + 1 < use.size() ? std::max(use[i + 1], 0) : 0;
            const stepResult_t d = walk.step(sum);
            if (d.reachedEnd) return;
            D = d.point;
        }
    }
}

void drawLine(canvas_t& canvas, const model::itemList_t& document, const model::item_t* item,
              dpoint_t start, dpoint_t end, double zoom)
{
    drawLine(canvas, item, start, end, lineStyleAt(item, zoom, true), resolvePattern(document, item, zoom));
}

} // namespace render
