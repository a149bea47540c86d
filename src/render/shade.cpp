#include "render/shade.h"

#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/effects.h"
#include "render/shapedraw.h"
#include "render/strokes.h"
#include "render/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <unordered_map>

namespace render {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

namespace {

constexpr double pi = std::numbers::pi;
// The pure colours of a shading mask (0x00BBGGRR): outline and interior.
constexpr int32_t maskBlue = 0xFF0000;
constexpr int32_t maskRed = 0x0000FF;
constexpr QRgb maskBlueRgb = 0xFF0000FFu;
constexpr QRgb maskRedRgb = 0xFFFF0000u;
// Figures beyond these sizes (damaged or absurd records) are drawn flat.
constexpr int32_t maxRampLength = 1 << 16;
constexpr int32_t farOut = 1 << 24;
constexpr int32_t maxShadedPen = 1 << 16;

int32_t channel(int32_t colour, int32_t shift) { return (colour >> shift) & 0xFF; }

std::vector<QRgb> rampRgb(int32_t n, int32_t level, int32_t colour)
{
    std::vector<QRgb> out;
    for (int32_t c : shadeRamp(n, level, colour)) out.push_back(toRgb(c));
    return out;
}

// Draws a figure into a black mask over `area` (canvas pixels, clipped to the
// canvas) and replaces every blue or red mask pixel on the canvas by the row
// `row(x, y)` of the line ramp or the fill ramp. On a canvas that changes only
// some of its pixels (a band of the image) only those are picked; the mask is
// drawn whole all the same, so that the figure lands where it always does.
template <class DrawFn, class RowFn>
void maskAndPick(canvas_t& canvas, QRect area, int32_t n, const std::vector<QRgb>& lineRamp,
                 const std::vector<QRgb>& fillRamp, DrawFn drawFigure, RowFn row)
{
    area = area.intersected(canvas.bounds());
    const QRect picked = canvas.paintedArea().intersected(area).translated(-area.topLeft());
    if (picked.isEmpty() || n < 1) return;
    QImage mask(area.size(), QImage::Format_RGB32);
    mask.fill(0xFF000000u);
    {
        canvas_t maskCanvas(mask);
        drawFigure(maskCanvas, area.topLeft());
    }
    // A vector device gets the shaded pixels as a layer over the flat figure.
    QImage layer;
    if (canvas.isVector()) {
        layer = QImage(area.size(), QImage::Format_ARGB32);
        if (layer.isNull()) return;
        layer.fill(Qt::transparent);
    } else {
        canvas.release();
    }
    QImage& image = canvas.isVector() ? layer : canvas.image();
    const QPoint corner = canvas.isVector() ? QPoint(0, 0) : area.topLeft();
    const int32_t left = picked.left(), right = picked.right();
    for (int32_t y = picked.top(); y <= picked.bottom(); ++y) {
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(corner.y() + y)) + corner.x();
        for (int32_t x = left; x <= right; ++x) {
            const QRgb v = m[x];
            if (v == maskBlueRgb) {
                dst[x] = lineRamp[size_t(wrapRow(row(area.left() + x, area.top() + y), n))];
            } else if (v == maskRedRgb && !fillRamp.empty()) {
                dst[x] = fillRamp[size_t(wrapRow(row(area.left() + x, area.top() + y), n))];
            }
        }
    }
    if (canvas.isVector()) canvas.placeLayer(area.topLeft(), layer);
}

// The item's plain figure in the mask colours, drawn at the mask's corner.
auto plainFigureInMask(const drawContext_t& ctx, const item_t* item, int32_t pen)
{
    return [&ctx, item, pen](canvas_t& maskCanvas, QPoint topLeft) {
        drawContext_t m{maskCanvas, ctx.document, ctx.xf, false, false, true, false, true, ctx.output, ctx.style,
                        true,       maskBlue,     maskRed};
        m.xf.dx -= topLeft.x();
        m.xf.dy -= topLeft.y();
        drawPlainFigure(m, item, pen);
    };
}

// The row across a band: n + Round(sin φ × (n div 4)) − Round(distance to
// the reference line through a and b).
struct bandRow_t {
    double ax, ay, nx, ny;  // a point of the line and its unit normal
    int32_t base;
    int32_t operator()(int32_t x, int32_t y) const
    {
        return base - roundHalfEven(std::fabs((x - ax) * nx + (y - ay) * ny));
    }
};

bool bandRowFor(QPointF a, QPointF b, int32_t n, double phi, bandRow_t& out)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y(), len = std::hypot(dx, dy);
    if (!(len > 0)) return false;
    out = {a.x(), a.y(), -dy / len, dx / len, n + roundHalfEven(std::sin(phi) * (n / 4))};
    return true;
}

