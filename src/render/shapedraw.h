// The plain renderers of every item type on a canvas, and the mapping from
// document pixels they draw through (the window's zoom and view origin, or
// an output bitmap's scale and origin).
#pragma once

#include "geometry/units.h"
#include "model/item.h"
#include "render/renderpass.h"
#include "render/surface.h"

#include <QPoint>
#include <vector>

namespace render {

// Document pixel (x, y) → (Round(x × sx) + dx, Round(y × sy) + dy), held
// within the canvas coordinate limit; widths and bands are computed at
// `widthZoom`.
struct xform_t {
    double sx = 1, sy = 1;
    int32_t dx = 0, dy = 0;
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
};

// Draws one item with the context's switches (nothing for records that are
// never painted).
void drawItemIn(drawContext_t& ctx, const model::item_t* item);

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
