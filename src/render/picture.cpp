#include "render/picture.h"

#include "geometry/units.h"
#include "model/clips.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/adjust.h"
#include "render/decode.h"
#include "render/effects.h"
#include "render/picturecache.h"
#include "render/pictureframe.h"
#include "render/resample.h"
#include "render/shapedraw.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThreadPool>

#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <numbers>

namespace render {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

namespace {

std::atomic<int64_t> decodes{0};

pixelBuffer_t viewOf(QImage& image)
{
    return {image.bits(), image.width(), image.height(), int32_t(image.bytesPerLine()), 4};
}

bool drawableSize(int64_t w, int64_t h) { return w > 0 && h > 0 && w * h <= maxDrawnPicturePixels; }

QImage whiteImage(int32_t w, int32_t h)
{
    QImage image(w, h, QImage::Format_RGB32);
    if (!image.isNull()) image.fill(0xFFFFFFFFu);
    return image;
}

// Pascal's div: integer division truncating towards zero.
int32_t halvedTowardsZero(int64_t v) { return int32_t(v / 2); }

// Everything a processed bitmap depends on; the cache serves a drawing only
// when all of it is the same.
struct cacheKey_t {
    double zoom;
    int32_t targetW, targetH;
    int32_t frame;
    int32_t shaded;
    int32_t lightDirection;
    int32_t clipShape, pictureId;
    int32_t srcLeft, srcTop, srcRight, srcBottom;
    int32_t mirrorX, mirrorY;
    // Named, so that no padding (which a copy need not keep) lies in the key.
    int32_t unused;
    double rotation;
    int32_t flipX, flipY, orientation;
    int32_t saturation, contrast, lightness;
    int32_t lineColor, surface;
};

// Keys are compared as bytes: every byte belongs to a field.
static_assert(sizeof(cacheKey_t) == 8 + 14 * 4 + 8 + 8 * 4);

cacheKey_t zeroedKey()
{
    cacheKey_t k;
    std::memset(&k, 0, sizeof k);  // padding compared too
    return k;
}

// Where and how big the picture lands on the canvas.
struct placement_t {
    QPoint topLeft;          // the unframed picture's top-left corner (canvas)
    int32_t w = 0, h = 0;    // target size (rectangles) or the square's side (round clips)
    int32_t c = 0;           // frame width in pixels, 0 without a frame
    bool turned = false;
    bool round = false;
};

placement_t placementOf(const drawContext_t& ctx, const item_t* item)
{
    placement_t p;
    p.round = item->clipShape == model::clipRound;
    p.turned = item->rotation != 0;
    p.c = item->frameOn ? geometry::penWidthAt(ctx.xf.widthZoom, item->lineWeight) : 0;
    const QPoint a = ctx.xf.map(item->x1, item->y1), b = ctx.xf.map(item->x2, item->y2);
    if (p.round) {
        const double r = std::round(std::hypot(double(b.x() - a.x()), double(b.y() - a.y())));
        // A circle beyond any canvas is not drawn (the size check refuses 0).
        p.w = p.h = r <= double(1 << 28) ? 2 * int32_t(r) : 0;
        p.topLeft = ctx.xf.map(item->boxLeft, item->boxTop);
    } else {
        p.w = std::abs(b.x() - a.x());
        p.h = std::abs(b.y() - a.y());
        p.topLeft = QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
    }
    return p;
}

bool threeDFrame(const drawContext_t& ctx, const item_t* item, int32_t c)
{
    return item->surface != 0 && c > 3 && (ctx.output || ctx.effects);
}

cacheKey_t keyOf(const drawContext_t& ctx, const item_t* item, const placement_t& p)
{
    cacheKey_t k = zeroedKey();
    k.zoom = ctx.xf.widthZoom;
    k.targetW = p.w;
    k.targetH = p.h;
    k.frame = p.c;
    k.shaded = threeDFrame(ctx, item, p.c);
    k.lightDirection = lightDirectionOf(ctx.document);
    k.clipShape = item->clipShape;
    k.pictureId = item->pictureId;
    k.srcLeft = item->srcLeft, k.srcTop = item->srcTop, k.srcRight = item->srcRight, k.srcBottom = item->srcBottom;
    k.mirrorX = item->scaleX < 0, k.mirrorY = item->scaleY < 0;
    k.rotation = item->rotation;
    k.flipX = item->flipX, k.flipY = item->flipY, k.orientation = item->orientation;
    k.saturation = item->saturation, k.contrast = item->contrast, k.lightness = item->lightness;
    k.lineColor = item->lineColor, k.surface = item->surface;
    return k;
}

using processed_t = processedPicture_t;

std::string attributesOf(const cacheKey_t& key) { return std::string(reinterpret_cast<const char*>(&key), sizeof key); }

bool loadCache(const item_t* item, const cacheKey_t& key, processed_t& out,
               pictureStage_t stage = pictureStage_t::finished)
{
    return pictureCache().find(item, stage, attributesOf(key), out);
}

void storeCache(const item_t* item, const cacheKey_t& key, const processed_t& p,
                pictureStage_t stage = pictureStage_t::finished)
{
    processed_t kept = p;
    if (p.bitmap.format() != QImage::Format_ARGB32_Premultiplied) kept.bitmap = p.bitmap.convertToFormat(QImage::Format_RGB32);
    if (!p.alpha.isNull()) kept.alpha = p.alpha.convertToFormat(QImage::Format_RGB32);
    pictureCache().store(item, stage, attributesOf(key), std::move(kept));
}

// What the clip resampled to its drawn size depends on: the key without the
// colour adjustments and what comes after them (mirror, frame, turn).
cacheKey_t unadjustedKey(cacheKey_t k)
{
    k.saturation = k.contrast = k.lightness = 0;
    k.mirrorX = k.mirrorY = 0;
    k.rotation = 0;
    k.frame = k.shaded = k.lightDirection = 0;
    k.lineColor = k.surface = 0;
    return k;
}

// Kept unadjusted clips are limited in size: they double a picture's memory.
constexpr int64_t maxKeptUnadjustedPixels = int64_t(1) << 22;

// Where a drawing on the canvas keeps the clip before adjustment; none on output.
struct unadjustedCache_t {
    const item_t* item = nullptr;
    cacheKey_t key = zeroedKey();
};

// A part of the decoded picture; parts outside it are white.
QImage sourcePart(const QImage& decoded, int64_t left, int64_t top, int32_t w, int32_t h)
{
    QImage part = whiteImage(w, h);
    if (part.isNull()) return {};
    // Far-off parts (stored clips may hold any number) miss the picture.
    constexpr int64_t farOut = int64_t(1) << 30;
    if (std::abs(left) > farOut || std::abs(top) > farOut) return part;
    const QRect inside = QRect(int32_t(left), int32_t(top), w, h).intersected(decoded.rect());
    if (!inside.isEmpty()) copyRect(part, inside.topLeft() - QPoint(int32_t(left), int32_t(top)), decoded, inside);
    return part;
}

// A clip resampled to its drawn size: the colours, and for a picture with
// transparency its opacity (see processedPicture_t::alpha).
struct clip_t {
    QImage colour, alpha;
};

// The opacity of a 32-bit image with alpha in its fourth bytes, as grey.
QImage alphaPlane(const QImage& image)
{
    QImage plane(image.size(), QImage::Format_RGB32);
    if (plane.isNull()) return {};
    for (int32_t y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(plane.scanLine(y));
        for (int32_t x = 0; x < image.width(); ++x) out[x] = 0xFF000000u | (in[x] >> 24) * 0x010101u;
    }
    return plane;
}

// The premultiplied colours of such an image as an opaque RGB32 image.
QImage premultipliedColours(const QImage& image)
{
    QImage colours(image.size(), QImage::Format_RGB32);
    if (colours.isNull()) return {};
    for (int32_t y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(colours.scanLine(y));
        for (int32_t x = 0; x < image.width(); ++x) out[x] = in[x] | 0xFF000000u;
    }
    return colours;
}

QImage resampledTo(QImage source, int32_t w, int32_t h)
{
    // At its own size the picture is its pixels: no copy.
    if (source.size() == QSize(w, h) && source.format() == QImage::Format_RGB32) return source;
    QImage target(w, h, QImage::Format_RGB32);
    if (target.isNull() || !resamplePicture(viewOf(source), viewOf(target), filterMitchell)) return {};
    return target;
}

// A picture's crop: left, top, width, height in (oriented) picture pixels.
struct crop_t {
    int64_t left, top;
    int32_t w, h;
};

// An SVG picture drawn straight at the clip's drawn size, so it stays sharp
// at any zoom; null when the picture is not an SVG, or is turned sideways
// (drawn through the decoded bitmap then).
QImage svgClip(const drawContext_t& ctx, const item_t* item, int32_t w, int32_t h, const crop_t& crop)
{
    const item_t* record = pictureDataOf(item, ctx.document);
    if (!record || !record->stream || model::isSideways(item->orientation)) return {};
    const uint8_t* data = record->stream->data();
    const size_t size = record->stream->size();
    QSize whole;
    if (effectivePictureFormat(record->pictureFormat(), data, size) != model::pictureSvg || !svgSize(data, size, whole))
        return {};
    const double fx = double(w) / crop.w, fy = double(h) / crop.h;
    const double drawnW = std::round(whole.width() * fx), drawnH = std::round(whole.height() * fy);
    double left = std::round(double(crop.left) * fx), top = std::round(double(crop.top) * fy);
    // The signs orientPicture mirrors by.
    int32_t sx = item->flipX < 0 ? -1 : 1, sy = item->flipY < 0 ? -1 : 1;
    if (item->orientation == 180) sx = -sx, sy = -sy;
    if (sx < 0) left = drawnW - left - w;
    if (sy < 0) top = drawnH - top - h;
    constexpr double farOut = double(1 << 30);
    if (drawnW > farOut || drawnH > farOut || std::abs(left) > farOut || std::abs(top) > farOut) return {};
    ++decodes;
    (void)pictureCache().takeDecoded(record);  // a bitmap handed over on insertion is not needed
    QImage part = renderSvgPart(data, size, QSizeF(drawnW, drawnH), QPoint(int32_t(left), int32_t(top)), QSize(w, h));
    if (part.isNull()) return {};
    return sx < 0 || sy < 0 ? part.mirrored(sx < 0, sy < 0) : part;
}

// The part of the decoded picture a clip shows, resampled to w × h; parts
// outside the picture are white.
clip_t resampledClip(const drawContext_t& ctx, const item_t* item, int32_t w, int32_t h, unadjustedCache_t* cache,
                     const crop_t& crop)
{
    processed_t kept;
    if (cache && cache->item && loadCache(cache->item, cache->key, kept, pictureStage_t::unadjusted))
        return {kept.bitmap, kept.alpha};
    clip_t clip;
    QImage source = svgClip(ctx, item, w, h, crop);
    bool transparent = source.hasAlphaChannel();
    if (source.isNull()) {
        const QImage decoded = decodePicture(item, ctx.document);
        if (decoded.isNull()) return {};
        transparent = decoded.hasAlphaChannel();
        // The whole picture needs no copy.
        source = QRect(int32_t(crop.left), int32_t(crop.top), crop.w, crop.h) == decoded.rect()
                     ? decoded
                     : sourcePart(decoded, crop.left, crop.top, crop.w, crop.h);
        if (source.isNull()) return {};
    }
    if (transparent) {
        // The crop keeps the decoded picture's bytes, alpha included.
        clip.alpha = resampledTo(alphaPlane(source), w, h);
        if (clip.alpha.isNull()) return {};
        source = premultipliedColours(source);
    }
    clip.colour = resampledTo(source, w, h);
    if (clip.colour.isNull()) return {};
    if (cache && cache->item && int64_t(w) * h <= maxKeptUnadjustedPixels) {
        processed_t p;
        p.bitmap = clip.colour;
        p.alpha = clip.alpha;
        storeCache(cache->item, cache->key, p, pictureStage_t::unadjusted);
    }
    return clip;
}

// Colours and opacity as one premultiplied image (colours limited to their
// opacity as in blendOver), which the raster engine lays over the canvas fast.
QImage mergedPremultiplied(const QImage& colour, const QImage& alpha)
{
    QImage out(colour.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return {};
    for (int32_t y = 0; y < out.height(); ++y) {
        const auto* c = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
        const auto* a = reinterpret_cast<const QRgb*>(alpha.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int32_t x = 0; x < out.width(); ++x) {
            const uint32_t op = a[x] & 0xFF;
            uint32_t px = op << 24;
            for (int shift = 0; shift < 24; shift += 8) px |= std::min((c[x] >> shift) & 0xFF, op) << shift;
            o[x] = px;
        }
    }
    return out;
}

// Adjust, mirror: after the resampling, the common middle of both clip forms.
// The opacity is only mirrored.
clip_t adjustMirror(clip_t clip, const item_t* item)
{
    if (clip.colour.isNull()) return {};
    adjustPicture(clip.colour, {item->saturation, item->contrast, item->lightness});
    if (item->scaleX < 0 || item->scaleY < 0) {
        clip.colour = clip.colour.mirrored(item->scaleX < 0, item->scaleY < 0);
        if (!clip.alpha.isNull()) clip.alpha = clip.alpha.mirrored(item->scaleX < 0, item->scaleY < 0);
    }
    return clip;
}

// Draws premultiplied colours of the given opacity over `under` (all of one
// size). Adjusted colours may exceed their opacity; they are limited to it,
// so that transparent pixels never lighten what lies beneath.
void blendOver(QImage& under, const QImage& colour, const QImage& alpha)
{
    for (int32_t y = 0; y < under.height(); ++y) {
        auto* u = reinterpret_cast<QRgb*>(under.scanLine(y));
        const auto* c = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
        const auto* a = reinterpret_cast<const QRgb*>(alpha.constScanLine(y));
        for (int32_t x = 0; x < under.width(); ++x) {
            const uint32_t op = a[x] & 0xFF;
            if (op == 0) continue;
            if (op == 255) {
                u[x] = c[x] | 0xFF000000u;
                continue;
            }
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t cc = std::min((c[x] >> shift) & 0xFF, op), uc = (u[x] >> shift) & 0xFF;
                out |= std::min<uint32_t>(cc + (uc * (255 - op) + 127) / 255, 255) << shift;
            }
            u[x] = out;
        }
    }
}

bool processRect(const drawContext_t& ctx, const item_t* item, const placement_t& p, processed_t& out,
                 unadjustedCache_t* cache)
{
    // The crop holds its maximum row and column: the entire image is stored
    // as 0, 0, width − 1, height − 1.
    const int64_t l = std::min(item->srcLeft, item->srcRight), t = std::min(item->srcTop, item->srcBottom);
    const int64_t cw = int64_t(std::max(item->srcLeft, item->srcRight)) - l + 1;
    const int64_t ch = int64_t(std::max(item->srcTop, item->srcBottom)) - t + 1;
    // A tiny picture may be enlarged: its decoded size was checked, and a
    // crop too small to filter is copied to whole multiples of its size.
    if (p.w <= 2 || p.h <= 2) return false;
    if (!drawableSize(cw, ch) || !drawableSize(int64_t(p.w) + 2 * p.c, int64_t(p.h) + 2 * p.c)) return false;
    clip_t scaled = adjustMirror(resampledClip(ctx, item, p.w, p.h, cache, {l, t, int32_t(cw), int32_t(ch)}), item);
    if (scaled.colour.isNull()) return false;
    // A turned picture of odd size loses its last column or row.
    if (p.turned && (p.w % 2 || p.h % 2)) {
        scaled.colour = scaled.colour.copy(0, 0, p.w - p.w % 2, p.h - p.h % 2);
        if (!scaled.alpha.isNull()) scaled.alpha = scaled.alpha.copy(0, 0, p.w - p.w % 2, p.h - p.h % 2);
    }
    out.bitmap = framePicture(scaled.colour, p.c, item->lineColor, threeDFrame(ctx, item, p.c), item->surface,
                              lightDirectionOf(ctx.document), item->rotation);
    if (out.bitmap.isNull()) return false;
    if (!scaled.alpha.isNull()) {
        // The frame is opaque.
        out.alpha = framePicture(scaled.alpha, p.c, 0xFFFFFF, false, 0, 0, 0);
        if (out.alpha.isNull()) return false;
    }
    const int32_t W = out.bitmap.width(), H = out.bitmap.height();
    if (!p.turned) {
        out.ox = out.oy = p.c;
        if (!out.alpha.isNull()) {
            out.bitmap = mergedPremultiplied(out.bitmap, out.alpha);
            out.alpha = QImage();
            if (out.bitmap.isNull()) return false;
        }
        return true;
    }
    const double a = item->rotation;
    const int64_t A = std::abs(int64_t(roundHalfEven(H * std::sin(a)))) + std::abs(int64_t(roundHalfEven(W * std::cos(a))));
    const int64_t B = std::abs(int64_t(roundHalfEven(W * std::sin(a)))) + std::abs(int64_t(roundHalfEven(H * std::cos(a))));
    if (!drawableSize(A, B)) return false;
    out.turnedW = int32_t(A), out.turnedH = int32_t(B);
    out.ox = int32_t((A - W) / 2) + p.c;
    out.oy = int32_t((B - H) / 2) + p.c;
    return true;
}

bool processRound(const drawContext_t& ctx, const item_t* item, const placement_t& p, processed_t& out,
                  unadjustedCache_t* cache)
{
    const double rim = geometry::distance({item->srcLeft, item->srcTop}, {item->srcRight, item->srcBottom});
    const int32_t r = rim < double(1 << 28) ? roundHalfEven(rim) : 0;
    if (2 * int64_t(r) <= 2 || p.w <= 2 || !drawableSize(2 * int64_t(r), 2 * int64_t(r)) || !drawableSize(p.w, p.h))
        return false;
    const crop_t square{int64_t(item->srcLeft) - r, int64_t(item->srcTop) - r, 2 * r, 2 * r};
    clip_t scaled = adjustMirror(resampledClip(ctx, item, p.w, p.h, cache, square), item);
    if (scaled.colour.isNull()) return false;
    if (item->rotation != 0) {
        // Only the circle is shown, and it lies inside the turned square.
        QImage turned = whiteImage(p.w, p.h);
        rotateInto(scaled.colour, turned, item->rotation);
        scaled.colour = turned;
        if (!scaled.alpha.isNull()) {
            QImage turnedAlpha = whiteImage(p.w, p.h);
            rotateInto(scaled.alpha, turnedAlpha, item->rotation);
            scaled.alpha = turnedAlpha;
        }
    }
    out.bitmap = scaled.colour;
    out.alpha = scaled.alpha;
    return true;
}

// A processed bitmap on a vector device: the bitmap is placed as it is, a round one
// within a circular clip path (or, where the device cannot clip, with clear
// corners), a turned one turned into a clear layer.
void placeProcessedVector(drawContext_t& ctx, const item_t* item, const placement_t& p, const processed_t& pr)
{
    canvas_t& canvas = ctx.canvas;
    const item_t* data = model::findPictureData(ctx.document, item->pictureId);
    const bool photographic = data && data->itemType == model::typePictureData && data->pictureFormat() == model::pictureJpeg;
    if (p.round) {
        const QRect area(p.topLeft, pr.bitmap.size());
        if (canvas.clipsPaths()) {
            QPainter& painter = canvas.painter();
            painter.save();
            QPainterPath circle;
            circle.addEllipse(QRectF(area));
            painter.setClipPath(circle, Qt::IntersectClip);
            canvas.placeLayer(area.topLeft(), pr.bitmap, photographic);
            painter.restore();
            return;
        }
        QImage layer(area.size(), QImage::Format_ARGB32);
        if (layer.isNull()) return;
        layer.fill(Qt::transparent);
        maskRound(layer, pr.bitmap);
        canvas.placeLayer(area.topLeft(), layer, photographic);
        return;
    }
    const QPoint at = p.topLeft - QPoint(pr.ox, pr.oy);
    if (!p.turned) {
        canvas.placeLayer(at, pr.bitmap, photographic);
        return;
    }
    QImage layer(pr.turnedW, pr.turnedH, QImage::Format_ARGB32);
    if (layer.isNull()) return;
    layer.fill(Qt::transparent);
    rotateInto(pr.bitmap, layer, item->rotation);
    canvas.placeLayer(at, layer, photographic);
}

// Draws a processed bitmap onto the canvas at the placement.
void placeProcessed(drawContext_t& ctx, const item_t* item, const placement_t& p, const processed_t& pr)
{
    if (ctx.canvas.isVector()) {
        placeProcessedVector(ctx, item, p, pr);
        return;
    }
    QImage& canvas = ctx.canvas.image();
    const bool transparent = !pr.alpha.isNull();
    if (p.round) {
        const QRect area(p.topLeft, pr.bitmap.size());
        QImage under = sourcePart(canvas, area.left(), area.top(), area.width(), area.height());
        if (under.isNull()) return;
        QImage shown = pr.bitmap;
        if (transparent) {
            shown = under.copy();
            blendOver(shown, pr.bitmap, pr.alpha);
        }
        maskRound(under, shown);
        copyRect(canvas, area.topLeft(), under, under.rect());
        return;
    }
    const QPoint at = p.topLeft - QPoint(pr.ox, pr.oy);
    if (!p.turned) {
        if (pr.bitmap.format() != QImage::Format_ARGB32_Premultiplied) {
            copyRect(canvas, at, pr.bitmap, pr.bitmap.rect());
            return;
        }
        // A transparent picture, merged with its opacity when it was made.
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(at, pr.bitmap);
        return;
    }
    QImage work = sourcePart(canvas, at.x(), at.y(), pr.turnedW, pr.turnedH);
    if (work.isNull()) return;
    if (!transparent) {
        rotateInto(pr.bitmap, work, item->rotation);
    } else {
        // Where no pixel of the picture lands the opacity stays 0.
        QImage colour = work.copy(), opacity(work.size(), QImage::Format_RGB32);
        if (colour.isNull() || opacity.isNull()) return;
        opacity.fill(0xFF000000u);
        rotateInto(pr.bitmap, colour, item->rotation);
        rotateInto(pr.alpha, opacity, item->rotation);
        blendOver(work, colour, opacity);
    }
    copyRect(canvas, at, work, work.rect());
}

// The frame of a round picture, drawn on the canvas around its circle.
void drawRoundFrame(drawContext_t& ctx, const item_t* item, const placement_t& p)
{
    if (p.c <= 0) return;
    const QRect outer(p.topLeft - QPoint(p.c, p.c), QSize(p.w + 2 * p.c, p.h + 2 * p.c));
    if (threeDFrame(ctx, item, p.c) && ctx.canvas.isVector()) {
        QImage ring(outer.size(), QImage::Format_ARGB32);
        if (ring.isNull()) return;
        ring.fill(Qt::transparent);
        shadeRing(ring, p.c, item->lineColor, item->surface, lightDirectionOf(ctx.document));
        ctx.canvas.placeLayer(outer.topLeft(), ring);
        return;
    }
    if (threeDFrame(ctx, item, p.c)) {
        ctx.canvas.release();
        QImage& canvas = ctx.canvas.image();
        QImage ring = sourcePart(canvas, outer.left(), outer.top(), outer.width(), outer.height());
        if (ring.isNull()) return;
        shadeRing(ring, p.c, item->lineColor, item->surface, lightDirectionOf(ctx.document));
        copyRect(canvas, outer.topLeft(), ring, ring.rect());
        return;
    }
    // The pen lies on the circle half a pen width outside the picture.
    canvasLock_t lock(ctx.canvas);
    ctx.canvas.setPen(item->lineColor, p.c);
    ctx.canvas.clearBrush();
    const int32_t half = p.c / 2;
    ctx.canvas.ellipse(p.topLeft.x() - half, p.topLeft.y() - half, p.topLeft.x() + p.w + half, p.topLeft.y() + p.h + half);
}

} // namespace

int64_t pictureDecodeCount() { return decodes.load(); }

QImage orientPicture(QImage image, int32_t orientation, int32_t flipX, int32_t flipY)
{
    if (image.isNull()) return {};
    int32_t sx = flipX < 0 ? -1 : 1, sy = flipY < 0 ? -1 : 1;
    if (orientation == 90 || orientation == 270) {
        const int32_t w = image.width() - image.width() % 2, h = image.height() - image.height() % 2;
        if (w < 2 || h < 2) return {};
        const QImage even = image.copy(0, 0, w, h);
        QImage turned = whiteImage(h, w);
        if (turned.isNull()) return {};
        if (even.hasAlphaChannel()) turned = turned.convertToFormat(even.format());
        rotateInto(even, turned, sx * sy * orientation * std::numbers::pi / 180.0);
        image = turned;
    } else if (orientation == 180) {
        sx = -sx;
        sy = -sy;
    }
    if (sx < 0 || sy < 0) image = image.mirrored(sx < 0, sy < 0);
    return image;
}

QImage decodePicture(const item_t* item, const model::itemList_t& document)
{
    QImage decoded;
    const item_t* data = model::findPictureData(document, item->pictureId);
    if (data && data->itemType == model::typePictureData) decoded = pictureCache().takeDecoded(data);
    if (decoded.isNull()) {
        ++decodes;
        decoded = decodeStoredPicture(item, document);
    }
    if (decoded.isNull()) return {};
    return orientPicture(std::move(decoded), item->orientation, item->flipX, item->flipY);
}

void rotateInto(const QImage& source, QImage& destination, double angle)
{
    if (source.isNull() || destination.isNull()) return;
    // Pixels are copied as they are: 32-bit images keep their alpha, and a
    // clear ARGB destination keeps clear what the turned picture misses.
    const QImage src = source.depth() == 32 ? source : source.convertToFormat(QImage::Format_RGB32);
    if (destination.depth() != 32) destination = destination.convertToFormat(QImage::Format_RGB32);
    const int32_t ws = src.width(), hs = src.height(), wd = destination.width(), hd = destination.height();
    const double c = std::cos(angle), s = std::sin(angle);
    const int64_t bx = (wd - ws) / 2 + ws / 2, by = (hd - hs) / 2 + hs / 2;
    for (int32_t j = 0; j < hd; ++j) {
        auto* out = reinterpret_cast<QRgb*>(destination.scanLine(j));
        const double v = 2.0 * (j - by) + 1;
        for (int32_t i = 0; i < wd; ++i) {
            const double u = 2.0 * (i - bx) + 1;
            const int64_t x = halvedTowardsZero(int64_t(std::nearbyint(c * u - s * v)) - 1) + ws / 2;
            const int64_t y = halvedTowardsZero(int64_t(std::nearbyint(s * u + c * v)) - 1) + hs / 2;
            if (x < 0 || y < 0 || x >= ws || y >= hs) continue;
            out[i] = reinterpret_cast<const QRgb*>(src.constScanLine(int32_t(y)))[x];
        }
    }
}

void maskRound(QImage& background, const QImage& picture)
{
    if (background.size() != picture.size() || background.isNull()) return;
    const int32_t w = background.width(), h = background.height();
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0, rx = w / 2.0, ry = h / 2.0;
    for (int32_t y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(background.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const double dy = (y - cy) / ry;
        for (int32_t x = 0; x < w; ++x) {
            const double dx = (x - cx) / rx;
            if (dx * dx + dy * dy <= 1.0) out[x] = in[x];
        }
    }
}

namespace {

// The processed picture for the placement: from the cache on the canvas, or
// made (and kept, on the canvas). False when it cannot be made.
bool processedPicture(const drawContext_t& ctx, const item_t* item, const placement_t& p, processed_t& pr)
{
    const cacheKey_t key = keyOf(ctx, item, p);
    if (!ctx.output && loadCache(item, key, pr)) return true;
    unadjustedCache_t kept{item, unadjustedKey(key)};
    unadjustedCache_t* cache = ctx.output ? nullptr : &kept;
    const bool ok = p.round ? processRound(ctx, item, p, pr, cache) : processRect(ctx, item, p, pr, cache);
    if (!ok) {
        if (!ctx.output) dropPictureCache(item);
        return false;
    }
    if (!ctx.output) storeCache(item, key, pr);
    return true;
}

// The shadow mask of a transparent picture, not turned and not round: its
// pixels at least half opaque, in the mask's colour.
QImage opacityMask(const QImage& premultiplied, QRgb fill)
{
    QImage mask(premultiplied.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull()) return {};
    for (int32_t y = 0; y < mask.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int32_t x = 0; x < mask.width(); ++x) out[x] = qAlpha(in[x]) >= 128 ? (fill | 0xFF000000u) : 0u;
    }
    return mask;
}

} // namespace

// Pictures whose stored bytes are at least this long are decoded in the
// background on the canvas (when the view allows it): a decode of a large
// photograph takes a noticeable time.
constexpr size_t backgroundDecodeBytes = size_t(512) << 10;

namespace {

// Pictures being decoded in the background, and those whose background
// decode failed (decoded on the spot from then on), by record serial.
struct backgroundDecodes_t {
    std::mutex mutex;
    std::set<uint64_t> pending, failed;
};
backgroundDecodes_t& backgroundDecodes()
{
    static backgroundDecodes_t d;
    return d;
}

// Whether the picture is (now) being decoded in the background: a large
// bitmap on the canvas with neither a processed nor a decoded picture kept.
bool decodingInBackground(const drawContext_t& ctx, const item_t* item, const placement_t& p)
{
    if (ctx.output || !ctx.pictureDecoded || !*ctx.pictureDecoded) return false;
    const item_t* record = pictureDataOf(item, ctx.document);
    if (!record || !record->stream || record->stream->size() < backgroundDecodeBytes) return false;
    const int32_t format = effectivePictureFormat(record->pictureFormat(), record->stream->data(), record->stream->size());
    // Metafiles play through libraries not known to be thread-safe; SVGs are drawn at their drawn size.
    if (format == 0 || format == model::pictureMetafile || format == model::pictureSvg) return false;
    processed_t kept;
    const cacheKey_t key = keyOf(ctx, item, p);
    if (loadCache(item, key, kept) || loadCache(item, unadjustedKey(key), kept, pictureStage_t::unadjusted)) return false;
    if (pictureCache().holdsDecoded(record)) return false;
    backgroundDecodes_t& d = backgroundDecodes();
    const uint64_t serial = record->cacheSerial;
    {
        std::lock_guard lock(d.mutex);
        if (d.failed.count(serial)) return false;
        if (!d.pending.insert(serial).second) return true;
    }
    QThreadPool::globalInstance()->start(
        [bytes = *record->stream, format, serial, ready = *ctx.pictureDecoded] {
            ++decodes;
            QImage decoded = decodePictureBytes(format, bytes.data(), bytes.size());
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [serial, decoded = std::move(decoded), ready] {
                    {
                        backgroundDecodes_t& d = backgroundDecodes();
                        std::lock_guard lock(d.mutex);
                        d.pending.erase(serial);
                        if (decoded.isNull()) d.failed.insert(serial);
                    }
                    ready(serial, decoded);
                },
                Qt::QueuedConnection);
        });
    return true;
}

// The outline a picture is drawn as while it decodes.
void drawDecodingOutline(drawContext_t& ctx, const placement_t& p)
{
    canvasLock_t lock(ctx.canvas);
    ctx.canvas.setPen(ctx.style.pictureFrameColor, 1);
    ctx.canvas.clearBrush();
    const QPoint a = p.topLeft, b = p.topLeft + QPoint(p.w - 1, p.h - 1);
    if (p.round) {
        ctx.canvas.ellipse(a.x(), a.y(), b.x() + 1, b.y() + 1);
        return;
    }
    const QPoint pts[5] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y()), a};
    ctx.canvas.polyline(pts, 5);
}

} // namespace

