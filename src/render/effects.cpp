#include "render/effects.h"
#include "render/arrowheads.h"
#include "render/picture.h"

#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/resample.h"
#include "render/shapedraw.h"
#include "render/strokes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <utility>

namespace render {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

namespace {

constexpr double pi = std::numbers::pi;

const std::array<lightSigns_t, 4> lightTable{{
    {+1, +1, -1, -1, 5 * pi / 4, pi / 4},      // from the upper left
    {-1, +1, +1, -1, 7 * pi / 4, 3 * pi / 4},  // from the upper right
    {+1, -1, -1, +1, 3 * pi / 4, 7 * pi / 4},  // from the lower left
    {-1, -1, +1, +1, pi / 4, 5 * pi / 4},      // from the lower right
}};

// Round(elevation / 8.5): the elevation in steps of the shadow editor.
int32_t elevationSteps(const item_t* item) { return roundHalfEven(item->shadowElevation / 8.5L); }

} // namespace

const lightSigns_t& lightSigns(int32_t lightDirection)
{
    return lightTable[size_t(lightDirection >= 0 && lightDirection <= 3 ? lightDirection : 0)];
}

int32_t lightDirectionOf(const model::itemList_t& document)
{
    const item_t* h = model::findHeader(document);
    if (!h) return lightUpperLeft;
    const int32_t low = h->hdr().lightDirection & 0xFF;
    return low <= lightLowerRight ? low : lightUpperLeft;
}

int32_t shadowOffsetPx(const item_t* item, double zoom)
{
    const int32_t at100 = roundHalfEven(elevationSteps(item) / 96.0L * model::screen().screenPpiY);
    return roundHalfEven(static_cast<long double>(zoom) * at100);
}

int32_t shadowOffsetOutputPx(const item_t* item, double scaleY)
{
    return roundHalfEven(elevationSteps(item) / 96.0L * model::screen().screenPpiY * scaleY);
}

double fadeFactor(const item_t* item) { return std::clamp(item->shadowFade / 30.0 + 1.0, 1.0, 5.0); }

int32_t shadowReach(const item_t* item, double zoom)
{
    if (item->shadowElevation == 0) return 0;
    return geometry::canvasCoordinate(int64_t(geometry::penWidthAt(zoom, item->lineWeight)) +
                                      roundHalfEven(shadowOffsetPx(item, zoom) * fadeFactor(item)));
}

int32_t shadowSpreadPx(const item_t* item, double zoom)
{
    if (item->shadowElevation == 0) return 0;
    const int32_t pen = std::max(geometry::penWidthAt(zoom, item->lineWeight),
                                 item->itemType == model::typeLine ? lineBandWidth(item, zoom) : 0);
    // Shrinking by (fade + 10) / 10 and enlarging again, each with a kernel
    // of two (shrunken) pixels either side: four shrunken pixels in all,
    // plus the rounding of the shrunken size.
    const int32_t blur = item->shadowFade == 0 ? 0 : static_cast<int32_t>(std::ceil(4.0 * (item->shadowFade + 10) / 10.0)) + 3;
    return geometry::canvasCoordinate(int64_t(shadowOffsetPx(item, zoom)) + pen + blur + 1);
}

geometry::rect_t effectRect(const item_t* item, int32_t lightDirection)
{
    geometry::rect_t r{std::min(item->boxLeft, item->boxRight), std::min(item->boxTop, item->boxBottom),
                       std::max(item->boxLeft, item->boxRight), std::max(item->boxTop, item->boxBottom)};
    int32_t frame = 0;
    if (item->itemType == model::typePicture && item->frameOn) {
        frame = geometry::penWidthAt(1, item->lineWeight);
        r = r.grown(frame);
    }
    if (item->shadowElevation != 0) {
        const int32_t c = roundHalfEven(elevationSteps(item) * 96.0L / model::screen().screenPpiY) + item->shadowFade - frame;
        if (c >= 1) {
            const lightSigns_t& l = lightSigns(lightDirection);
            if (l.shadowX > 0) r.right = geometry::clampToInt32(int64_t(r.right) + c);
            else r.left = geometry::clampToInt32(int64_t(r.left) - c);
            if (l.shadowY > 0) r.bottom = geometry::clampToInt32(int64_t(r.bottom) + c);
            else r.top = geometry::clampToInt32(int64_t(r.top) - c);
        }
    }
    return r;
}

// ---------------------------------------------------------------- blur

namespace {

// One resampling pass along one axis of a single-channel plane, computing
// only the targets whose contributors reach the source's active span; all
// other targets of a constant-255 neighbourhood are 255 (the weights of the
// B-spline are positive, so their quotient of 255 × total is 255).
struct plane_t {
    int32_t w = 0, h = 0;
    std::vector<uint8_t> v;
    QRect active;
};

struct axisWeights_t {
    contributors_t c;
    std::vector<int32_t> total, lo, hi;
};

const axisWeights_t& weightsFor(int32_t target, int32_t source)
{
    // Masks of the same size recur (items of one size, the same blur): keep
    // the weights of recent sizes (per thread: bands are drawn at once).
    thread_local std::map<std::pair<int32_t, int32_t>, axisWeights_t> cache;
    auto it = cache.find({target, source});
    if (it != cache.end()) return it->second;
    if (cache.size() > 512) cache.clear();
    axisWeights_t a;
    a.c = buildContributors(target, source, filterBSpline, defaultSupport(filterBSpline));
    a.total.resize(size_t(target));
    a.lo.resize(size_t(target));
    a.hi.resize(size_t(target));
    for (int32_t i = 0; i < target; ++i) {
        a.total[size_t(i)] = a.c.total(i);
        int32_t lo = INT32_MAX, hi = INT32_MIN;
        for (int32_t k = a.c.start[size_t(i)]; k < a.c.start[size_t(i) + 1]; ++k) {
            lo = std::min(lo, a.c.index[size_t(k)]);
            hi = std::max(hi, a.c.index[size_t(k)]);
        }
        a.lo[size_t(i)] = lo;
        a.hi[size_t(i)] = hi;
    }
    return cache.emplace(std::make_pair(target, source), std::move(a)).first->second;
}

// sum div total, limited to 0 … 255, as the resampler takes it: through the
// reciprocal in single precision (nudged by 1e-4) for the usual totals, which
// is exact there and spares a division per pixel.
struct quotient_t {
    int32_t total = 256;
    float inv = 1.0f / 256;
    bool fast = true;
    explicit quotient_t(int32_t t) : total(t != 0 ? t : 256), inv(1.0f / float(t != 0 ? t : 256))
    {
        fast = total > 0 && total <= 4096;
    }
    uint8_t operator()(int32_t sum) const
    {
        if (!fast) return uint8_t(std::clamp(sum / total, 0, 255));
        const float v = std::clamp(float(sum) * inv + 1e-4f, 0.0f, 255.0f);
        return uint8_t(int32_t(v));
    }
};

// Built for the baseline processor and for AVX2 (chosen at load time), with
// the loops over a row vectorised; integer sums give the same bytes on both.
// Not under ThreadSanitizer: the clones' resolver, instrumented too, would
// run at load time before the sanitizer has started.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define LUMORA_BLUR_CLONES __attribute__((target_clones("avx2", "default"), optimize("tree-vectorize")))
#else
#define LUMORA_BLUR_CLONES
#endif

// The source rows that targets first … last (held within 0 … target − 1) of
// an axis resampled from `source` to `target` read, as a first-last pair;
// first > last when there are none.
std::pair<int32_t, int32_t> sourceRowsFor(int32_t target, int32_t source, int32_t first, int32_t last)
{
    first = std::max(first, 0);
    last = std::min(last, target - 1);
    if (first > last) return {0, -1};
    const axisWeights_t& a = weightsFor(target, source);
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    for (int32_t j = first; j <= last; ++j) {
        lo = std::min(lo, a.lo[size_t(j)]);
        hi = std::max(hi, a.hi[size_t(j)]);
    }
    return {lo, hi};
}

// Resamples the plane to tw × th, computing only target rows first … last
// (the others are left 255) and only the source rows they read.
LUMORA_BLUR_CLONES plane_t resamplePlane(const plane_t& src, int32_t tw, int32_t th, int32_t firstRow, int32_t lastRow)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, th - 1);
    const auto [readTop, readBottom] = sourceRowsFor(th, src.h, firstRow, lastRow);
    // Rows first (width src.w → tw), then columns (height src.h → th).
    plane_t mid;
    mid.w = tw;
    mid.h = src.h;
    mid.v.assign(size_t(tw) * size_t(src.h), 255);
    const int32_t top = std::max(src.active.top(), readTop), bottom = std::min(src.active.bottom(), readBottom);
    if (!src.active.isEmpty() && top <= bottom) {
        const axisWeights_t& ax = weightsFor(tw, src.w);
        int32_t first = -1, last = -1;
        for (int32_t i = 0; i < tw; ++i) {
            if (ax.hi[size_t(i)] < src.active.left() || ax.lo[size_t(i)] > src.active.right()) continue;
            if (first < 0) first = i;
            last = i;
            const int32_t k0 = ax.c.start[size_t(i)], k1 = ax.c.start[size_t(i) + 1];
            const quotient_t quotient(ax.total[size_t(i)]);
            for (int32_t y = top; y <= bottom; ++y) {
                const uint8_t* row = src.v.data() + size_t(y) * size_t(src.w);
                int32_t sum = 0;
                for (int32_t k = k0; k < k1; ++k) sum += ax.c.weight[size_t(k)] * row[ax.c.index[size_t(k)]];
                mid.v[size_t(y) * size_t(tw) + size_t(i)] = quotient(sum);
            }
        }
        if (first >= 0) mid.active = QRect(QPoint(first, top), QPoint(last, bottom));
    }
    plane_t out;
    out.w = tw;
    out.h = th;
    out.v.assign(size_t(tw) * size_t(th), 255);
    if (mid.active.isEmpty()) return out;
    const axisWeights_t& ay = weightsFor(th, src.h);
    int32_t first = -1, last = -1;
    std::vector<int32_t> sums(static_cast<size_t>(tw));
    for (int32_t j = firstRow; j <= lastRow; ++j) {
        if (ay.hi[size_t(j)] < mid.active.top() || ay.lo[size_t(j)] > mid.active.bottom()) continue;
        if (first < 0) first = j;
        last = j;
        const int32_t l = mid.active.left(), r = mid.active.right();
        std::fill(sums.begin() + l, sums.begin() + r + 1, 0);
        for (int32_t k = ay.c.start[size_t(j)]; k < ay.c.start[size_t(j) + 1]; ++k) {
            const int32_t wgt = ay.c.weight[size_t(k)];
            const uint8_t* row = mid.v.data() + size_t(ay.c.index[size_t(k)]) * size_t(tw);
            for (int32_t x = l; x <= r; ++x) sums[size_t(x)] += wgt * row[x];
        }
        uint8_t* dst = out.v.data() + size_t(j) * size_t(tw);
        const quotient_t quotient(ay.total[size_t(j)]);
        for (int32_t x = l; x <= r; ++x) dst[x] = quotient(sums[size_t(x)]);
    }
    if (first >= 0) out.active = QRect(QPoint(mid.active.left(), first), QPoint(mid.active.right(), last));
    return out;
}