// The row of a round figure: Round(distance to the spot) + n div 2, the
// pixel first brought into the area of the prepared circle.
struct spotRow_t {
    int32_t clampL, clampT, clampR, clampB;
    double sx, sy;
    int32_t half;
    int32_t operator()(int32_t x, int32_t y) const
    {
        const double px = std::clamp(x, clampL, clampR), py = std::clamp(y, clampT, clampB);
        return roundHalfEven(std::hypot(px - sx, py - sy)) + half;
    }
};

// The circle inscribed in the square from `corner` with side d, its spot
// placed by the light direction.
spotRow_t circleRow(QPoint corner, int32_t d, int32_t n, const lightSigns_t& l)
{
    return {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, double(corner.x() + d / 2 + l.spotX * (d / 6)),
            double(corner.y() + d / 2 + l.spotY * (d / 6)), n / 2};
}

QRect boxOf(const std::vector<QPoint>& pts)
{
    int32_t l = pts[0].x(), r = l, t = pts[0].y(), b = t;
    for (const QPoint& p : pts) {
        l = std::min(l, p.x());
        r = std::max(r, p.x());
        t = std::min(t, p.y());
        b = std::max(b, p.y());
    }
    return QRect(QPoint(l, t), QPoint(r, b));
}

std::vector<QPoint> mappedPoints(const xform_t& xf, const item_t* item, bool controls)
{
    std::vector<QPoint> pts;
    for (const model::pointNode_t* n = item->points.head; n; n = n->next) {
        pts.push_back(xf.map(n->p.x, n->p.y));
        if (controls) {
            pts.push_back(xf.map(n->p.c1x, n->p.c1y));
            pts.push_back(xf.map(n->p.c2x, n->p.c2y));
        }
    }
    return pts;
}

double normalAngle(double a)
{
    a = std::fmod(a, 2 * pi);
    return a < 0 ? a + 2 * pi : a;
}

struct ramps_t {
    std::vector<QRgb> line, fill;
};
ramps_t rampsFor(const item_t* item, int32_t n)
{
    ramps_t r;
    r.line = rampRgb(n, item->surface, item->lineColor);
    if (item->fillColor >= 0) r.fill = rampRgb(n, item->surface, item->fillColor);
    return r;
}

void shadeSquareOrRectangle(drawContext_t& ctx, const item_t* item, int32_t pen, const lightSigns_t& light)
{
    const point_t c1 = mappedPointAt(ctx.xf, item, 1), c2 = mappedPointAt(ctx.xf, item, 2),
                  c3 = mappedPointAt(ctx.xf, item, 3);
    const int32_t n = roundHalfEven(geometry::distance(c2, c3));
    double dir = geometry::segmentAngle(c1, c2);
    const double turn = normalAngle(geometry::segmentAngle(c2, c3) - dir);
    if (turn > 0 && turn <= pi) dir += pi;  // a left turn: measure from the other side
    bandRow_t row{};
    if (n < 1 || n > maxRampLength ||
        !bandRowFor(QPointF(c1.x, c1.y), QPointF(c2.x, c2.y), n, normalAngle(dir) + light.lineOffset, row)) {
        drawPlainFigure(ctx, item, pen);
        return;
    }
    const ramps_t r = rampsFor(item, n);
    const QRect area = boxOf(mappedPoints(ctx.xf, item, false)).adjusted(-pen - 2, -pen - 2, pen + 2, pen + 2);
    maskAndPick(ctx.canvas, area, n, r.line, r.fill, plainFigureInMask(ctx, item, pen), row);
}

