// Soft shadows: how far an item's shadow lies from it and how soft it is,
// the mask that holds its figure, the blur that softens the mask, and the
// multiply that lays it onto whatever is already painted. Drawn before the
// item, on the screen at the view's zoom or on an output bitmap at its scale.
#pragma once

#include "geometry/rect.h"
#include "model/item.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace render {

struct drawContext_t;

// The corner the light comes from (the document header's light direction).
constexpr int32_t lightUpperLeft = 0;
constexpr int32_t lightUpperRight = 1;
constexpr int32_t lightLowerLeft = 2;
constexpr int32_t lightLowerRight = 3;

// What a light direction means for shadows and shading: the signs of the
// shadow offset and of the highlight spot of radial shading, and the angles
// added to a line's (or rectangle's, or text's) direction for band shading.
struct lightSigns_t {
    int32_t shadowX, shadowY;
    int32_t spotX, spotY;
    double lineOffset;
    double textOffset;
};
const lightSigns_t& lightSigns(int32_t lightDirection);
// The document's light direction: the low byte of the header's field, any
// value outside 0 … 3 counting as 0.
int32_t lightDirectionOf(const model::itemList_t& document);

// Shadow offset in pixels: on the screen at the zoom, and on output at the
// vertical scale (rounded once, after scaling).
int32_t shadowOffsetPx(const model::item_t* item, double zoom);
int32_t shadowOffsetOutputPx(const model::item_t* item, double scaleY);
// shadowFade / 30 + 1, limited to 1 … 5.
double fadeFactor(const model::item_t* item);
// How far an item's effects reach beyond its outline at a zoom (canvas
// pixels); 0 without a shadow.
int32_t shadowReach(const model::item_t* item, double zoom);
// The farthest any pixel changed by the shadow lies from the outline at a
// zoom (canvas pixels): the offset, the pen and the whole blur kernel, whose
// faint tails still darken a pixel by one level. 0 without a shadow. Repaint
// areas grow by this, so no tail of a shadow is left behind.
int32_t shadowSpreadPx(const model::item_t* item, double zoom);
// The item's box (document pixels), grown by a picture frame's weight and,
// with a shadow, towards the two sides the shadow falls on.
geometry::rect_t effectRect(const model::item_t* item, int32_t lightDirection);

// Largest shadow mask drawn (pixels); a larger shadow (an item thousands of
// pixels across at a high zoom) is left out rather than take hundreds of
// megabytes.
constexpr int64_t maxShadowMaskPixels = int64_t(1) << 25;

// A single-channel shadow mask: 255 is no shadow, 0 black. Only `active`
// (possibly empty) holds values other than 255.
struct shadowMask_t {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> b;
    QRect active;
    uint8_t at(int32_t x, int32_t y) const { return b[size_t(y) * size_t(width) + size_t(x)]; }
};

// Shrinks the mask to max(w′, 6) × max(h′, 6) and enlarges it again with the
// cubic B-spline filter, w′ = Round(width × 10 / (fade + 10) / d); nothing
// unless w′ < width and h′ < height. The result equals the resampler's on
// the mask's channel; only the part that can differ from 255 is computed,
// and only rows firstRow … lastRow of the result (the others are left 255,
// and `active` takes in only these rows).
void blurShadowMask(shadowMask_t& mask, int32_t fade, double d, int32_t firstRow = 0, int32_t lastRow = INT32_MAX);

// The rows of a width × height mask that rows firstRow … lastRow of its blur
// read (those rows themselves when the mask is not blurred), as a first-last
// pair within the mask; first > last when no row is wanted.
std::pair<int32_t, int32_t> blurSourceRows(int32_t width, int32_t height, int32_t fade, double d, int32_t firstRow,
                                           int32_t lastRow);

// Every channel c of the image under the mask (at `topLeft`) becomes
// c × b / 255, rounded, where the mask's b is not 255.
void multiplyShadow(QImage& image, QPoint topLeft, const shadowMask_t& mask);

// The multiply as a layer for devices without pixels: black whose coverage is
// 255 - b over the mask's active part (null when it is empty).
QImage shadowLayer(const shadowMask_t& mask);

// Draws the item's shadow onto the context's canvas (nothing without one).
// Texts and pictures add their figure through drawShadowOf.
void drawShadow(drawContext_t& ctx, const model::item_t* item);

// The shadow of a figure the caller draws. `extent` is the figure's extent
// on the canvas (each side made at least 10 pixels); the mask is it grown by
// `margin` on every side. `figure` draws the figure, shifted by the light
// direction, into `maskCtx`, whose canvas holds the part of the mask around
// the shifted figure: its pixel (0, 0) is canvas pixel `drawTopLeft`, while
// the mask's own top-left corner is canvas pixel `maskTopLeft`. The context
// already carries the mask colours; `reach` says how far the figure's
// strokes stray outside its extent.
struct shadowGeometry_t {
    int32_t p = 0;      // offset in canvas pixels
    int32_t s = 0;      // offset in document pixels
    double f = 1;       // fade factor
    int32_t signX = 1, signY = 1;
};
using shadowFigure_t =
    std::function<void(drawContext_t& maskCtx, QPoint maskTopLeft, QPoint drawTopLeft, const shadowGeometry_t& g)>;
void drawShadowOf(drawContext_t& ctx, const model::item_t* item, QRect extent, int32_t margin, int32_t reach,
                  const shadowFigure_t& figure);
// p, s and f of the item in the context (screen or output form).
shadowGeometry_t shadowGeometry(const drawContext_t& ctx, const model::item_t* item);

} // namespace render
