#include "render/shapedraw.h"

#include "render/barcode.h"

#include "model/itemlist.h"
#include "render/arrowheads.h"
#include "geometry/shapes.h"
#include "render/effects.h"
#include "render/picture.h"
#include "render/shade.h"
#include "render/strokes.h"
#include "render/text.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <numbers>

namespace render {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

namespace {

// Round(scale × v) held within 32 bits, as roundHalfEven gives it. At scale 1
// (the view at 100 %, the commonest case by far) the product is v itself,
// without the extended-precision multiplication and rounding that every
// mapped point of every figure would otherwise pay for.
int64_t scaled(double scale, int64_t v)
{
    if (scale == 1.0) return std::clamp<int64_t>(v, INT32_MIN, INT32_MAX);
    return roundHalfEven(static_cast<long double>(scale) * v);
}

} // namespace

QPoint xform_t::map(int32_t x, int32_t y) const
{
    return QPoint(geometry::canvasCoordinate(scaled(sx, int64_t(x) + ox) + dx),
                  geometry::canvasCoordinate(scaled(sy, int64_t(y) + oy) + dy));
}

point_t xform_t::mapPt(int32_t x, int32_t y) const
{
    const QPoint q = map(x, y);
    return {q.x(), q.y()};
}

xform_t screenXform(double zoom, point_t viewOrigin)
{
    xform_t xf;
    xf.sx = xf.sy = zoom;
    xf.dx = -viewOrigin.x;
    xf.dy = -viewOrigin.y;
    xf.widthZoom = zoom;
    return xf;
}

point_t mappedPointAt(const xform_t& xf, const item_t* item, int32_t i)
{
    int32_t k = 1;
    for (const model::pointNode_t* n = item->points.head; n; n = n->next, ++k)
        if (k == i) return xf.mapPt(n->p.x, n->p.y);
    return xf.mapPt(0, 0);
}

int32_t figureLineColor(const drawContext_t& ctx, const item_t* item)
{
    return ctx.masking ? ctx.maskLine : item->lineColor;
}

int32_t figureFillColor(const drawContext_t& ctx, const item_t* item)
{
    return ctx.masking && item->fillColor >= 0 ? ctx.maskFill : item->fillColor;
}

namespace {

constexpr double pi = std::numbers::pi;

QPoint qp(point_t p) { return QPoint(p.x, p.y); }

std::vector<QPoint> toQ(const std::vector<point_t>& v)
{
    std::vector<QPoint> out;
    out.reserve(v.size());
    for (const point_t& p : v) out.push_back(qp(p));
    return out;
}

void drawPlainPointList(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    // One buffer per drawing thread, kept from figure to figure: a repaint
    // draws thousands of them.
    thread_local std::vector<QPoint> pts;
    pts.clear();
    for (const model::pointNode_t* n = item->points.head; n; n = n->next) pts.push_back(ctx.xf.map(n->p.x, n->p.y));
    drawPointList(ctx.canvas, pts, item->shapeVariant, pen, figureFillColor(ctx, item), figureLineColor(ctx, item));
}

void drawCircle(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    if (model::countNodes(item->points) < 2) return;
    const point_t c = mappedPointAt(ctx.xf, item, 1);
    // Far-out points give radii beyond any canvas: limited so that the
    // circle's box stays representable.
    const int32_t r = std::min(roundHalfEven(geometry::distance(c, mappedPointAt(ctx.xf, item, 2))), 1 << 28);
    canvasLock_t lock(ctx.canvas);
    applyFillRules(ctx.canvas, figureFillColor(ctx, item), figureLineColor(ctx, item), pen);
    ctx.canvas.ellipse(c.x - r, c.y - r, c.x + r, c.y + r);
}

void drawEllipse(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    if (model::countNodes(item->points) < 3) return;
    const auto e = geometry::ellipseBezier(mappedPointAt(ctx.xf, item, 1), mappedPointAt(ctx.xf, item, 2),
                                           mappedPointAt(ctx.xf, item, 3));
    const std::vector<QPoint> path = toQ(std::vector<point_t>(e.points.begin(), e.points.end()));
    canvasLock_t lock(ctx.canvas);
    applyFillRules(ctx.canvas, figureFillColor(ctx, item), figureLineColor(ctx, item), pen);
    if (item->fillColor == -1) ctx.canvas.polyBezier(path);
    else ctx.canvas.strokeAndFillBezier(path);
}

void drawFilledOutline(canvas_t& canvas, const std::vector<QPoint>& pts, int32_t pen, int32_t fill, int32_t lineColor)
{
    if (pts.size() < 3) return;
    canvasLock_t lock(canvas);
    applyFillRules(canvas, fill, lineColor, pen);
    canvas.polygon(pts);
}

// The outline of an arc depends only on its three mapped points; repaints
// ask for the same arcs again and again, and each costs hundreds of sines.
// Kept per thread, as bands of an image are drawn at once.
const std::vector<QPoint>& arcOutline(point_t c, point_t s, point_t e)
{
    struct key_t {
        int32_t v[6];
        bool operator==(const key_t& o) const { return std::equal(v, v + 6, o.v); }
    };
    struct hash_t {
        size_t operator()(const key_t& k) const
        {
            size_t h = 1469598103934665603ull;
            for (int32_t x : k.v) h = (h ^ static_cast<uint32_t>(x)) * 1099511628211ull;
            return h;
        }
    };
    thread_local std::unordered_map<key_t, std::vector<QPoint>, hash_t> memo;
    constexpr size_t memoLimit = 20000;
    const key_t k{{c.x, c.y, s.x, s.y, e.x, e.y}};
    auto it = memo.find(k);
    if (it != memo.end()) return it->second;
    if (memo.size() >= memoLimit) memo.clear();
    return memo.emplace(k, toQ(geometry::arcPoints(c, s, e))).first->second;
}

void drawPieArc(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    if (model::countNodes(item->points) < 3) return;
    const point_t c = mappedPointAt(ctx.xf, item, 1), s = mappedPointAt(ctx.xf, item, 2);
    std::vector<QPoint> pts = arcOutline(c, s, mappedPointAt(ctx.xf, item, 3));
    if (item->itemType == model::typePie) {
        pts.push_back(qp(c));
        pts.push_back(qp(s));
        drawFilledOutline(ctx.canvas, pts, pen, figureFillColor(ctx, item), figureLineColor(ctx, item));
    } else {
        canvasLock_t lock(ctx.canvas);
        ctx.canvas.setPen(figureLineColor(ctx, item), item->fillColor == -2 ? 1 : pen);
        ctx.canvas.clearBrush();
        ctx.canvas.polyline(pts);
    }
}

void drawCurveItem(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    std::vector<curvePoint_t> pts;
    for (const model::pointNode_t* n = item->points.head; n; n = n->next)
        pts.push_back({ctx.xf.map(n->p.x, n->p.y), ctx.xf.map(n->p.c1x, n->p.c1y), ctx.xf.map(n->p.c2x, n->p.c2y)});
    drawCurve(ctx.canvas, pts, item->shapeVariant, pen, figureFillColor(ctx, item), figureLineColor(ctx, item));
}

void drawLineItem(drawContext_t& ctx, const item_t* item)
{
    const QPoint a = ctx.xf.map(item->x1, item->y1), b = ctx.xf.map(item->x2, item->y2);
    const double z = ctx.xf.widthZoom;
    lineStyle_t style = lineStyleAt(item, z, ctx.effects && !ctx.masking);
    style.lightDirection = lightDirectionOf(ctx.document);
    dpoint_t from{double(a.x()), double(a.y())}, to{double(b.x()), double(b.y())};
    // A solid head takes the end of the band inside it, so that a thick
    // line's square end does not stand out beside the head's tip.
    for (const headShape_t& h : headShapesOf(item)) {
        if (!h.solid()) continue;
        const QPoint e = ctx.xf.map(int32_t(std::lround(h.lineEnd.x)), int32_t(std::lround(h.lineEnd.y)));
        (h.atStart ? from : to) = {double(e.x()), double(e.y())};
    }
    if (!ctx.masking) {
        drawLine(ctx.canvas, item, from, to, style, resolvePattern(ctx.document, item, z));
        return;
    }
    // The stroke reads its colours from the record: draw a copy in the mask colours.
    model::item_t copy;
    copy.body() = item->body();
    copy.lineColor = figureLineColor(ctx, item);
    copy.fillColor = figureFillColor(ctx, item);
    drawLine(ctx.canvas, &copy, from, to, style, resolvePattern(ctx.document, item, z));
}

// The outline of a picture: its box, its turned rectangle, or its circle.
void pictureOutline(drawContext_t& ctx, const item_t* item, bool shrink)
{
    canvas_t& c = ctx.canvas;
    if (item->clipShape == model::clipRound) {
        const point_t m = ctx.xf.mapPt(item->x1, item->y1);
        const int32_t r = roundHalfEven(geometry::distance(m, ctx.xf.mapPt(item->x2, item->y2)));
        c.clearBrush();
        c.ellipse(m.x - r, m.y - r, m.x + r, m.y + r);
        if (item->rotation != 0) {
            const QPoint pts[2] = {qp(m), QPoint(m.x + roundHalfEven(std::sin(item->rotation) * r),
                                                 m.y + roundHalfEven(std::cos(item->rotation) * r))};
            c.polyline(pts, 2);
        }
        return;
    }
    std::vector<QPoint> pts;
    if (item->rotation != 0) {
        // The middle in the wide type: boxes from files may span the whole range.
        const point_t m{int32_t((int64_t(item->boxLeft) + item->boxRight) / 2), int32_t((int64_t(item->boxTop) + item->boxBottom) / 2)};
        const point_t corners[4] = {{item->boxLeft, item->boxTop}, {item->boxRight, item->boxTop},
                                    {item->boxRight, item->boxBottom}, {item->boxLeft, item->boxBottom}};
        for (const point_t& k : corners) {
            const point_t t = geometry::polarPoint(m, geometry::segmentAngle(m, k) + item->rotation, geometry::distance(m, k));
            pts.push_back(ctx.xf.map(t.x, t.y));
        }
    } else {
        QPoint tl = ctx.xf.map(item->boxLeft, item->boxTop), br = ctx.xf.map(item->boxRight, item->boxBottom);
        if (shrink) {
            tl += QPoint(1, 1);
            br -= QPoint(1, 1);
        }
        pts = {tl, QPoint(br.x(), tl.y()), br, QPoint(tl.x(), br.y())};
    }
    pts.push_back(pts.front());
    c.polyline(pts);
}

// The outer edge of a picture's frame c canvas pixels wide (while dragging).
void pictureFrameOutline(drawContext_t& ctx, const item_t* item, int32_t c)
{
    canvas_t& cv = ctx.canvas;
    cv.clearBrush();
    if (item->clipShape == model::clipRound) {
        const point_t m = ctx.xf.mapPt(item->x1, item->y1);
        const int32_t r = roundHalfEven(geometry::distance(m, ctx.xf.mapPt(item->x2, item->y2))) + c;
        cv.ellipse(m.x - r, m.y - r, m.x + r, m.y + r);
        return;
    }
    if (item->rotation != 0) {
        // The turned box grown by the frame, in document pixels.
        const int32_t g = roundHalfEven(c / std::max(ctx.xf.widthZoom, 1e-9));
        const point_t m{int32_t((int64_t(item->boxLeft) + item->boxRight) / 2), int32_t((int64_t(item->boxTop) + item->boxBottom) / 2)};
        const point_t corners[4] = {{item->boxLeft - g, item->boxTop - g}, {item->boxRight + g, item->boxTop - g},
                                    {item->boxRight + g, item->boxBottom + g}, {item->boxLeft - g, item->boxBottom + g}};
        std::vector<QPoint> pts;
        for (const point_t& k : corners) {
            const point_t t = geometry::polarPoint(m, geometry::segmentAngle(m, k) + item->rotation, geometry::distance(m, k));
            pts.push_back(ctx.xf.map(t.x, t.y));
        }
        pts.push_back(pts.front());
        cv.polyline(pts);
        return;
    }
    const QPoint tl = ctx.xf.map(item->boxLeft, item->boxTop) - QPoint(c, c);
    const QPoint br = ctx.xf.map(item->boxRight, item->boxBottom) + QPoint(c, c);
    cv.polyline(std::vector<QPoint>{tl, QPoint(br.x(), tl.y()), br, QPoint(tl.x(), br.y()), tl});
}

// The file name of an unturned rectangular picture in its quick outline.
void drawPictureName(drawContext_t& ctx, const item_t* item)
{
    if (item->clipShape == model::clipRound || item->rotation != 0) return;
    const item_t* data = model::findPictureData(ctx.document, item->pictureId);
    if (!data || data->text.empty() || data->text[0] == u'\0') return;
    std::u16string name = data->text;
    const size_t slash = name.find_last_of(u"/\\");
    if (slash != std::u16string::npos) name = name.substr(slash + 1);
    const QPoint tl = ctx.xf.map(item->boxLeft, item->boxTop), br = ctx.xf.map(item->boxRight, item->boxBottom);
    const QRect clip(QPoint(tl.x() + 1, tl.y() + 1), QPoint(br.x() - 1, br.y() - 1));
    if (clip.width() < 1 || clip.height() < 1) return;
    QPainter& p = ctx.canvas.painter();
    p.save();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, roundHalfEven(10.0 * model::screen().pxPerMmY * 25.4 / 72.0)));
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(toColor(ctx.style.pictureFrameColor));
    p.setClipRect(clip);
    p.drawText(QRect(tl.x() + 5, tl.y() + 5, 10000, 1000), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdU16String(name));
    p.restore();
}