void shadeCircle(drawContext_t& ctx, const item_t* item, int32_t pen, const lightSigns_t& light)
{
    const point_t c = mappedPointAt(ctx.xf, item, 1);
    const int32_t r = roundHalfEven(geometry::distance(c, mappedPointAt(ctx.xf, item, 2)));
    const int32_t d = 2 * r;
    if (d < 2) return;  // too small to shade: not drawn at all
    const int32_t n = pen + roundHalfEven(1.5L * d);
    if (n > maxRampLength) return drawPlainFigure(ctx, item, pen);
    const QRect area(QPoint(c.x - r - pen, c.y - r - pen), QPoint(c.x + r + pen, c.y + r + pen));
    const ramps_t rr = rampsFor(item, n);
    maskAndPick(ctx.canvas, area, n, rr.line, rr.fill, plainFigureInMask(ctx, item, pen),
                circleRow(area.topLeft(), d, n, light));
}

void shadeEllipse(drawContext_t& ctx, const item_t* item, int32_t pen, const lightSigns_t& light)
{
    const point_t c = mappedPointAt(ctx.xf, item, 1), a = mappedPointAt(ctx.xf, item, 2), b = mappedPointAt(ctx.xf, item, 3);
    const int32_t ra = roundHalfEven(geometry::distance(c, a));
    const int32_t rb = roundHalfEven(geometry::ellipseSecondAxis(c, a, b));
    if (ra == 0 || rb == 0) return;
    const auto e = geometry::ellipseBezier(c, a, b);
    const int32_t w = e.box.right - e.box.left, h = e.box.bottom - e.box.top;
    const int32_t n = pen + std::max(roundHalfEven(1.5L * w), roundHalfEven(1.5L * h));
    if (n > maxRampLength) return drawPlainFigure(ctx, item, pen);
    const QRect area(QPoint(e.box.left - pen, e.box.top - pen), QPoint(e.box.right + pen, e.box.bottom + pen));
    const double sx = area.left() + w / 2 + light.spotX * (w / 6), sy = area.top() + h / 2 + light.spotY * (h / 6);
    const double axis = geometry::segmentAngle(c, a);
    const bool flat = rb <= ra;
    // Distances grow faster across the shorter axis, so that the highlight
    // is drawn out along the longer one. (Taking −1 − a/b for an ellipse
    // whose second axis is the longer would turn the rows negative along the
    // first axis and wrap them into a dark seam down the middle.)
    const double q = flat ? 1.0 - double(rb) / ra : 1.0 - double(ra) / rb;
    const ramps_t rr = rampsFor(item, n);
    maskAndPick(ctx.canvas, area, n, rr.line, rr.fill, plainFigureInMask(ctx, item, pen), [=](int32_t x, int32_t y) {
        const int32_t m = roundHalfEven(std::hypot(x - sx, y - sy));
        // The angle from the spot to the pixel (counter-clockwise on the
        // screen) measured from the first axis, reduced into 0 … π.
        double t = std::fmod(std::atan2(sy - y, x - sx) - axis, pi);
        if (t < 0) t += pi;
        const double u = flat ? std::sin(t) : std::fabs(std::cos(t));
        return m + roundHalfEven(u * m * q) + n / 2;
    });
}

// Polygons, stars, pies and arcs: picked from a circle of side s centred on
// the shape's centre.
void shadeAroundCentre(drawContext_t& ctx, const item_t* item, int32_t pen, const lightSigns_t& light)
{
    const point_t c = mappedPointAt(ctx.xf, item, 1);
    int32_t s = 0;
    if (item->itemType == model::typeStar) {
        const int32_t big = std::max(roundHalfEven(geometry::distance(c, mappedPointAt(ctx.xf, item, 2))),
                                     roundHalfEven(geometry::distance(c, mappedPointAt(ctx.xf, item, 3))));
        s = 2 * (big + pen) + 3;
    } else {
        s = roundHalfEven(2.0L * (geometry::distance(c, mappedPointAt(ctx.xf, item, 2)) + pen)) + 1;
    }
    const int32_t n = pen + roundHalfEven(1.5L * s);
    if (n > maxRampLength) return drawPlainFigure(ctx, item, pen);
    const QPoint corner(c.x - s / 2, c.y - s / 2);
    spotRow_t row = circleRow(corner, s, n, light);
    row.clampL = corner.x();
    row.clampT = corner.y();
    row.clampR = corner.x() + s;
    row.clampB = corner.y() + s;
    const ramps_t rr = rampsFor(item, n);
    const QRect area = QRect(corner, QSize(s + 1, s + 1)).adjusted(-pen - 2, -pen - 2, pen + 2, pen + 2);
    maskAndPick(ctx.canvas, area, n, rr.line, rr.fill, plainFigureInMask(ctx, item, pen), row);
}

