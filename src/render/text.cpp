#include "render/text.h"

#include "geometry/lineends.h"
#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/effects.h"
#include "render/shade.h"
#include "render/shapedraw.h"
#include "render/strokes.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace render {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

namespace {

constexpr double pi = std::numbers::pi;

int32_t sizeOf(const item_t* it) { return it->fontSize > 0 ? it->fontSize : 12; }

int32_t weightOf(const item_t* it) { return it->fontWeight > 0 ? std::min(it->fontWeight, 1000) : 400; }

// One font as the text calls use it, with its metrics.
struct fontEntry_t {
    QFont font;
    QFontMetricsF fm;
    textMetrics_t m;
    int32_t maxCharWidth = 0;
};

struct fontKey_t {
    std::string name;
    int32_t pixels, weight;
    uint8_t italic, underline, strikeout;
    bool operator==(const fontKey_t&) const = default;
};

struct fontKeyHash_t {
    size_t operator()(const fontKey_t& k) const
    {
        size_t h = std::hash<std::string>()(k.name);
        for (int32_t v : {k.pixels, k.weight, int32_t(k.italic), int32_t(k.underline), int32_t(k.strikeout)})
            h = (h ^ static_cast<uint32_t>(v)) * 1099511628211ull;
        return h;
    }
};

QFont buildFont(const fontKey_t& k)
{
    QFont f = k.name.empty() ? QFont() : QFont(QString::fromLatin1(k.name.data(), qsizetype(k.name.size())));
    f.setPixelSize(k.pixels);
    f.setWeight(QFont::Weight(k.weight));
    f.setItalic(k.italic != 0);
    f.setUnderline(k.underline != 0);
    f.setStrikeOut(k.strikeout != 0);
    // Turned glyphs stay aliased only when the font itself says so; kerning
    // is off so that a line's width is the sum of its characters' widths
    // (the caret and clicks measure prefixes).
    f.setStyleStrategy(QFont::NoAntialias);
    f.setKerning(false);
    return f;
}

// The platform's integer metrics of a font: every fractional value rounded up.
textMetrics_t integerMetrics(const QFontMetricsF& fm)
{
    textMetrics_t m;
    m.ascent = int32_t(std::ceil(fm.ascent()));
    m.descent = int32_t(std::ceil(fm.descent()));
    m.leading = int32_t(std::ceil(std::max(0.0, fm.leading())));
    m.overhang = 0;
    return m;
}

const fontEntry_t& fontFor(const item_t* it, int32_t size, bool forDrawing)
{
    // Per thread, as bands of an image are drawn at once.
    thread_local std::unordered_map<fontKey_t, fontEntry_t, fontKeyHash_t> cache;
    fontKey_t k{model::fontNameOf(it), fontPixels(size), weightOf(it), uint8_t(it->fontItalic != 0),
                uint8_t(forDrawing && it->fontUnderline != 0), uint8_t(forDrawing && it->fontStrikeout != 0)};
    auto found = cache.find(k);
    if (found != cache.end()) return found->second;
    if (cache.size() >= 512) cache.clear();
    QFont f = buildFont(k);
    QFontMetricsF fm(f);
    fontEntry_t e{f, fm, integerMetrics(fm), int32_t(std::ceil(fm.maxWidth()))};
    return cache.emplace(std::move(k), std::move(e)).first->second;
}

QPoint qp(point_t p) { return QPoint(p.x, p.y); }
point_t pt(QPoint p) { return {p.x(), p.y()}; }

} // namespace