// c × b / 255 rounded, for every mask value b and channel value c (a half
// never occurs: 255 is odd).
const std::array<std::array<uint8_t, 256>, 256>& multiplyTable()
{
    static const auto table = [] {
        std::array<std::array<uint8_t, 256>, 256> t{};
        for (int32_t b = 0; b < 256; ++b)
            for (int32_t c = 0; c < 256; ++c)
                t[size_t(b)][size_t(c)] = uint8_t(std::clamp(c + roundHalfEven((b - 255) * c / 255.0L), 0, 255));
        return t;
    }();
    return table;
}

} // namespace

namespace {

// The size the blur shrinks a mask to, or nothing when it leaves it as it is.
std::optional<QSize> shrunkenSize(int32_t width, int32_t height, int32_t fade, double d)
{
    if (width <= 1 || height <= 1 || !(d > 0)) return std::nullopt;
    const int32_t w2 = roundHalfEven(width * 10.0L / (fade + 10) / d);
    const int32_t h2 = roundHalfEven(height * 10.0L / (fade + 10) / d);
    if (!(w2 < width && h2 < height)) return std::nullopt;
    return QSize(std::max(w2, 6), std::max(h2, 6));
}

} // namespace

std::pair<int32_t, int32_t> blurSourceRows(int32_t width, int32_t height, int32_t fade, double d, int32_t firstRow,
                                           int32_t lastRow)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, height - 1);
    const std::optional<QSize> small = shrunkenSize(width, height, fade, d);
    if (!small || firstRow > lastRow) return {firstRow, lastRow};
    const auto [smallTop, smallBottom] = sourceRowsFor(height, small->height(), firstRow, lastRow);
    return sourceRowsFor(small->height(), height, smallTop, smallBottom);
}