void drawPictureItem(drawContext_t& ctx, const item_t* item)
{
    if (ctx.output) {
        // The record's processed bitmap belongs to the canvas; output never touches it.
        drawPicture(ctx, const_cast<item_t*>(item));
        return;
    }
    if (ctx.quickDraw) {
        ctx.canvas.setPen(ctx.style.pictureFrameColor, 1);
        pictureOutline(ctx, item, true);
        drawPictureName(ctx, item);
        return;
    }
    if (ctx.noEffects) {
        ctx.canvas.setPen(ctx.style.dragOutlineColor, 1, penStyle_t::dot);
        pictureOutline(ctx, item, false);
        const int32_t c = item->frameOn ? geometry::penWidthAt(ctx.xf.widthZoom, item->lineWeight) : 0;
        if (c > 2) pictureFrameOutline(ctx, item, c);
        return;
    }
    if (!ctx.showPictures) {
        ctx.canvas.setPen(ctx.style.hiddenPictureOutline, 1, penStyle_t::dot);
        pictureOutline(ctx, item, false);
        return;
    }
    // The cache of processed bitmaps lives in the item's child records.
    drawPicture(ctx, const_cast<item_t*>(item));
}

} // namespace

void applyFillRules(canvas_t& canvas, int32_t fill, int32_t lineColor, int32_t pen)
{
    if (fill == -1) {
        canvas.setPen(lineColor, pen);
        canvas.clearBrush();
    } else if (fill == -2) {
        canvas.setPen(lineColor, 1);
        canvas.setBrush(lineColor);
    } else {
        canvas.setPen(lineColor, pen);
        canvas.setBrush(fill);
    }
}