void drawPicture(drawContext_t& ctx, item_t* item)
{
    const placement_t p = placementOf(ctx, item);
    if (p.w <= 2 || p.h <= 2) return;
    processed_t pr;
    {
        // Bands drawn at once that meet the same picture make it (or start
        // its decoding) once: the later one waits and finds it in the cache.
        // (Output keeps no cache.)
        static std::mutex making;
        std::unique_lock lock(making, std::defer_lock);
        if (!ctx.output) lock.lock();
        if (decodingInBackground(ctx, item, p)) {
            drawDecodingOutline(ctx, p);
            return;
        }
        if (!processedPicture(ctx, item, p, pr)) return;
    }
    ctx.canvas.release();
    placeProcessed(ctx, item, p, pr);
    if (p.round) drawRoundFrame(ctx, item, p);
}

void drawPictureShadow(drawContext_t& ctx, const item_t* item)
{
    if (item->shadowElevation == 0 || item->shadowLightness == 0) return;
    if (!ctx.output && (!ctx.showPictures || ctx.quickDraw || ctx.noEffects)) return;
    const placement_t p = placementOf(ctx, item);
    if (p.w <= 2 || p.h <= 2) return;
    const int32_t c = p.c;
    std::vector<QPointF> outline;  // canvas corners; empty for a circle
    QRectF circle;
    if (p.round) {
        circle = QRectF(p.topLeft.x() - c, p.topLeft.y() - c, p.w + 2 * c, p.h + 2 * c);
    } else if (!p.turned) {
        const QRectF r(p.topLeft.x() - c, p.topLeft.y() - c, p.w + 2 * c, p.h + 2 * c);
        outline = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    } else {
        const double W = p.w - p.w % 2 + 2 * c, H = p.h - p.h % 2 + 2 * c, a = item->rotation;
        const double A = std::abs(std::round(H * std::sin(a))) + std::abs(std::round(W * std::cos(a)));
        const double B = std::abs(std::round(W * std::sin(a))) + std::abs(std::round(H * std::cos(a)));
        const int32_t ox = int32_t((int64_t(A) - int64_t(W)) / 2) + c, oy = int32_t((int64_t(B) - int64_t(H)) / 2) + c;
        const QPointF m(p.topLeft.x() - ox + A / 2, p.topLeft.y() - oy + B / 2);
        for (const QPointF d : {QPointF(-W / 2, -H / 2), QPointF(W / 2, -H / 2), QPointF(W / 2, H / 2), QPointF(-W / 2, H / 2)})
            outline.push_back(m + QPointF(d.x() * std::cos(a) + d.y() * std::sin(a), -d.x() * std::sin(a) + d.y() * std::cos(a)));
    }
    // A transparent picture casts the shadow of what it shows.
    processed_t shown;
    const bool byOpacity = !p.round && !p.turned && pictureMayBeTransparent(item, ctx.document) &&
                           !decodingInBackground(ctx, item, p) && processedPicture(ctx, item, p, shown) &&
                           shown.bitmap.format() == QImage::Format_ARGB32_Premultiplied;
    const QPoint shownAt = p.topLeft - QPoint(shown.ox, shown.oy);
    QRect extent = circle.toAlignedRect();
    if (!outline.empty()) {
        double l = outline[0].x(), t = outline[0].y(), r = l, b = t;
        for (const QPointF& q : outline) l = std::min(l, q.x()), r = std::max(r, q.x()), t = std::min(t, q.y()), b = std::max(b, q.y());
        extent = QRectF(QPointF(l, t), QPointF(r, b)).toAlignedRect();
    }
    const shadowGeometry_t g = shadowGeometry(ctx, item);
    const int32_t margin = roundHalfEven(2.0 * g.p * g.f) + 2;
    drawShadowOf(ctx, item, extent, margin, 1,
                 [&](drawContext_t& mctx, QPoint, QPoint drawTopLeft, const shadowGeometry_t& sg) {
                     const QPointF shift = QPointF(sg.signX * sg.p, sg.signY * sg.p) - QPointF(drawTopLeft);
                     QPainter& painter = mctx.canvas.painter();
                     painter.setRenderHint(QPainter::Antialiasing, false);
                     painter.setPen(Qt::NoPen);
                     painter.setBrush(QColor::fromRgb(toRgb(mctx.maskFill)));
                     if (byOpacity) {
                         const QImage mask = opacityMask(shown.bitmap, toRgb(mctx.maskFill));
                         painter.drawImage(QPointF(shownAt) + shift, mask);
                     } else if (outline.empty()) {
                         painter.drawEllipse(circle.translated(shift));
                     } else {
                         QPolygonF poly;
                         for (const QPointF& q : outline) poly << q + shift;
                         painter.drawPolygon(poly);
                     }
                 });
}