void blurShadowMask(shadowMask_t& mask, int32_t fade, double d, int32_t firstRow, int32_t lastRow)
{
    const std::optional<QSize> shrunken = shrunkenSize(mask.width, mask.height, fade, d);
    if (!shrunken) return;
    plane_t src;
    src.w = mask.width;
    src.h = mask.height;
    src.v = std::move(mask.b);
    src.active = mask.active;
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, mask.height - 1);
    // The shrunken rows the wanted rows are enlarged from.
    const auto [smallTop, smallBottom] = sourceRowsFor(mask.height, shrunken->height(), firstRow, lastRow);
    const plane_t small = resamplePlane(src, shrunken->width(), shrunken->height(), smallTop, smallBottom);
    plane_t back = resamplePlane(small, mask.width, mask.height, firstRow, lastRow);
    mask.b = std::move(back.v);
    mask.active = back.active;
}

void multiplyShadow(QImage& image, QPoint topLeft, const shadowMask_t& mask)
{
    const QRect on = mask.active.translated(topLeft).intersected(image.rect());
    if (on.isEmpty()) return;
    const auto& table = multiplyTable();
    for (int32_t y = on.top(); y <= on.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint8_t* m = mask.b.data() + size_t(y - topLeft.y()) * size_t(mask.width) - topLeft.x();
        for (int32_t x = on.left(); x <= on.right(); ++x) {
            const uint8_t b = m[x];
            if (b == 255) continue;
            const auto& t = table[b];
            const QRgb c = row[x];
            row[x] = qRgb(t[qRed(c)], t[qGreen(c)], t[qBlue(c)]);
        }
    }
}