namespace {

// The inclusive box of four corners that go round an upright rectangle of
// some width and height (a fifth point may close it); false for any other
// figure.
bool uprightRectangle(const std::vector<QPoint>& in, QRect& box)
{
    if (in.size() != 4 && !(in.size() == 5 && in[4] == in[0])) return false;
    const QPoint a = in[0], b = in[1], c = in[2], d = in[3];
    const bool acrossFirst = a.y() == b.y() && b.x() == c.x() && c.y() == d.y() && d.x() == a.x();
    const bool downFirst = a.x() == b.x() && b.y() == c.y() && c.x() == d.x() && d.y() == a.y();
    if (!acrossFirst && !downFirst) return false;
    const int32_t l = std::min(a.x(), c.x()), r = std::max(a.x(), c.x());
    const int32_t t = std::min(a.y(), c.y()), b2 = std::max(a.y(), c.y());
    if (l == r || t == b2) return false;
    box = QRect(QPoint(l, t), QPoint(r, b2));
    return true;
}

// An upright rectangle outlined by the thinnest pen on an image: the outline
// takes the box's edge pixels and the fill the pixels within, so block fills
// give the pixels the polygon would, without the general rasteriser (squares
// and rectangles are among the commonest figures). Not on a vector device,
// where the figure stays a path, nor while the drawing is being recorded.
bool drawnAsBlocks(canvas_t& canvas, const std::vector<QPoint>& in, int32_t fill, int32_t lineColor, int32_t width)
{
    QRect box;
    if (width > 1 || canvas.isVector() || canvas.recording() || !uprightRectangle(in, box)) return false;
    // The raster engine cuts an outline at the image's edges and leaves out
    // a corner pixel where it does: such a rectangle keeps the polygon.
    if (!canvas.bounds().contains(box)) return false;
    const int32_t l = box.left(), t = box.top(), r = box.right() + 1, b = box.bottom() + 1;
    if (fill == -2) {
        canvas.fillRect(l, t, r, b, lineColor);
        return true;
    }
    canvas.fillRect(l, t, r, t + 1, lineColor);
    canvas.fillRect(l, b - 1, r, b, lineColor);
    canvas.fillRect(l, t + 1, l + 1, b - 1, lineColor);
    canvas.fillRect(r - 1, t + 1, r, b - 1, lineColor);
    if (fill != -1) canvas.fillRect(l + 1, t + 1, r - 1, b - 1, fill);
    return true;
}

} // namespace

