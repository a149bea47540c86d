#include "render/renderpass.h"

#include "model/grid.h"

#include "model/history_index.h"
#include "model/itemlist.h"
#include "model/metrics.h"
#include "render/arrowheads.h"
#include "render/effects.h"
#include "render/parallel.h"
#include "render/picture.h"
#include "render/shapedraw.h"
#include "render/strokes.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace render {

using geometry::point_t;
using model::item_t;
using model::roundHalfEven;

QSize canvasImageSize(const item_t* header)
{
    if (!header) return QSize(1, 1);
    const auto& h = header->hdr();
    // The page from its corner: its origin on the sheet is not part of it.
    const int64_t w = std::llabs(int64_t(h.x2) - h.x1), hh = std::llabs(int64_t(h.y2) - h.y1);
    return QSize(int32_t(std::clamp<int64_t>(w, 1, maxCanvasSide)), int32_t(std::clamp<int64_t>(hh, 1, maxCanvasSide)));
}

double viewZoom(const renderView_t& view)
{
    const double z = view.items ? geometry::zoomFactor(model::findHeader(*view.items)) : 1.0;
    return std::isfinite(z) && z > 0 ? z : 1.0;
}

bool isDrawable(const item_t* item)
{
    return item->kind == model::kindItem && !item->hidden && !item->editing;
}