// Triangles, splines and curves: picked from a circle that encloses the
// square of the points' box, √2 times its side across.
void shadeInBox(drawContext_t& ctx, const item_t* item, int32_t pen, const lightSigns_t& light)
{
    const std::vector<QPoint> pts = mappedPoints(ctx.xf, item, false);
    if (pts.size() < 2) return;
    const QRect box = boxOf(pts);
    const int32_t side = std::max(box.width() - 1, box.height() - 1);
    const int32_t rim = roundHalfEven(std::sqrt(2.0L) * side);
    const int32_t d = 2 * rim - side;
    const int32_t n = pen + roundHalfEven(1.5L * d);
    if (n > maxRampLength) return drawPlainFigure(ctx, item, pen);
    spotRow_t row = circleRow(box.topLeft() + QPoint(side - rim, side - rim), d, n, light);
    row.clampL = box.left();
    row.clampT = box.top();
    row.clampR = box.left() + side;
    row.clampB = box.top() + side;
    const ramps_t rr = rampsFor(item, n);
    const QRect area = boxOf(mappedPoints(ctx.xf, item, item->itemType == model::typeCurve))
                           .adjusted(-pen - 2, -pen - 2, pen + 2, pen + 2);
    maskAndPick(ctx.canvas, area, n, rr.line, rr.fill, plainFigureInMask(ctx, item, pen), row);
}

} // namespace

int32_t brightnessLift(int32_t colour, int32_t amount)
{
    const int32_t r = channel(colour, 0), g = channel(colour, 8), b = channel(colour, 16);
    const int32_t spread = std::max({std::abs(r - b), std::abs(r - g), std::abs(g - b)});
    return roundHalfEven((1.0L - (r + g + b) / 765.0L) * (1.0L - spread / 255.0L) * 0.75L * amount);
}

namespace {

// sin(π × (r + 1) / length)^e for every row: the ramp's shape, which depends
// on the length alone. Repaints ask for the same few lengths again and again,
// and the powers of sines cost more than the rest of the shading. Kept per
// thread, as bands of an image are shaded at once.
const std::vector<double>& rampProfile(int32_t length)
{
    thread_local std::unordered_map<int32_t, std::vector<double>> memo;
    thread_local std::vector<double> once;
    auto it = memo.find(length);
    if (it != memo.end()) return it->second;
    std::vector<double> g(static_cast<size_t>(length));
    const double e = std::clamp(36.0 / length, 1.5, 3.0);
    for (int32_t r = 0; r < length; ++r) g[size_t(r)] = std::pow(std::max(0.0, std::sin(pi * (r + 1) / length)), e);
    // Kept for the usual lengths only, so the memo stays small.
    if (length > 4096) return once = std::move(g);
    if (memo.size() > 4096) memo.clear();
    return memo.emplace(length, std::move(g)).first->second;
}

} // namespace

std::vector<int32_t> shadeRamp(int32_t length, int32_t level, int32_t colour)
{
    std::vector<int32_t> ramp;
    if (length < 1) return ramp;
    ramp.reserve(size_t(length));
    const std::vector<double>& profile = rampProfile(length);
    const int32_t h = brightnessLift(colour, 255 - level);
    const int32_t lifted[3] = {h + channel(colour, 0), h + channel(colour, 8), h + channel(colour, 16)};
    for (int32_t r = 0; r < length; ++r) {
        const double k = (profile[size_t(r)] * (255 - level) + level) / 255.0;
        int32_t out = 0;
        for (int32_t c = 0; c < 3; ++c)
            out |= std::clamp(roundHalfEven(lifted[c] * static_cast<long double>(k)), 0, 255) << (8 * c);
        ramp.push_back(out);
    }
    return ramp;
}

int32_t wrapRow(int32_t row, int32_t n)
{
    if (row < 0) row += n;
    else if (row >= n) row -= n;
    return std::clamp(row, 0, n - 1);
}

