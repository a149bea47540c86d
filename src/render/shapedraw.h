// The plain renderers of every item type on a canvas, and the mapping from
// document pixels they draw through (the window's zoom and view origin, or
// an output bitmap's scale and origin).
#pragma once

#include <QImage>

#include <functional>

#include "geometry/units.h"
#include "model/item.h"
#include "render/renderpass.h"
#include "render/surface.h"
#include "render/texthook.h"

#include <QPoint>
#include <vector>

namespace render {

// Document pixel (x, y) → (Round((x + ox) × sx) + dx, Round((y + oy) × sy) + dy),
// held within the canvas coordinate limit; widths and bands are computed at
// `widthZoom`. The document offset (ox, oy) moves a figure's points before
// they are mapped, as a shadow moves a copy of a point-list shape.
struct xform_t {
    double sx = 1, sy = 1;
    int32_t dx = 0, dy = 0;
    int32_t ox = 0, oy = 0;
    double widthZoom = 1;
    QPoint map(int32_t x, int32_t y) const;
    geometry::point_t mapPt(int32_t x, int32_t y) const;
};

xform_t screenXform(double zoom, geometry::point_t viewOrigin);

struct drawContext_t {
    canvas_t& canvas;
    const model::itemList_t& document;
    xform_t xf;
    bool effects = true;      // 3-D surfaces
    bool shadowOn = true;
    bool noEffects = false;
    bool quickDraw = false;
    bool showPictures = true;
    bool output = false;      // rendering for print or export
    const renderStyle_t& style;
    // Masks of shadows and shaded surfaces: the figure is drawn with its line
    // colour replaced by `maskLine` and a fill colour (≥ 0) by `maskFill`;
    // the fills −1 and −2 keep their meaning.
    bool masking = false;
    int32_t maskLine = 0;
    int32_t maskFill = 0;
    // The view's hand-over of pictures decoded in the background (see
    // renderView_t::pictureDecoded); null: pictures are decoded on the spot.
    const std::function<void(uint64_t, QImage)>* pictureDecoded = nullptr;
    // Texts drawn with other words (see texthook.h); null: as stored.
    const textSubstitute_t* substitute = nullptr;
};

// Draws one item with the context's switches (nothing for records that are
// never painted): its shadow first, then the item flat or with its surface.
void drawItemIn(drawContext_t& ctx, const model::item_t* item);

// The item's figure by the plain renderer of its type, with the context's
// mapping and mask colours (no shadow, no surface).
void drawPlainFigure(drawContext_t& ctx, const model::item_t* item, int32_t pen);

// The colours a renderer draws an item with under the context's masking.
int32_t figureLineColor(const drawContext_t& ctx, const model::item_t* item);
int32_t figureFillColor(const drawContext_t& ctx, const model::item_t* item);

// The i-th point (1-based) of the item, mapped; (0, 0) mapped when missing.
geometry::point_t mappedPointAt(const xform_t& xf, const model::item_t* item, int32_t i);

// Pen and brush for an outline with the fill rules: −1 clear at the pen
// width, −2 solid in the line colour with a 1-pixel outline, else the colour.
void applyFillRules(canvas_t& canvas, int32_t fill, int32_t lineColor, int32_t pen);

// The points of a closed polyline: the first point appended unless the last
// point already equals it.
std::vector<QPoint> closedPolyline(const std::vector<QPoint>& pts);

// Point-list renderer: 0 open polyline, 1 closed polyline, 2 filled polygon.
void drawPointList(canvas_t& canvas, const std::vector<QPoint>& pts, int32_t variant, int32_t pen, int32_t fill,
                   int32_t lineColor);

// Bézier chain of a curve's mapped points and control points.
struct curvePoint_t {
    QPoint p, c1, c2;
};
std::vector<QPoint> bezierChain(const std::vector<curvePoint_t>& pts, int32_t variant);
void drawCurve(canvas_t& canvas, const std::vector<curvePoint_t>& pts, int32_t variant, int32_t pen, int32_t fill,
               int32_t lineColor);

// Corners of a regular polygon (n sides) from centre and first vertex, and
// the 2n corners of a star, as canvas points; empty unless 3 ≤ n ≤ 1,024,000.
std::vector<QPoint> regularPolygonCorners(geometry::point_t c, geometry::point_t v, int32_t n);
std::vector<QPoint> starCorners(geometry::point_t c, geometry::point_t v, geometry::point_t w, int32_t n);

} // namespace render