QImage shadowLayer(const shadowMask_t& mask)
{
    if (mask.active.isEmpty()) return {};
    QImage layer(mask.active.size(), QImage::Format_ARGB32);
    if (layer.isNull()) return {};
    // Black at coverage 255 - b leaves c × b / 255 of every channel c under
    // it: the multiply, whatever the device has painted there.
    for (int32_t y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const uint8_t* m = mask.b.data() + size_t(y + mask.active.top()) * size_t(mask.width) + size_t(mask.active.left());
        for (int32_t x = 0; x < layer.width(); ++x) row[x] = qRgba(0, 0, 0, 255 - m[x]);
    }
    return layer;
}

// ---------------------------------------------------------------- the shadow

shadowGeometry_t shadowGeometry(const drawContext_t& ctx, const item_t* item)
{
    shadowGeometry_t g;
    const double scale = ctx.xf.widthZoom;
    g.p = ctx.output ? shadowOffsetOutputPx(item, scale) : shadowOffsetPx(item, scale);
    g.f = fadeFactor(item);
    g.s = scale > 0 ? roundHalfEven(g.p / static_cast<long double>(scale)) : 0;
    const lightSigns_t& l = lightSigns(lightDirectionOf(ctx.document));
    g.signX = l.shadowX;
    g.signY = l.shadowY;
    return g;
}