std::vector<item_t*> paintingOrder(const model::itemList_t& list)
{
    // For each z the first visible record in list order wins; sorting by
    // (z, list position) gives the same choice as asking for every z in turn.
    std::vector<std::pair<int32_t, item_t*>> byZ;
    for (item_t* it = list.head; it; it = it->next)
        if (it->kind == model::kindItem && !it->hidden && it->zOrder >= 1) byZ.emplace_back(it->zOrder, it);
    std::stable_sort(byZ.begin(), byZ.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<item_t*> order;
    order.reserve(byZ.size());
    for (size_t i = 0; i < byZ.size(); ++i) {
        if (i > 0 && byZ[i].first == byZ[i - 1].first) continue;
        if (!byZ[i].second->editing) order.push_back(byZ[i].second);
    }
    return order;
}

rect_t itemReach(const item_t* item, double zoom)
{
    const rect_t box{std::min(item->boxLeft, item->boxRight), std::min(item->boxTop, item->boxBottom),
                     std::max(item->boxLeft, item->boxRight), std::max(item->boxTop, item->boxBottom)};
    rect_t r = item->itemType == model::typePicture ? pictureReach(item, zoom) : box;
    if (item->itemType == model::typeLine || model::isShapeType(item->itemType)) {
        const int32_t g = geometry::weightPaddingPx(item->lineWeight);
        if (g > 1) r = r.grown(g);
        rect_t heads;
        if (headsBox(item, std::max(g, 1), heads)) r = r.united(heads);
    }
    if (item->shadowElevation != 0 && zoom > 0) {
        const int32_t spread = geometry::canvasCoordinate(static_cast<int64_t>(
                                   std::ceil(std::min(shadowSpreadPx(item, zoom) / zoom, 1e9))) + 1);
        r = r.united(box.grown(spread));
    }
    return r;
}

bool mayTouchImage(const renderView_t& view, const item_t* item)
{
    return mayTouchArea(view, item, view.Image1.rect());
}

namespace {

// Whether drawing the item through the transform can change a pixel of the
// area (see mayTouchImage); `zoom` scales the widths of pens and bands.
bool mayTouchAreaThrough(const item_t* item, const xform_t& xf, double zoom, const QRect& area)
{
    const bool line = item->itemType == model::typeLine, shape = model::isShapeType(item->itemType);
    // Pictures, drawn or outlined, stay within their reach (turn and frame included).
    const bool outlinedPicture = item->itemType == model::typePicture;
    if (!line && !shape && !outlinedPicture) return true;

    // The document rectangle the item's geometry lies in.
    int64_t l, t, r, b;
    auto around = [&](int64_t cx, int64_t cy, double radius) {
        const int64_t e = static_cast<int64_t>(std::min(std::ceil(radius), 1e10)) + 1;
        l = cx - e, r = cx + e, t = cy - e, b = cy + e;
    };
    const rect_t reach = itemReach(item, zoom);  // a shadow's spread included
    l = reach.left, t = reach.top, r = reach.right, b = reach.bottom;
    if (line && std::isfinite(item->angle) &&
        std::abs(item->angle - geometry::segmentAngle({item->x1, item->y1}, {item->x2, item->y2})) > 1e-9) {
        // The dash walk follows the stored angle for the length of the line.
        around(item->x1, item->y1, std::hypot(double(item->x2) - item->x1, double(item->y2) - item->y1));
        l = std::min<int64_t>(l, item->x2), r = std::max<int64_t>(r, item->x2);
        t = std::min<int64_t>(t, item->y2), b = std::max<int64_t>(b, item->y2);
    } else if (outlinedPicture && item->clipShape == 2) {
        around(item->x1, item->y1, std::hypot(double(item->x2) - item->x1, double(item->y2) - item->y1));
    } else if (outlinedPicture && item->rotation != 0) {
        // Turned about the middle of its box.
        around((int64_t(item->boxLeft) + item->boxRight) / 2, (int64_t(item->boxTop) + item->boxBottom) / 2,
               std::hypot(double(item->boxRight) - item->boxLeft, double(item->boxBottom) - item->boxTop) / 2 + 1);
    }
    auto clamp32 = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const QPoint a = xf.map(clamp32(l), clamp32(t)), c = xf.map(clamp32(r), clamp32(b));

    // Pens, bands, outlines and shading reach at most their width beyond the geometry.
    int64_t grow = std::max<int64_t>({geometry::penWidthAt(zoom, item->lineWeight), lineBandWidth(item, zoom),
                                      geometry::penWidthAt(zoom, item->outlineWeight), 1});
    grow += 3;  // rounding of mapped points and band corners
    return int64_t(std::min(a.x(), c.x())) - grow <= area.right() && int64_t(std::max(a.x(), c.x())) + grow >= area.left() &&
           int64_t(std::min(a.y(), c.y())) - grow <= area.bottom() && int64_t(std::max(a.y(), c.y())) + grow >= area.top();
}

} // namespace

bool mayTouchArea(const renderView_t& view, const item_t* item, const QRect& area)
{
    const double zoom = viewZoom(view);
    return mayTouchAreaThrough(item, screenXform(zoom, view.viewOrigin), zoom, area);
}

namespace {

drawContext_t contextFor(renderView_t& view, canvas_t& canvas, bool noEffects)
{
    static const model::itemList_t empty;
    drawContext_t ctx{canvas, view.items ? *view.items : empty, screenXform(viewZoom(view), view.viewOrigin),
                      true, true, noEffects, view.quickDraw, view.showPictures, false, view.style};
    ctx.effects = !noEffects && !view.quickDraw && view.show3D;
    ctx.shadowOn = !noEffects && !view.quickDraw && view.showShadows;
    if (view.pictureDecoded) ctx.pictureDecoded = &view.pictureDecoded;
    if (view.substituteText) ctx.substitute = &view.substituteText;
    return ctx;
}

void drawItemOn(renderView_t& view, canvas_t& canvas, item_t* item, bool noEffects)
{
    if (!isDrawable(item)) return;
    drawContext_t ctx = contextFor(view, canvas, noEffects);
    drawItemIn(ctx, item);
}

void paintBackgroundOn(renderView_t& view, canvas_t& canvas, rect_t rect)
{
    rect.left = std::clamp(rect.left, 0, maxCanvasSide);
    rect.right = std::clamp(rect.right, 0, maxCanvasSide);
    rect.top = std::clamp(rect.top, 0, maxCanvasSide);
    rect.bottom = std::clamp(rect.bottom, 0, maxCanvasSide);
    canvas.fillRect(rect.left, rect.top, rect.right, rect.bottom, view.style.canvasColor);

    const item_t* header = view.items ? model::findHeader(*view.items) : nullptr;
    if (!header) return;
    const auto& h = header->hdr();
    const int64_t d = std::abs(int64_t(h.designType));  // wide: the smallest int has no opposite
    if (d < 1 || d > 11) return;
    const double zoom = viewZoom(view);
    auto X = [&](double v) { return geometry::docToScreen(zoom, roundHalfEven(v * h.pxPerUnitX), view.viewOrigin.x); };
    auto Y = [&](double v) { return geometry::docToScreen(zoom, roundHalfEven(v * h.pxPerUnitY), view.viewOrigin.y); };
    auto line = [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        const QPoint pts[2] = {QPoint(x1, y1), QPoint(x2, y2)};
        canvas.polyline(pts, 2);
    };
    const int32_t guide = view.style.pageGuideColor;
    const bool cards = (d >= 2 && d <= 5) || d == 11;

    if (d == 1 || (d >= 6 && d <= 10)) {
        canvas.setPen(guide, 1, penStyle_t::dot);
        const int32_t L = X(h.marginLeft), T = Y(h.marginTop);
        const int32_t R = X(h.paperWidth - h.marginRight), B = Y(h.paperHeight - h.marginBottom);
        line(R, T, R, B);
        line(L, B, R, B);
        if (L > 0) line(L, T, L, B);
        if (T >= 1) line(L, T, R, T);
    }

    const double dw = cards ? h.cardWidth * (h.columnFold ? 2 : 1) : h.paperWidth;
    const double dh = cards ? h.cardHeight * (h.rowFold ? 2 : 1) : h.paperHeight;
    const int32_t right = X(dw), bottom = Y(dh), left = X(0), top = Y(0);
    canvas.setPen(guide, 1);
    line(right, top, right, bottom);
    line(left, bottom, right, bottom);

    if (cards && view.showFoldLines) {
        canvas.setPen(guide, 1, penStyle_t::dot);
        if (h.columnFold) line(X(h.cardWidth), top, X(h.cardWidth), bottom);
        if (h.rowFold) line(left, Y(h.cardHeight), right, Y(h.cardHeight));
    }
    if (d == 10) {
        canvas.setPen(guide, 1, penStyle_t::dot);
        // Each part rounded on its own, the sum held within the range (page values come from files).
        auto sum = [](double a, double b) {
            return static_cast<int32_t>(std::clamp<int64_t>(int64_t(roundHalfEven(a)) + roundHalfEven(b), INT32_MIN, INT32_MAX));
        };
        if (h.columnFold)
            for (int32_t k = 1; k < h.columns && k <= maxCanvasSide; ++k) {
                const int32_t x = geometry::docToScreen(
                    zoom, sum(k * h.cardWidth * h.pxPerUnitX, h.marginLeft * h.pxPerUnitX), view.viewOrigin.x);
                line(x, 0, x, bottom);
            }
        if (h.rowFold)
            for (int32_t k = 1; k < h.rows && k <= maxCanvasSide; ++k) {
                const int32_t y = geometry::docToScreen(
                    zoom, sum(k * h.cardHeight * h.pxPerUnitY, h.marginTop * h.pxPerUnitY), view.viewOrigin.y);
                line(0, y, right, y);
            }
    }
}

void drawGridlinesOn(renderView_t& view, canvas_t& canvas)
{
    if (!view.items) return;
    const item_t* header = model::findHeader(*view.items);
    const item_t* grid = model::findVisibleByType(*view.items, model::typeGrid);
    if (!header || !grid) return;
    const auto& h = header->hdr();
    if (!h.showGridX && !h.showGridY) return;
    const double zoom = viewZoom(view);
    canvas.setPen(view.style.gridlineColor, 1);
    // Wide arithmetic: the page and the anchors come from files and may be anywhere.
    auto clamped = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const int32_t pageW = clamped(std::abs(int64_t(h.x2) - h.x1)), pageH = clamped(std::abs(int64_t(h.y2) - h.y1));
    const int32_t px = model::pageOriginX(h), py = model::pageOriginY(h);
    // Only the gridlines over the image are drawn: a sorted walk of the
    // document range it shows.
    const QRect img(0, 0, canvas.width(), canvas.height());
    auto drawAxis = [&](bool xAxis) {
        model::gridAxisIndex_t index;
        index.build(xAxis ? grid->anchorsX : grid->anchorsY, xAxis);
        const int32_t origin = xAxis ? view.viewOrigin.x : view.viewOrigin.y;
        const int32_t extent = xAxis ? img.width() : img.height();
        const int32_t p = xAxis ? px : py;
        const int64_t from = int64_t(geometry::screenToDoc(zoom, 0, origin)) + p - 1;
        const int64_t to = int64_t(geometry::screenToDoc(zoom, extent, origin)) + p + 1;
        for (int32_t g : index.between(from, to)) {
            const int32_t at = geometry::docToScreen(zoom, model::gridToDoc(g, p), origin);
            if (at < 0 || at >= extent) continue;
            const QPoint pts[2] = {xAxis ? QPoint(at, 0) : QPoint(0, at), xAxis ? QPoint(at, pageH) : QPoint(pageW, at)};
            canvas.polyline(pts, 2);
        }
    };
    if (h.showGridX) drawAxis(true);
    if (h.showGridY) drawAxis(false);
}

// The items a pass over docRect draws, in painting order: those whose reach
// meets the rectangle (grown, with `grow`, by every item met so far) and
// that may touch the image. docRect comes back grown.
std::vector<item_t*> itemsToDraw(renderView_t& view, rect_t& docRect, bool skipSelected, bool grow)
{
    std::vector<item_t*> drawn;
    if (!view.items) return drawn;
    const double zoom = viewZoom(view);
    for (item_t* item : paintingOrder(*view.items)) {
        if (skipSelected && item->selected) continue;
        const rect_t reach = itemReach(item, zoom);
        if (!reach.meets(docRect)) continue;
        if (!view.skipUnseen || mayTouchImage(view, item)) drawn.push_back(item);
        if (!grow) continue;
        docRect.left = std::min(docRect.left, reach.left);
        docRect.top = std::min(docRect.top, reach.top);
        docRect.right = std::max(docRect.right, reach.right);
        docRect.bottom = std::max(docRect.bottom, reach.bottom);
    }
    return drawn;
}

rect_t drawItemsInRectOn(renderView_t& view, canvas_t& canvas, rect_t docRect, bool skipSelected, bool grow = true)
{
    drawGridlinesOn(view, canvas);
    for (item_t* item : itemsToDraw(view, docRect, skipSelected, grow)) drawItemOn(view, canvas, item, false);
    return docRect;
}

// The bands a whole-image pass is cut into now: one (the pass as on a
// single thread) when one thread is asked for, when the pass is recorded,
// or when the image is too small to share out.
std::vector<QRect> passBands(const renderView_t& view)
{
    if (view.recordTo) return {view.Image1.rect()};
    return imageBands(view.Image1.size(), renderThreads());
}

// Draws the items in order over the image, each band of it on a thread of
// its own. Items whose drawing is bounded are left out of the bands they
// cannot touch; the others (texts) are drawn in every band, held in by its
// clip. Every pixel depends only on the figures drawn over it in order, so
// the bands come out as one pass over the whole image would leave them.
// With `background`, each band first paints its rows of the background and
// the gridlines, so that the image's old pixels are neither read nor copied.
void drawInBands(renderView_t& view, const std::vector<QRect>& bands, const std::vector<item_t*>& items,
                 bool background = false)
{
    // Lazily found values of the list are found now, before threads read it.
    if (view.items) (void)model::findHeader(*view.items);
    paintInBands(
        view.Image1, bands,
        [&](QImage& image, const QRect& band) {
            canvas_t canvas(image);
            canvas.clipTo(band);
            if (background) {
                paintBackgroundOn(view, canvas, {band.left(), band.top(), band.right() + 1, band.bottom() + 1});
                drawGridlinesOn(view, canvas);
            }
            for (item_t* item : items)
                if (mayTouchArea(view, item, band)) drawItemOn(view, canvas, item, false);
        },
        background);
}

QRect clippedRect(const QImage& img, rect_t r, int32_t limit)
{
    auto lim = [&](int32_t v) { return std::clamp(v, 0, limit); };
    const int32_t l = lim(std::min(r.left, r.right)), rr = lim(std::max(r.left, r.right));
    const int32_t t = lim(std::min(r.top, r.bottom)), b = lim(std::max(r.top, r.bottom));
    return QRect(QPoint(l, t), QPoint(rr, b)).intersected(img.rect());
}

} // namespace

std::vector<QRect> effectBands(const renderView_t& view, const std::vector<QRect>& even, const std::vector<item_t*>& items)
{
    if (even.size() < 2 || view.quickDraw || !(view.showShadows || view.show3D)) return even;
    auto shadowed = [&](const item_t* item) { return view.showShadows && item->shadowElevation != 0; };
    auto shaded = [&](const item_t* item) { return view.show3D && item->surface >= 1; };
    if (std::none_of(items.begin(), items.end(), [&](const item_t* it) { return shadowed(it) || shaded(it); })) return even;
    // What a pixel costs, relative to filling it: drawn plain, under a
    // shadow's reach (blurred and multiplied), shaded (picked from a ramp).
    constexpr int64_t filledCost = 1, plainCost = 4, shadowCost = 12, surfaceCost = 24;
    const double zoom = viewZoom(view);
    const xform_t xf = screenXform(zoom, view.viewOrigin);
    const int32_t w = view.Image1.width(), h = view.Image1.height();
    std::vector<int64_t> change(size_t(h) + 1, 0);
    change[0] = int64_t(w) * filledCost;
    auto add = [&](const rect_t& r, int64_t weight) {
        const QPoint a = xf.map(r.left, r.top), c = xf.map(r.right, r.bottom);
        const int32_t top = std::clamp(std::min(a.y(), c.y()), 0, h), bottom = std::clamp(std::max(a.y(), c.y()) + 1, 0, h);
        const int64_t across = std::clamp<int64_t>(int64_t(std::min(std::max(a.x(), c.x()), w - 1)) -
                                                       std::max(std::min(a.x(), c.x()), 0) + 1, 0, w);
        if (top >= bottom || across == 0) return;
        change[size_t(top)] += weight * across;
        change[size_t(bottom)] -= weight * across;
    };
    for (const item_t* item : items) {
        const rect_t box{std::min(item->boxLeft, item->boxRight), std::min(item->boxTop, item->boxBottom),
                         std::max(item->boxLeft, item->boxRight), std::max(item->boxTop, item->boxBottom)};
        add(box, shaded(item) ? surfaceCost : plainCost);
        if (shadowed(item)) add(itemReach(item, zoom), shadowCost);
    }
    std::vector<int64_t> cost(static_cast<size_t>(h));
    int64_t running = 0;
    for (int32_t y = 0; y < h; ++y) cost[size_t(y)] = running += change[size_t(y)];
    return evenCostBands(w, cost, int32_t(even.size()));
}

void drawItem(renderView_t& view, item_t* item, bool noEffects)
{
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    drawItemOn(view, canvas, item, noEffects);
}

void paintBackground(renderView_t& view, rect_t rect)
{
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    paintBackgroundOn(view, canvas, rect);
}

void drawGridlines(renderView_t& view)
{
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    drawGridlinesOn(view, canvas);
}

rect_t drawItemsInRect(renderView_t& view, rect_t docRect, bool skipSelected)
{
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    return drawItemsInRectOn(view, canvas, docRect, skipSelected);
}

void drawItemsMeeting(renderView_t& view, rect_t docRect, bool skipSelected)
{
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    drawItemsInRectOn(view, canvas, docRect, skipSelected, false);
}

void repaintAll(renderView_t& view, bool runDeferred)
{
    const int32_t w = view.Image1.width(), h = view.Image1.height();
    {
        view.selectionUnder.valid = false;
        const double zoom = viewZoom(view);
        // One canvas pixel beyond the image on every side: an edge pixel may
        // round to the document pixel inside while showing the one outside.
        rect_t docRect{geometry::screenToDoc(zoom, -1, view.viewOrigin.x), geometry::screenToDoc(zoom, -1, view.viewOrigin.y),
                       geometry::screenToDoc(zoom, w, view.viewOrigin.x), geometry::screenToDoc(zoom, h, view.viewOrigin.y)};
        const std::vector<QRect> bands = passBands(view);
        if (bands.size() == 1) {
            canvas_t canvas(view.Image1);
            canvas.record(view.recordTo);
            paintBackgroundOn(view, canvas, {0, 0, w + 1, h + 1});
            drawItemsInRectOn(view, canvas, docRect, false);
        } else {
            const std::vector<item_t*> items = itemsToDraw(view, docRect, false, true);
            drawInBands(view, effectBands(view, bands, items), items, true);
        }
    }
    if (view.items)
        for (item_t* it = view.items->head; it; it = it->next)
            if (it->kind == model::kindItem) dropUnders(it);
    if (view.drawAnchors) view.drawAnchors(view);
    if (runDeferred && view.startDeferred) view.startDeferred(view);
}

QRect repaintArea(renderView_t& view, const QRect& area)
{
    bool shadows = false;
    if (view.items)
        for (const item_t* it = view.items->head; it && !shadows; it = it->next)
            shadows = isDrawable(it) && !it->hidden && it->shadowElevation != 0;
    if (shadows || area.isEmpty() || !view.items) {
        repaintAll(view, false);
        return view.Image1.rect();
    }
    const double z = viewZoom(view);
    const geometry::point_t o = view.viewOrigin;
    // One canvas pixel beyond the area on every side, as for the whole image.
    const rect_t d{geometry::screenToDoc(z, area.left() - 1, o.x), geometry::screenToDoc(z, area.top() - 1, o.y),
                   geometry::screenToDoc(z, area.right() + 1, o.x), geometry::screenToDoc(z, area.bottom() + 1, o.y)};
    // The items touching the rectangle are drawn whole: grow it by them first.
    rect_t grown = d;
    for (const item_t* it = view.items->head; it; it = it->next) {
        if (!isDrawable(it) || it->hidden) continue;
        const rect_t r = itemReach(it, z);
        if (r.meets(d)) grown = grown.united(r);
    }
    const rect_t screen{geometry::docToScreen(z, grown.left, o.x), geometry::docToScreen(z, grown.top, o.y),
                        geometry::docToScreen(z, grown.right, o.x) + 1, geometry::docToScreen(z, grown.bottom, o.y) + 1};
    paintBackground(view, screen);
    // A repaint of most of the image (a setter on a spread selection) is
    // shared out like a whole one; a small one (a drag, typing) stays here.
    const QRect painted =
        QRect(QPoint(screen.left, screen.top), QPoint(screen.right - 1, screen.bottom - 1)).intersected(view.Image1.rect());
    const std::vector<QRect> bands = 2 * painted.height() >= view.Image1.height() ? passBands(view) : std::vector<QRect>(1);
    if (bands.size() > 1) {
        {
            canvas_t canvas(view.Image1);
            drawGridlinesOn(view, canvas);
        }
        drawInBands(view, bands, itemsToDraw(view, grown, false, true));
    } else {
        drawItemsInRect(view, grown, false);
    }
    return painted;
}

namespace {

// What lies beneath a transparent picture shows through it, so the quick
// pass's outline and name of the picture are cleared to the background
// first; every item is drawn again over it in order, and the gridlines
// (drawn before any item) again over the whole image.
void clearUnderTransparentPictures(renderView_t& view, canvas_t& canvas, const std::vector<item_t*>& order)
{
    if (!view.showPictures) return;
    const double zoom = viewZoom(view);
    const xform_t xf = screenXform(zoom, view.viewOrigin);
    bool cleared = false;
    for (const item_t* item : order) {
        if (item->itemType != model::typePicture || !isDrawable(item)) continue;
        if (view.skipUnseen && !mayTouchImage(view, item)) continue;
        if (!pictureMayBeTransparent(item, *view.items)) continue;
        const rect_t reach = pictureReach(item, zoom);
        const QPoint a = xf.map(reach.left, reach.top), b = xf.map(reach.right, reach.bottom);
        paintBackgroundOn(view, canvas, {std::min(a.x(), b.x()) - 2, std::min(a.y(), b.y()) - 2,
                                         std::max(a.x(), b.x()) + 3, std::max(a.y(), b.y()) + 3});
        cleared = true;
    }
    if (cleared) drawGridlinesOn(view, canvas);
}

// The painting order's next index after `z`, for a pass that goes on after
// the document may have changed.
size_t indexAfter(const std::vector<item_t*>& order, int32_t z)
{
    return static_cast<size_t>(
        std::upper_bound(order.begin(), order.end(), z, [](int32_t v, const item_t* it) { return v < it->zOrder; }) -
        order.begin());
}

// The full-quality pass in bands on the threads while this thread waits (so
// no half drawn band is ever shown). A pass that lets events in as it goes
// draws the items in runs with events let in between: the first run is one
// item, and runs then grow or shrink so that events are let in about once per
// frame. Any other pass is one run.
void drawInRuns(renderView_t& view, std::vector<item_t*> order, const std::vector<QRect>& bands)
{
    constexpr qint64 runMilliseconds = 30;
    size_t i = 0, runLength = view.processEvents ? 1 : order.size();
    std::vector<item_t*> run;
    QElapsedTimer clock;
    while (i < order.size()) {
        run.clear();
        int32_t z = 0;
        while (i < order.size() && run.size() < runLength) {
            item_t* item = order[i++];
            z = item->zOrder;
            if (!view.skipUnseen || mayTouchImage(view, item)) run.push_back(item);
        }
        if (run.empty()) break;
        clock.start();
        drawInBands(view, effectBands(view, bands, run), run);
        if (!view.processEvents) continue;
        const qint64 took = clock.elapsed();
        if (took < runMilliseconds / 2) runLength *= 2;
        else if (took > 2 * runMilliseconds && runLength > 1) runLength /= 2;
        if (view.processEvents(view)) {
            order = paintingOrder(*view.items);
            i = indexAfter(order, z);
        }
    }
}

} // namespace

void fullQualityPass(renderView_t& view)
{
    if (!view.items) return;
    std::vector<item_t*> order = paintingOrder(*view.items);
    size_t i = 0;
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    clearUnderTransparentPictures(view, canvas, order);
    if (const std::vector<QRect> bands = passBands(view); bands.size() > 1) {
        canvas.release();
        drawInRuns(view, std::move(order), bands);
        return;
    }
    while (i < order.size()) {
        item_t* item = order[i++];
        const int32_t z = item->zOrder;
        if (view.skipUnseen && !mayTouchImage(view, item)) continue;
        drawItemOn(view, canvas, item, false);
        if (!view.processEvents) continue;
        canvas.release();
        if (view.processEvents(view)) {
            // The document may have changed: find the next item by z again.
            order = paintingOrder(*view.items);
            i = indexAfter(order, z);
        }
    }
}

bool setViewSwitches(renderView_t& view, bool showPictures, bool showShadows, bool show3D)
{
    if (view.showPictures == showPictures && view.showShadows == showShadows && view.show3D == show3D) return false;
    const bool threeDChanged = view.show3D != show3D;
    view.showPictures = showPictures;
    view.showShadows = showShadows;
    view.show3D = show3D;
    if (threeDChanged) {
        if (view.dropPictureCaches) view.dropPictureCaches(view);
        else if (view.items)
            for (item_t* it = view.items->head; it; it = it->next)
                if (it->itemType == model::typePicture) dropPictureCache(it);
    }
    repaintAll(view, true);
    return true;
}

void drawConstructionLine(renderView_t& view, point_t from, point_t to)
{
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    canvas.setPen(view.style.constructionPen, 1, penStyle_t::dot);
    canvas.setBrush(view.style.constructionBrush);
    const QPoint pts[2] = {QPoint(from.x, from.y), QPoint(to.x, to.y)};
    canvas.polyline(pts, 2);
}

void drawMarks(renderView_t& view)
{
    if (!view.items) return;
    // From the selection tables: a click on a long list walks no list.
    const std::vector<item_t*> selected = model::flaggedSelected(*view.items);
    for (item_t* it : selected)
        if (it->itemType != model::typeGroupHandle) drawItemMarks(view, it);
    for (item_t* it : selected)
        if (it->itemType == model::typeGroupHandle) drawItemMarks(view, it);
}

void drawItemMarks(renderView_t& view, item_t* item)
{
    if (!view.markPositions) return;
    for (const markSpot_t& m : view.markPositions(view, item)) {
        switch (m.kind) {
        case markSpot_t::handle: drawHandleSquare(view, item, m.code, m.at, false); break;
        case markSpot_t::groupHandle: drawHandleSquare(view, item, m.code, m.at, true); break;
        case markSpot_t::rotationDot: drawRotationDot(view, item, m.code, m.centre, m.at); break;
        }
    }
}

void drawHandleSquare(renderView_t& view, item_t* item, int32_t code, point_t at, bool group)
{
    const renderStyle_t& s = view.style;
    const int32_t l = at.x - s.handleWidth / 2, t = at.y - s.handleHeight / 2;
    const int32_t r = at.x + s.handleWidth / 2, b = at.y + s.handleHeight / 2;
    saveUnder(view, item, code, {l, t, r, b});
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    canvas.setPen(s.handleOutline, s.handlePen);
    const QPoint outline[5] = {QPoint(l, t), QPoint(r, t), QPoint(r, b), QPoint(l, b), QPoint(l, t)};
    canvas.polyline(outline, 5);
    const int32_t pw = s.handlePen;
    canvas.fillRect(l + pw / 2 + 1, t + pw / 2 + 1, r - pw / 2, b - pw / 2, group ? s.groupHandleColor : s.itemHandleColor);
}

void drawRotationDot(renderView_t& view, item_t* item, int32_t code, point_t centre, point_t dot)
{
    const renderStyle_t& s = view.style;
    const int32_t hw = s.handleWidth / 2, hh = s.handleHeight / 2;
    saveUnder(view, item, code,
              {std::min(centre.x, dot.x - hw) - 1, std::min(centre.y, dot.y - hh) - 1, std::max(centre.x, dot.x + hw) + 1,
               std::max(centre.y, dot.y + hh) + 1});
    canvas_t canvas(view.Image1);
    canvas.record(view.recordTo);
    canvas.setPen(s.handleOutline, 1, penStyle_t::dot);
    const QPoint arm[2] = {QPoint(centre.x, centre.y), QPoint(dot.x, dot.y)};
    canvas.polyline(arm, 2);
    canvas.setPen(s.handleOutline, 1);
    canvas.setBrush(s.rotationDotColor);
    canvas.ellipse(dot.x - hw, dot.y - hh, dot.x + hw, dot.y + hh);
}

void saveUnder(renderView_t& view, item_t* item, int32_t code, rect_t rect)
{
    const QRect r = clippedRect(view.Image1, rect, INT32_MAX);
    auto* node = new model::markNode_t;
    node->code = code;
    node->left = r.left();
    node->top = r.top();
    node->right = r.right();
    node->bottom = r.bottom();
    node->savedWidth = r.isEmpty() ? 0 : r.width();
    node->savedHeight = r.isEmpty() ? 0 : r.height();
    node->saved.resize(static_cast<size_t>(node->savedWidth) * node->savedHeight);
    for (int32_t y = 0; y < node->savedHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(view.Image1.constScanLine(r.top() + y)) + r.left();
        std::copy(row, row + node->savedWidth, node->saved.begin() + static_cast<size_t>(y) * node->savedWidth);
    }
    model::appendNode(item->marks, node);
}

void restoreUnders(renderView_t& view, item_t* item)
{
    // Newest first, so that overlapping saves put back the oldest pixels last.
    for (model::markNode_t* n = item->marks.tail; n;) {
        model::markNode_t* prev = n->prev;
        if (n->code != keptUnderCode) {
            const int32_t w = std::min(n->savedWidth, view.Image1.width() - n->left);
            for (int32_t y = 0; y < n->savedHeight && n->top + y < view.Image1.height() && w > 0; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(view.Image1.scanLine(n->top + y)) + n->left;
                const auto src = n->saved.begin() + static_cast<size_t>(y) * n->savedWidth;
                std::copy(src, src + w, row);
            }
            model::unlinkNode(item->marks, n);
            delete n;
        }
        n = prev;
    }
}

void dropUnders(item_t* item) { model::freeNodes(item->marks); }

void saveArea(renderView_t& view, rect_t rect)
{
    const QRect r = clippedRect(view.Image1, rect, maxCanvasSide);
    view.selectionUnder.rect = r;
    view.selectionUnder.pixels = r.isEmpty() ? QImage() : view.Image1.copy(r);
    view.selectionUnder.valid = true;
}

void restoreArea(renderView_t& view)
{
    if (!view.selectionUnder.valid) return;
    if (!view.selectionUnder.pixels.isNull())
        copyRect(view.Image1, view.selectionUnder.rect.topLeft(), view.selectionUnder.pixels,
                 view.selectionUnder.pixels.rect());
    view.selectionUnder.valid = false;
}

namespace {

// A rough cost of drawing each row of a bitmap: its width (filling it) and
// a few times the width of every item's box across it. Only for sharing the
// rows out; what a band draws does not depend on it.
std::vector<int64_t> drawingCostByRow(QSize size, const std::vector<item_t*>& items, const xform_t& xf)
{
    constexpr int64_t drawnToFilled = 4;
    const int32_t w = std::max(size.width(), 0), h = std::max(size.height(), 0);
    std::vector<int64_t> change(size_t(h) + 1, 0);
    change[0] = w;
    for (const item_t* item : items) {
        if (!isDrawable(item)) continue;
        const QPoint a = xf.map(item->boxLeft, item->boxTop), c = xf.map(item->boxRight, item->boxBottom);
        const int32_t top = std::clamp(std::min(a.y(), c.y()), 0, h), bottom = std::clamp(std::max(a.y(), c.y()) + 1, 0, h);
        const int64_t across = std::clamp<int64_t>(std::abs(int64_t(c.x()) - a.x()) + 1, 1, w);
        if (top >= bottom) continue;
        change[size_t(top)] += drawnToFilled * across;
        change[size_t(bottom)] -= drawnToFilled * across;
    }
    std::vector<int64_t> cost(static_cast<size_t>(h));
    int64_t running = 0;
    for (int32_t y = 0; y < h; ++y) cost[size_t(y)] = running += change[size_t(y)];
    return cost;
}

void renderItemOn(canvas_t& canvas, const model::itemList_t& document, item_t* item, QPoint origin, double scaleX,
                  double scaleY, const textSubstitute_t* substitute)
{
    static const renderStyle_t style;
    xform_t xf;
    xf.sx = scaleX;
    xf.sy = scaleY;
    xf.dx = origin.x();
    xf.dy = origin.y();
    xf.widthZoom = scaleY;
    drawContext_t ctx{canvas, document, xf, true, true, false, false, true, true, style};
    ctx.substitute = substitute;
    drawItemIn(ctx, item);
}

} // namespace

void renderItemToBitmap(QImage& bitmap, const model::itemList_t& document, item_t* item, QPoint origin, double scaleX,
                        double scaleY, const textSubstitute_t* substitute)
{
    if (!isDrawable(item)) return;
    canvas_t canvas(bitmap);
    renderItemOn(canvas, document, item, origin, scaleX, scaleY, substitute);
}

void renderItemsToBitmap(QImage& bitmap, const model::itemList_t& document, const std::vector<item_t*>& items,
                         QPoint origin, double scaleX, double scaleY, std::optional<QRgb> ground)
{
    xform_t xf;
    xf.sx = scaleX;
    xf.sy = scaleY;
    xf.dx = origin.x();
    xf.dy = origin.y();
    xf.widthZoom = scaleY;
    const int32_t threads = renderThreads();
    const std::vector<QRect> bands =
        threads > 1 ? evenCostBands(bitmap.width(), drawingCostByRow(bitmap.size(), items, xf), threads)
                    : std::vector<QRect>{bitmap.rect()};
    if (bands.size() == 1) {
        if (ground) bitmap.fill(*ground);
        for (item_t* item : items) renderItemToBitmap(bitmap, document, item, origin, scaleX, scaleY);
        return;
    }
    const bool sameScales = scaleX == scaleY;
    (void)model::findHeader(document);
    paintInBands(
        bitmap, bands,
        [&](QImage& image, const QRect& band) {
            if (ground)
                for (int32_t y = band.top(); y <= band.bottom(); ++y) {
                    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                    std::fill(row, row + image.width(), *ground);
                }
            for (item_t* item : items) {
                if (!isDrawable(item)) continue;
                // A shadow's reach on a device, and pens under unequal scales
                // across and down, are not bounded here: drawn in every band.
                if (sameScales && item->shadowElevation == 0 && !mayTouchAreaThrough(item, xf, scaleY, band)) continue;
                canvas_t canvas(image);
                canvas.clipTo(band);
                renderItemOn(canvas, document, item, origin, scaleX, scaleY, nullptr);
            }
        },
        ground.has_value());
}

void renderItemToDevice(QPainter& painter, QRect bounds, layerStore_t* layers, const model::itemList_t& document,
                        item_t* item, QPoint origin, double scaleX, double scaleY, const textSubstitute_t* substitute)
{
    if (!isDrawable(item)) return;
    canvas_t canvas(painter, bounds, layers);
    renderItemOn(canvas, document, item, origin, scaleX, scaleY, substitute);
}

} // namespace render