void drawPointList(canvas_t& canvas, const std::vector<QPoint>& in, int32_t variant, int32_t pen, int32_t fill,
                   int32_t lineColor)
{
    if (in.size() < 2) return;
    canvasLock_t lock(canvas);
    const int32_t width = fill == -2 ? 1 : pen;
    if (in.size() == 2) {
        canvas.setPen(lineColor, width);
        canvas.polyline(in);
        return;
    }
    if (variant == 2) {
        applyFillRules(canvas, fill, lineColor, pen);
        if (!drawnAsBlocks(canvas, in, fill, lineColor, width)) canvas.polygon(in);
        return;
    }
    canvas.setPen(lineColor, width);
    if (variant == 1) canvas.polyline(closedPolyline(in));
    else canvas.polyline(in);
}

std::vector<QPoint> closedPolyline(const std::vector<QPoint>& in)
{
    std::vector<QPoint> pts = in;
    if (!pts.empty() && pts.back() != pts.front()) pts.push_back(pts.front());
    return pts;
}

std::vector<QPoint> bezierChain(const std::vector<curvePoint_t>& pts, int32_t variant)
{
    // Points that repeat the previous position are left out with their controls.
    std::vector<const curvePoint_t*> kept;
    for (const curvePoint_t& p : pts)
        if (kept.empty() || kept.back()->p != p.p) kept.push_back(&p);
    std::vector<QPoint> chain;
    if (kept.empty()) return chain;
    chain.push_back(kept[0]->p);
    for (size_t i = 1; i < kept.size(); ++i) {
        chain.push_back(kept[i - 1]->c1);
        chain.push_back(kept[i - 1]->c2);
        chain.push_back(kept[i]->p);
    }
    if ((variant == 1 || variant == 2) && kept.size() > 1) {
        chain.push_back(kept.back()->c1);
        chain.push_back(kept.back()->c2);
        chain.push_back(kept[0]->p);
    }
    return chain;
}