QString toQString(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

int32_t fontPixels(int32_t size)
{
    // MulDiv: the product in 64 bits, rounded half away from zero.
    const int64_t num = int64_t(size) * model::screen().screenPpiY;
    const int64_t px = num >= 0 ? (num + 36) / 72 : -((-num + 36) / 72);
    return int32_t(std::clamp<int64_t>(px, 1, maxFontPixels));
}

QFont makeTextFont(const item_t* item, int32_t size, bool forDrawing)
{
    return fontFor(item, size, forDrawing).font;
}

textMetrics_t textMetrics(const item_t* item, int32_t size)
{
    return fontFor(item, size, false).m;
}

int32_t textWidth(const item_t* item, int32_t size, std::u16string_view text)
{
    if (text.empty()) return 0;
    return roundHalfEven(fontFor(item, size, false).fm.horizontalAdvance(toQString(text)));
}

int32_t lineHeight(const item_t* item)
{
    return textMetrics(item, sizeOf(item)).height();
}

int32_t zoomedFontSize(const item_t* item, double zoom)
{
    return roundHalfEven(static_cast<long double>(sizeOf(item)) * zoom);
}

int32_t lineWidth(const item_t* item, std::u16string_view line, double zoom)
{
    if (line.empty() || !(zoom > 0)) return 0;
    const int32_t w = textWidth(item, std::max(zoomedFontSize(item, zoom), 1), line);
    return roundHalfEven(w / static_cast<long double>(zoom));
}

std::vector<std::u16string_view> textLines(const item_t* item)
{
    const int32_t len = model::textLength(item);
    if (len == 0) return {};
    return splitTextLines(std::u16string_view(item->text.data(), size_t(len)));
}

std::vector<std::u16string_view> splitTextLines(std::u16string_view all)
{
    std::vector<std::u16string_view> out;
    if (all.empty()) return out;
    size_t start = 0;
    for (;;) {
        const size_t sep = all.find(model::lineSeparator, start);
        if (sep == std::u16string_view::npos) {
            out.push_back(all.substr(start));
            return out;
        }
        out.push_back(all.substr(start, sep - start));
        start = sep + 1;
    }
}

double textTheta(const item_t* item)
{
    return item->textAngle / 10.0 * pi / 180.0;
}

std::vector<lineBaseline_t> lineBaselines(const item_t* item, const xform_t& xf, int32_t lineCount)
{
    const int32_t n = std::max(lineCount, 1);
    std::vector<lineBaseline_t> out(static_cast<size_t>(n));
    const double up = textTheta(item) + pi / 2;
    const double step = lineHeight(item) * xf.widthZoom;
    const int32_t dx = roundHalfEven(std::cos(up) * step), dy = roundHalfEven(std::sin(up) * step);
    QPoint p = xf.map(item->x1, item->y1), q = xf.map(item->x2, item->y2);
    for (int32_t k = n - 1; k >= 0; --k) {
        out[size_t(k)] = {p, q};
        p += QPoint(dx, -dy);
        q += QPoint(dx, -dy);
    }
    return out;
}

QPoint justifiedStart(const item_t* item, std::u16string_view line, QPoint p, double zoom)
{
    if (item->justification != 2 && item->justification != 3) return p;
    const int32_t L = roundHalfEven(zoom * geometry::distance({item->x1, item->y1}, {item->x2, item->y2}));
    const int32_t w = roundHalfEven(zoom * lineWidth(item, line, zoom));
    if (w >= L) return p;
    const int32_t d = item->justification == 2 ? (L - w) / 2 : L - w;
    return qp(geometry::polarPoint(pt(p), textTheta(item), d));
}

void drawTextLine(canvas_t& canvas, const item_t* item, std::u16string_view line, QPoint p, double zoom,
                  int32_t color)
{
    const int32_t size = zoomedFontSize(item, zoom);
    if (line.empty() || size < 1) return;
    const QPoint start = justifiedStart(item, line, p, zoom);
    canvas.textOut(start, item->textAngle / 10.0, fontFor(item, size, true).font, toQString(line), color);
}

int32_t textLineReach(const item_t* item, std::u16string_view line, double zoom, int32_t spread)
{
    const int64_t L = roundHalfEven(zoom * geometry::distance({item->x1, item->y1}, {item->x2, item->y2}));
    const int64_t w = roundHalfEven(zoom * lineWidth(item, line, zoom));
    const int64_t height = textMetrics(item, std::max(zoomedFontSize(item, zoom), 1)).height();
    // A short line's glyphs rise higher than it is long: its square must
    // still hold them.
    const int64_t l = std::max(std::max(L, w), height) + spread;
    return int32_t(std::min<int64_t>(l, 1 << 28));
}

namespace {

// Whether a line starting at `at` can put a pixel on the canvas: its glyphs,
// underline and shadow lie within `length` along the angle and `below`
// beneath to `above` over the baseline, each grown by `slack`.
bool lineMayTouch(const canvas_t& canvas, QPoint at, double theta, int64_t length, int64_t above, int64_t below,
                  int64_t slack)
{
    const double ux = std::cos(theta), uy = -std::sin(theta);  // along the baseline, on the screen
    const double vx = -uy, vy = ux;                              // across it, towards the top of the glyphs
    double l = 1e300, r = -1e300, t = 1e300, b = -1e300;
    for (double a : {double(-slack), double(length + slack)})
        for (double c : {double(-below - slack), double(above + slack)}) {
            const double x = at.x() + a * ux + c * vx, y = at.y() + a * uy + c * vy;
            l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
        }
    return r >= -1 && l <= canvas.width() + 1 && b >= -1 && t <= canvas.height() + 1;
}

void drawLineShadow(drawContext_t& ctx, const item_t* item, std::u16string_view line, QPoint p, double zoom)
{
    const shadowGeometry_t g = shadowGeometry(ctx, item);
    const int32_t l = textLineReach(item, line, zoom, roundHalfEven(g.p * g.f));
    const QRect extent(QPoint(p.x() - l, p.y() - l), QPoint(p.x() + l, p.y() + l));
    drawShadowOf(ctx, item, extent, 0, 2, [&](drawContext_t& mctx, QPoint, QPoint drawTL, const shadowGeometry_t& sg) {
        const QPoint at = p + QPoint(sg.signX * sg.p, sg.signY * sg.p) - drawTL;
        drawTextLine(mctx.canvas, item, line, at, zoom, mctx.maskLine);
    });
}

} // namespace

void drawTextItem(drawContext_t& ctx, const item_t* item)
{
    std::u16string substituted;
    const bool replaced = ctx.substitute && *ctx.substitute && (*ctx.substitute)(item, substituted);
    const std::vector<std::u16string_view> lines = replaced ? splitTextLines(substituted) : textLines(item);
    if (lines.empty()) return;
    const double zoom = ctx.xf.widthZoom;
    const int32_t size = zoomedFontSize(item, zoom);
    if (size < 1) return;
    const std::vector<lineBaseline_t> bases = lineBaselines(item, ctx.xf, int32_t(lines.size()));
    const bool shadows = ctx.shadowOn && !ctx.masking && item->shadowElevation != 0;
    const bool shaded = ctx.effects && !ctx.masking && item->surface >= 1;
    const int32_t color = ctx.masking ? ctx.maskLine : item->textColor;
    const int32_t spread = item->shadowElevation != 0
                               ? roundHalfEven(shadowOffsetPx(item, zoom) * fadeFactor(item)) + (shadows ? shadowSpreadPx(item, zoom) : 0)
                               : 0;
    const fontEntry_t& f = fontFor(item, size, false);
    const int64_t boxLength = roundHalfEven(zoom * geometry::distance({item->x1, item->y1}, {item->x2, item->y2}));
    const int32_t light = lightDirectionOf(ctx.document);
    const double theta = textTheta(item);
    for (size_t k = lines.size(); k-- > 0;) {
        const std::u16string_view line = lines[k];
        if (line.empty()) continue;
        // A bound that needs no measuring: no glyph is wider than the widest.
        const int64_t length = std::max<int64_t>(boxLength, int64_t(line.size()) * f.maxCharWidth);
        if (!lineMayTouch(ctx.canvas, bases[k].p, theta, length, f.m.ascent, f.m.descent,
                          f.m.height() / 2 + std::max(spread, 0) + 2))
            continue;
        if (shadows) drawLineShadow(ctx, item, line, bases[k].p, zoom);
        if (shaded && drawShadedTextLine(ctx.canvas, item, line, bases[k].p, zoom, light)) continue;
        drawTextLine(ctx.canvas, item, line, bases[k].p, zoom, color);
    }
}

geometry::quadrangle_t textBand(const item_t* item)
{
    const textMetrics_t m = textMetrics(item, sizeOf(item));
    const int32_t n = std::max(model::textLineCount(item), 1);
    const double theta = textTheta(item);
    const point_t p1 = geometry::polarPoint({item->x1, item->y1}, theta - pi / 2, m.descent);
    const point_t p2 = geometry::polarPoint({item->x2, item->y2}, theta - pi / 2, m.descent);
    const int64_t height = std::min<int64_t>(int64_t(n) * m.height(), INT32_MAX);
    const auto q = bandQuad({double(p1.x), double(p1.y)}, {double(p2.x), double(p2.y)}, theta, int32_t(height), true);
    return {pt(q[0]), pt(q[1]), pt(q[2]), pt(q[3])};
}

void textBox(item_t* item)
{
    const textMetrics_t m = textMetrics(item, sizeOf(item));
    const geometry::quadrangle_t q = textBand(item);
    int64_t l = q[0].x, r = l, t = q[0].y, b = t;
    for (const point_t& c : q) {
        l = std::min<int64_t>(l, c.x);
        r = std::max<int64_t>(r, c.x);
        t = std::min<int64_t>(t, c.y);
        b = std::max<int64_t>(b, c.y);
    }
    const int32_t g = std::max(textBoxMargin, m.overhang);
    item->boxLeft = geometry::clampToInt32(l - g);
    item->boxRight = geometry::clampToInt32(r + g);
    item->boxTop = geometry::clampToInt32(t - g);
    item->boxBottom = geometry::clampToInt32(b + g);
    const int64_t w = std::abs(int64_t(item->x2) - item->x1), h = std::abs(int64_t(item->y2) - item->y1);
    item->boxWidth = geometry::clampToInt32(w);
    item->boxHeight = geometry::clampToInt32(h);
    item->diagonal = roundHalfEven(std::sqrt(double(w) * double(w) + double(h) * double(h)));
}

textAnchor_t anchorOf(const item_t* item)
{
    if (item->justification == 2) return textAnchor_t::centre;
    if (item->justification == 3) return textAnchor_t::end;
    return textAnchor_t::start;
}

bool fitTextBox(item_t* item, bool force, double zoom)
{
    return fitTextBoxKeeping(item, force, zoom, anchorOf(item));
}

bool fitTextBoxKeeping(item_t* item, bool force, double zoom, textAnchor_t keep)
{
    int32_t W = 0;
    for (std::u16string_view line : textLines(item)) W = std::max(W, lineWidth(item, line, zoom));
    const point_t p1{item->x1, item->y1}, p2{item->x2, item->y2};
    const double L = geometry::distance(p1, p2);
    if (!(W > L) && !force) return false;
    const double phi = textTheta(item);
    point_t a = p1, b = p2;
    switch (keep) {
    case textAnchor_t::start: b = geometry::polarPoint(a, phi, W); break;
    case textAnchor_t::centre:
        b = geometry::polarPoint(a, phi, L + (W - L) / 2);
        a = geometry::polarPoint(b, phi + pi, W);
        break;
    case textAnchor_t::end: a = geometry::polarPoint(b, phi + pi, W); break;
    }
    setTextBaseline(item, a, b);
    return a != p1 || b != p2;
}

void setTextBaseline(item_t* item, point_t a, point_t b)
{
    geometry::setLineEnds(item, a, b);
    textBox(item);
}

void drawTextFrame(canvas_t& canvas, const xform_t& xf, const item_t* item, int32_t color, int32_t width)
{
    const textMetrics_t m = textMetrics(item, std::max(zoomedFontSize(item, xf.widthZoom), 1));
    const int64_t n = std::max(model::textLineCount(item), 1);
    const int64_t height = std::clamp<int64_t>(n * m.height() - m.descent - m.leading, 0, INT32_MAX);
    const QPoint p = xf.map(item->x1, item->y1), q = xf.map(item->x2, item->y2);
    const auto band = bandQuad({double(p.x()), double(p.y())}, {double(q.x()), double(q.y())}, textTheta(item),
                               int32_t(height), true);
    const QPoint outline[5] = {band[0], band[1], band[2], band[3], band[0]};
    canvas.setPen(color, width);
    canvas.polyline(outline, 5);
}

void layOutTexts(model::itemList_t& list)
{
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem && it->itemType == model::typeText) textBox(it);
}

} // namespace render