bool drawShaded(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    if (pen < 0 || pen > maxShadedPen) return false;
    for (const QPoint& p : mappedPoints(ctx.xf, item, item->itemType == model::typeCurve))
        if (std::abs(p.x()) > farOut || std::abs(p.y()) > farOut) return false;
    const lightSigns_t& light = lightSigns(lightDirectionOf(ctx.document));
    const int32_t count = model::countNodes(item->points);
    switch (item->itemType) {
    case model::typeSquare:
    case model::typeRectangle:
        if (count < 3) return false;
        shadeSquareOrRectangle(ctx, item, pen, light);
        return true;
    case model::typeCircle:
        if (count >= 2) shadeCircle(ctx, item, pen, light);
        return true;
    case model::typeEllipse:
        if (count >= 3) shadeEllipse(ctx, item, pen, light);
        return true;
    case model::typePolygon:
        if (count < 2 || item->sides < geometry::minSides || item->sides > geometry::maxSides) return true;
        shadeAroundCentre(ctx, item, pen, light);
        return true;
    case model::typeStar:
        if (count < 3 || item->sides < geometry::minSides || item->sides > geometry::maxSides) return true;
        shadeAroundCentre(ctx, item, pen, light);
        return true;
    case model::typePie:
    case model::typeArc:
        if (count >= 3) shadeAroundCentre(ctx, item, pen, light);
        return true;
    case model::typeTriangle:
    case model::typeSpline:
    case model::typeCurve:
        shadeInBox(ctx, item, pen, light);
        return true;
    default: return false;
    }
}

bool drawShadedTextLine(canvas_t& canvas, const item_t* item, std::u16string_view line, QPoint p, double zoom,
                        int32_t lightDirection)
{
    const int32_t size = zoomedFontSize(item, zoom);
    if (line.empty() || size < 1) return false;
    if (std::abs(p.x()) > farOut || std::abs(p.y()) > farOut) return false;
    const textMetrics_t m = textMetrics(item, size);
    const int32_t n = m.ascent + m.descent;
    if (n < 1 || n > maxRampLength) return false;
    const int32_t spread =
        item->shadowElevation != 0 ? roundHalfEven(shadowOffsetPx(item, zoom) * fadeFactor(item)) : 0;
    const int32_t half = roundHalfEven(1.5 * textLineReach(item, line, zoom, spread));
    if (half > farOut) return false;
    // The reference line runs along the text one descent below its baseline.
    const double theta = textTheta(item);
    const QPoint start = justifiedStart(item, line, p, zoom);
    const QPointF a(start.x() + std::cos(theta - pi / 2) * m.descent, start.y() - std::sin(theta - pi / 2) * m.descent);
    const QPointF b(a.x() + std::cos(theta), a.y() - std::sin(theta));
    bandRow_t row{};
    bandRowFor(a, b, n, normalAngle(theta) + lightSigns(lightDirection).textOffset, row);
    const QRect area(QPoint(p.x() - half, p.y() - half), QPoint(p.x() + half, p.y() + half));
    maskAndPick(
        canvas, area, n, rampRgb(n, item->surface, item->textColor), {},
        [&](canvas_t& mask, QPoint topLeft) { drawTextLine(mask, item, line, p - topLeft, zoom, maskBlue); }, row);
    return true;
}

bool drawShadedDash(canvas_t& canvas, const std::array<QPoint, 4>& quad, int32_t w, int32_t b, bool interior,
                    int32_t lineColor, double lineAngle, int32_t level, int32_t lightDirection)
{
    if (w < 1 || w > maxRampLength) return false;
    for (const QPoint& p : quad)
        if (std::abs(p.x()) > farOut || std::abs(p.y()) > farOut) return false;
    bandRow_t row{};
    const double phi = normalAngle(lineAngle) + lightSigns(lightDirection).lineOffset;
    if (!bandRowFor(quad[0], quad[1], w, phi, row)) return true;  // a dash of no length
    const std::vector<QRgb> ramp = rampRgb(w, level, lineColor);
    const QRect area = boxOf({quad.begin(), quad.end()}).adjusted(-2, -2, 2, 2);
    maskAndPick(
        canvas, area, w, ramp, {},
        [&](canvas_t& mask, QPoint topLeft) {
            std::array<QPoint, 4> q = quad;
            for (QPoint& p : q) p -= topLeft;
            // Interior first, then the outline and the border strips, all in blue.
            if (interior) {
                mask.setPen(maskBlue, 1);
                mask.setBrush(maskBlue);
            } else {
                mask.setPen(maskBlue, 1);
                mask.clearBrush();
            }
            mask.polygon(q.data(), 4);
            if (b >= 2) {
                mask.setBrush(maskBlue);
                for (const auto& s : borderStrips(q, b)) mask.polygon(s.data(), 4);
            }
        },
        row);
    return true;
}

} // namespace render
