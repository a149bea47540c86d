#include "render/outline_local.h"

#include <cmath>
#include <numbers>

namespace render::local {

using geometry::point_t;
using model::roundHalfEven;
constexpr double pi = std::numbers::pi;

std::vector<point_t> arcPoints(point_t c, point_t s, point_t e)
{
    const double start = geometry::segmentAngle(c, s);
    double end = geometry::segmentAngle(c, e);
    if (start > end) end += 2 * pi;
    double sweep = end - start;
    if (sweep > 2 * pi) sweep -= 2 * pi;
    const double r = geometry::distance(c, s);
    const int32_t n = std::max(2, roundHalfEven(sweep / (pi / 200)));
    std::vector<point_t> out{s};
    for (int32_t j = 1; j <= n - 2; ++j) {
        const point_t p = geometry::polarPoint(c, start + j * sweep / (n - 1), r);
        if (!(p == out.back())) out.push_back(p);
    }
    out.push_back(geometry::polarPoint(c, start + sweep, r));
    return out;
}

namespace {

// Foot of the perpendicular from p to the line a–b.
point_t foot(point_t a, point_t b, point_t p)
{
    if (std::abs(a.x - b.x) <= 2) return {a.x, p.y};
    const double m = double(a.y - b.y) / double(a.x - b.x);
    if (std::abs(a.y - b.y) < 1 || std::fabs(m) < 0.0001) return {p.x, a.y};
    const double t = a.y - m * a.x;
    // Intersection with the line through p of slope -1/m.
    const double t2 = p.y + p.x / m;
    const double x = (t2 - t) / (m + 1 / m);
    return {roundHalfEven(x), roundHalfEven(t + m * x)};
}

} // namespace

std::vector<point_t> ellipseBezier(point_t c, point_t a, point_t b)
{
    const int32_t rx = roundHalfEven(geometry::distance(c, a));
    const int32_t ry = roundHalfEven(geometry::distance(b, foot(c, a, b)));
    const int32_t left = c.x - rx, right = c.x + rx, top = c.y - ry, bottom = c.y + ry;
    const int32_t kx = roundHalfEven(2.0L * rx * 0.27614237L);
    const int32_t ky = roundHalfEven(static_cast<long double>(bottom - top) * 0.27614237L);
    std::vector<point_t> pts{{left, c.y},       {left, c.y - ky},  {c.x - kx, top},   {c.x, top},
                             {c.x + kx, top},   {right, c.y - ky}, {right, c.y},      {right, c.y + ky},
                             {c.x + kx, bottom}, {c.x, bottom},    {c.x - kx, bottom}, {left, c.y + ky},
                             {left, c.y}};
    const double phi = geometry::segmentAngle(c, a);
    for (point_t& p : pts) p = geometry::polarPoint(c, geometry::segmentAngle(c, p) + phi, geometry::distance(c, p));
    return pts;
}

} // namespace render::local