geometry::rect_t pictureReach(const item_t* item, double zoom)
{
    int64_t l, t, r, b;
    if (item->clipShape == model::clipRound) {
        const int64_t radius = int64_t(std::ceil(std::min(geometry::distance({item->x1, item->y1}, {item->x2, item->y2}), 1e9)));
        l = item->x1 - radius, r = item->x1 + radius, t = item->y1 - radius, b = item->y1 + radius;
    } else {
        l = std::min(item->boxLeft, item->boxRight), r = std::max(item->boxLeft, item->boxRight);
        t = std::min(item->boxTop, item->boxBottom), b = std::max(item->boxTop, item->boxBottom);
        if (item->rotation != 0 && std::isfinite(item->rotation)) {
            // Turned about the middle of the box: the turned corners' box.
            const double mx = (double(l) + r) / 2, my = (double(t) + b) / 2, hw = (double(r) - l) / 2, hh = (double(b) - t) / 2;
            const double ex = std::abs(hw * std::cos(item->rotation)) + std::abs(hh * std::sin(item->rotation));
            const double ey = std::abs(hw * std::sin(item->rotation)) + std::abs(hh * std::cos(item->rotation));
            l = int64_t(std::floor(mx - ex)) - 1, r = int64_t(std::ceil(mx + ex)) + 1;
            t = int64_t(std::floor(my - ey)) - 1, b = int64_t(std::ceil(my + ey)) + 1;
        }
    }
    const int64_t frame = item->frameOn && zoom > 0
                              ? int64_t(std::ceil(std::min(geometry::penWidthAt(zoom, item->lineWeight) / zoom, 1e9))) + 1
                              : 0;
    auto c = [](int64_t v) { return geometry::canvasCoordinate(v); };
    return {c(l - frame), c(t - frame), c(r + frame), c(b + frame)};
}

bool pictureMayBeTransparent(const item_t* item, const model::itemList_t& document)
{
    const item_t* record = pictureDataOf(item, document);
    if (!record || !record->stream) return false;
    const int32_t format = effectivePictureFormat(record->pictureFormat(), record->stream->data(), record->stream->size());
    return format == model::picturePng || format == model::pictureSvg || format == model::pictureWebp ||
           format == model::pictureTiff;
}

void dropPictureCache(const item_t* item)
{
    if (item) pictureCache().drop(item);
}

void dropAdjustedPicture(const item_t* item)
{
    if (item) pictureCache().drop(item, pictureStage_t::finished);
}

bool hasUnadjustedPicture(const item_t* item)
{
    return item && pictureCache().holds(item, pictureStage_t::unadjusted);
}

bool hasPictureCache(const item_t* item) { return item && pictureCache().holds(item, pictureStage_t::finished); }

} // namespace render