void drawCurve(canvas_t& canvas, const std::vector<curvePoint_t>& pts, int32_t variant, int32_t pen, int32_t fill,
               int32_t lineColor)
{
    if (pts.size() < 2) return;
    canvasLock_t lock(canvas);
    if (pts.size() == 2) {
        canvas.setPen(lineColor, fill == -2 ? 1 : pen);
        const QPoint seg[2] = {pts[0].p, pts[1].p};
        canvas.polyline(seg, 2);
        return;
    }
    const std::vector<QPoint> chain = bezierChain(pts, variant);
    if (variant == 2) {
        applyFillRules(canvas, fill, lineColor, pen);
        canvas.strokeAndFillBezier(chain);
    } else {
        canvas.setPen(lineColor, fill == -2 ? 1 : pen);
        canvas.polyBezier(chain);
    }
}

std::vector<QPoint> regularPolygonCorners(point_t c, point_t v, int32_t n)
{
    std::vector<QPoint> out;
    for (point_t p : geometry::regularPolygonVertices(c, v, n)) out.push_back(qp(p));
    return out;
}

std::vector<QPoint> starCorners(point_t c, point_t v, point_t w, int32_t n)
{
    std::vector<QPoint> out;
    for (point_t p : geometry::starVertices(c, v, w, n)) out.push_back(qp(p));
    return out;
}