void drawShadowOf(drawContext_t& ctx, const item_t* item, QRect extent, int32_t margin, int32_t reach,
                  const shadowFigure_t& figure)
{
    if (item->shadowElevation == 0) return;
    const shadowGeometry_t g = shadowGeometry(ctx, item);
    // Figures far beyond any canvas (damaged or absurd coordinates, absurd
    // weights) cast no shadow rather than overflow the arithmetic below.
    constexpr int32_t farOut = 1 << 24;
    if (margin < 0 || margin > farOut || reach < 0 || reach > farOut || std::abs(extent.left()) > farOut ||
        std::abs(extent.right()) > farOut || std::abs(extent.top()) > farOut || std::abs(extent.bottom()) > farOut)
        return;
    if (extent.width() < 10) extent.setWidth(10);
    if (extent.height() < 10) extent.setHeight(10);
    const QRect maskRect = extent.adjusted(-margin, -margin, margin, margin);
    const int64_t area = int64_t(maskRect.width()) * maskRect.height();
    if (maskRect.isEmpty() || area > maxShadowMaskPixels) return;
    // A visible pixel depends on the mask within the reach of the two
    // kernels (two shrunken pixels each, in mask pixels 2 / k with k the
    // scale of the shrinking): the figure is drawn only there.
    const double d = ctx.output ? ctx.xf.widthZoom : 1.0;
    const int32_t w2 = std::max(roundHalfEven(maskRect.width() * 10.0L / (item->shadowFade + 10) / d), 6);
    const int32_t h2 = std::max(roundHalfEven(maskRect.height() * 10.0L / (item->shadowFade + 10) / d), 6);
    const int32_t blurX = static_cast<int32_t>(std::ceil(4.0 * (maskRect.width() - 1) / std::max(w2 - 1, 1))) + 4;
    const int32_t blurY = static_cast<int32_t>(std::ceil(4.0 * (maskRect.height() - 1) / std::max(h2 - 1, 1))) + 4;
    const QRect influence = ctx.canvas.bounds().adjusted(-blurX, -blurY, blurX, blurY);
    if (!maskRect.intersects(influence)) return;
    // A canvas that changes only some rows (a band of an image painted by one
    // thread) needs only those rows of the blurred mask, and of the mask the
    // rows the blur reads for them; every one of them is computed as for the
    // whole image, so the band gets the same pixels. A vector device takes
    // the whole mask as its layer.
    int32_t firstRow = 0, lastRow = maskRect.height() - 1;
    if (!ctx.canvas.isVector()) {
        const QRect painted = ctx.canvas.paintedArea();
        firstRow = std::max(painted.top(), maskRect.top()) - maskRect.top();
        lastRow = std::min(painted.bottom(), maskRect.bottom()) - maskRect.top();
        if (firstRow > lastRow) return;
    }
    const auto [readTop, readBottom] =
        blurSourceRows(maskRect.width(), maskRect.height(), item->shadowFade, d, firstRow, lastRow);
    const QRect read(maskRect.left(), maskRect.top() + readTop, maskRect.width(), readBottom - readTop + 1);

    shadowMask_t mask;
    mask.width = maskRect.width();
    mask.height = maskRect.height();
    mask.b.assign(size_t(area), 255);

    // The figure lies in the extent moved by the offset, its strokes at most
    // `reach` further out: draw just that part, and of it only the rows the
    // blur reads (through a clip, so that the figure lands on the same pixels
    // as when it is drawn whole).
    const QRect figureRect = extent.translated(g.signX * g.p, g.signY * g.p)
                                 .adjusted(-reach - 2, -reach - 2, reach + 2, reach + 2)
                                 .intersected(maskRect)
                                 .intersected(influence);
    const QRect figureRows = figureRect.intersected(read).translated(-figureRect.topLeft());
    const uint8_t lightness = item->shadowLightness;
    if (!figureRows.isEmpty() && lightness != 255) {
        QImage fig(figureRect.size(), QImage::Format_RGB32);
        fig.fill(0xFFFFFFFFu);
        {
            canvas_t maskCanvas(fig);
            if (figureRows != fig.rect()) maskCanvas.clipTo(figureRows);
            drawContext_t mctx{maskCanvas, ctx.document, ctx.xf,    false, false, true, false,
                               true,       ctx.output,   ctx.style, true,  0,     0};
            mctx.maskLine = mctx.maskFill = int32_t(lightness) << 16;  // RGB(0, 0, lightness)
            figure(mctx, maskRect.topLeft(), figureRect.topLeft(), g);
        }
        int32_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
        const QPoint off = figureRect.topLeft() - maskRect.topLeft();
        for (int32_t y = figureRows.top(); y <= figureRows.bottom(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(fig.constScanLine(y));
            uint8_t* m = mask.b.data() + size_t(y + off.y()) * size_t(mask.width) + size_t(off.x());
            for (int32_t x = 0; x < fig.width(); ++x) {
                const uint8_t blue = uint8_t(qBlue(row[x]));
                if (blue == 255) continue;
                m[x] = blue;
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
        }
        if (l <= r) mask.active = QRect(QPoint(l, t), QPoint(r, b)).translated(off);
    }
    if (mask.active.isEmpty()) return;
    blurShadowMask(mask, item->shadowFade, d, firstRow, lastRow);
    if (mask.active.isEmpty()) return;
    if (ctx.canvas.isVector()) {
        ctx.canvas.placeLayer(maskRect.topLeft() + mask.active.topLeft(), shadowLayer(mask));
        return;
    }
    ctx.canvas.release();
    multiplyShadow(ctx.canvas.image(), maskRect.topLeft(), mask);
}

namespace {

QRect boxOf(const std::vector<QPoint>& pts)
{
    if (pts.empty()) return {};
    int32_t l = pts[0].x(), r = l, t = pts[0].y(), b = t;
    for (const QPoint& p : pts) {
        l = std::min(l, p.x());
        r = std::max(r, p.x());
        t = std::min(t, p.y());
        b = std::max(b, p.y());
    }
    return QRect(QPoint(l, t), QPoint(r, b));
}

// Limited so that absurd sizes stay representable (they are refused later).
QRect squareAround(point_t c, int32_t half)
{
    auto lim = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -(1 << 30), 1 << 30)); };
    return QRect(QPoint(lim(int64_t(c.x) - half), lim(int64_t(c.y) - half)),
                 QPoint(lim(int64_t(c.x) + half), lim(int64_t(c.y) + half)));
}