void drawItemIn(drawContext_t& ctx, const item_t* item)
{
    if (item->kind != model::kindItem) return;
    // Texts cast a shadow and shade their surface line by line.
    if (item->itemType == model::typeText) {
        drawTextItem(ctx, item);
        return;
    }
    const int32_t pen = geometry::penWidthAt(ctx.xf.widthZoom, item->lineWeight);
    if (ctx.shadowOn && !ctx.masking && item->shadowElevation != 0) drawShadow(ctx, item);
    // Lines shade their dashes themselves; the other shapes have a shaded renderer.
    if (ctx.effects && !ctx.masking && item->surface >= 1 && item->itemType != model::typeLine &&
        drawShaded(ctx, item, pen)) {
        // A barcode lies on its shaded box.
        if (model::isBarcodeItem(item)) drawBarcodeFigure(ctx, item);
        return;
    }
    drawPlainFigure(ctx, item, pen);
}

void drawPlainFigure(drawContext_t& ctx, const item_t* item, int32_t pen)
{
    switch (item->itemType) {
    case model::typeLine: drawLineItem(ctx, item); break;
    case model::typeTriangle:
    case model::typeRectangle:
        // A barcode it cannot draw shows as the rectangle, as it does in an
        // editor that does not know barcodes.
        if (model::isBarcodeItem(item) && drawBarcodeFigure(ctx, item)) break;
        drawPlainPointList(ctx, item, pen);
        break;
    case model::typeSquare:
    case model::typeSpline: drawPlainPointList(ctx, item, pen); break;
    case model::typeCircle: drawCircle(ctx, item, pen); break;
    case model::typeEllipse: drawEllipse(ctx, item, pen); break;
    case model::typePolygon:
        if (model::countNodes(item->points) >= 2)
            drawFilledOutline(ctx.canvas,
                              regularPolygonCorners(mappedPointAt(ctx.xf, item, 1), mappedPointAt(ctx.xf, item, 2), item->sides),
                              pen, figureFillColor(ctx, item), figureLineColor(ctx, item));
        break;
    case model::typeStar:
        if (model::countNodes(item->points) >= 3)
            drawFilledOutline(ctx.canvas,
                              starCorners(mappedPointAt(ctx.xf, item, 1), mappedPointAt(ctx.xf, item, 2),
                                           mappedPointAt(ctx.xf, item, 3), item->sides),
                              pen, figureFillColor(ctx, item), figureLineColor(ctx, item));
        break;
    case model::typePie:
    case model::typeArc: drawPieArc(ctx, item, pen); break;
    case model::typeCurve: drawCurveItem(ctx, item, pen); break;
    case model::typePicture: drawPictureItem(ctx, item); break;
    case model::typeText: drawTextItem(ctx, item); break;
    default: break;               // group handles, picture records and the like are never painted
    }
    // Heads are part of the figure: shadows and shaded surfaces see them too.
    if (model::takesHeads(item)) drawHeads(ctx, item, pen);
}

} // namespace render