// Whether the type's shadow is drawn from a moved copy of its points (and
// otherwise from its mapped points moved on the canvas).
bool shadowFromMovedCopy(int32_t type)
{
    switch (type) {
    case model::typeTriangle:
    case model::typeSquare:
    case model::typeRectangle:
    case model::typeSpline:
    case model::typeCurve: return true;
    default: return false;
    }
}

} // namespace

void drawShadow(drawContext_t& ctx, const item_t* item)
{
    if (item->shadowElevation == 0) return;
    const xform_t& xf = ctx.xf;
    const int32_t type = item->itemType;
    const int32_t nPoints = model::countNodes(item->points);
    QRect extent;
    switch (type) {
    case model::typeLine: {
        const QPoint a = xf.map(item->x1, item->y1), b = xf.map(item->x2, item->y2);
        extent = boxOf({a, b});
        break;
    }
    case model::typeCircle: {
        if (nPoints < 2) return;
        const point_t c = mappedPointAt(xf, item, 1);
        extent = squareAround(c, roundHalfEven(geometry::distance(c, mappedPointAt(xf, item, 2))));
        break;
    }
    case model::typePolygon:
    case model::typePie:
    case model::typeArc: {
        if (nPoints < (type == model::typePolygon ? 2 : 3)) return;
        const point_t c = mappedPointAt(xf, item, 1);
        extent = squareAround(c, roundHalfEven(geometry::distance(c, mappedPointAt(xf, item, 2))));
        break;
    }
    case model::typeStar: {
        if (nPoints < 3) return;
        const point_t c = mappedPointAt(xf, item, 1);
        extent = squareAround(c, std::max(roundHalfEven(geometry::distance(c, mappedPointAt(xf, item, 2))),
                                          roundHalfEven(geometry::distance(c, mappedPointAt(xf, item, 3)))));
        break;
    }
    case model::typeEllipse: {
        if (nPoints < 3) return;
        const auto e = geometry::ellipseBezier(mappedPointAt(xf, item, 1), mappedPointAt(xf, item, 2),
                                               mappedPointAt(xf, item, 3));
        extent = QRect(QPoint(e.box.left, e.box.top), QPoint(e.box.right, e.box.bottom));
        break;
    }
    case model::typeTriangle:
    case model::typeSquare:
    case model::typeRectangle:
    case model::typeSpline:
    case model::typeCurve: {
        if (nPoints < 2) return;
        std::vector<QPoint> pts;
        for (const model::pointNode_t* n = item->points.head; n; n = n->next) {
            pts.push_back(xf.map(n->p.x, n->p.y));
            if (type == model::typeCurve) {
                pts.push_back(xf.map(n->p.c1x, n->p.c1y));
                pts.push_back(xf.map(n->p.c2x, n->p.c2y));
            }
        }
        extent = boxOf(pts);
        break;
    }
    case model::typePicture: drawPictureShadow(ctx, item); return;
    default: return;  // texts cast their shadows through their own renderer
    }

    // The shadow's mask takes in the item's arrowheads.
    if (geometry::rect_t heads; headsBox(item, 1, heads))
        extent = extent.united(boxOf({xf.map(heads.left, heads.top), xf.map(heads.right, heads.bottom)}));
    const int32_t pen = geometry::penWidthAt(xf.widthZoom, item->lineWeight);
    const shadowGeometry_t g = shadowGeometry(ctx, item);
    const int32_t margin = geometry::clampToInt32(int64_t(roundHalfEven(2.0L * g.p * g.f)) + 2 * int64_t(pen));
    const bool movedCopy = shadowFromMovedCopy(type);
    // A moved copy lands within a scaled pixel or two of the moved extent.
    const int32_t reach = geometry::clampToInt32(
        int64_t(std::max(pen, type == model::typeLine ? lineBandWidth(item, xf.widthZoom) : 0)) +
        (movedCopy ? static_cast<int64_t>(std::ceil(2 * std::min(std::max(xf.sx, xf.sy), 1e6))) : 0));
    drawShadowOf(ctx, item, extent, margin, reach,
                 [&](drawContext_t& mctx, QPoint maskTL, QPoint drawTL, const shadowGeometry_t& sg) {
                     xform_t m = xf;
                     if (movedCopy) {
                         // A copy whose points are moved to the mask's corner (in
                         // document pixels) and by the offset, mapped with the scale.
                         const int32_t docL = xf.sx != 0 ? roundHalfEven((maskTL.x() - int64_t(xf.dx)) / static_cast<long double>(xf.sx)) : 0;
                         const int32_t docT = xf.sy != 0 ? roundHalfEven((maskTL.y() - int64_t(xf.dy)) / static_cast<long double>(xf.sy)) : 0;
                         m.ox = xf.ox - docL + sg.signX * sg.s;
                         m.oy = xf.oy - docT + sg.signY * sg.s;
                         m.dx = maskTL.x() - drawTL.x();
                         m.dy = maskTL.y() - drawTL.y();
                     } else {
                         m.dx = xf.dx - drawTL.x() + sg.signX * sg.p;
                         m.dy = xf.dy - drawTL.y() + sg.signY * sg.p;
                     }
                     mctx.xf = m;
                     drawPlainFigure(mctx, item, pen);
                 });
}

} // namespace render
