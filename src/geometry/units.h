// Units, zoom and the mapping between document pixels and canvas pixels;
// the angle convention every shape shares; measures shown and typed.
#pragma once

#include "model/item.h"
#include "model/metrics.h"

#include <string>

namespace geometry {

using model::roundHalfEven;

struct point_t {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const point_t&, const point_t&) = default;
};

constexpr int32_t unitPixels = 1;
constexpr int32_t unitMillimetres = 2;
constexpr int32_t unitInches = 3;

// Zoom presets of the menu, in percent.
constexpr int32_t zoomPresets[] = {25, 50, 75, 100, 125, 150, 175, 200, 300};
// The preset whose percentage equals Round(zoom × 100), or -1.
int32_t zoomPresetIndex(double zoom);

// The window's zoom: the header's `zoom`, 1.0 without a header.
double zoomFactor(const model::item_t* header);

// Canvas coordinates are held within ±2^29 pixels, so that sums and
// differences of two of them (a centre and a radius, a point and a mark's
// half width) stay within 32 bits. Documents from files may place items
// anywhere; nothing this far out reaches a canvas of at most 1600 pixels.
constexpr int32_t canvasCoordinateLimit = 1 << 29;
inline int32_t canvasCoordinate(int64_t v)
{
    return static_cast<int32_t>(v < -canvasCoordinateLimit ? -canvasCoordinateLimit
                                                           : v > canvasCoordinateLimit ? canvasCoordinateLimit : v);
}

// Round(zoom × v) − origin, held within the canvas coordinate limit.
int32_t docToScreen(double zoom, int32_t v, int32_t origin);
int32_t screenToDoc(double zoom, int32_t s, int32_t origin);
point_t docToScreenPoint(double zoom, int32_t x, int32_t y, point_t viewOrigin);

// A length in millimetres (a line weight, a dash) as unrounded document
// pixels along one axis: the one conversion every pen width, padding, dash
// length and pick tolerance starts from.
enum class axis_t { x, y };
long double mmToPx(double mm, axis_t axis);
// The pen width of a line weight at a zoom: at least one zoomed pixel.
int32_t penWidthAt(double zoom, double weightMm);
// How far a weight's stroke reaches past an item's box, in document pixels.
int32_t weightPaddingPx(double weightMm);

double segmentAngle(point_t p1, point_t p2);
point_t polarPoint(point_t origin, double angle, double r);
double distance(point_t p, point_t q);

std::string formatMeasure(int32_t unit, double value);
// Reads a stored measure: blanks trimmed, an inch mark dropped, comma or point,
// or a fraction a/b. Returns false when it does not convert.
bool parseMeasure(const std::string& text, double& value);

// Document pixels per unit for this screen: 1 pixels, 2 millimetres, 3 inches.
void pxPerUnit(int32_t unit, double& x, double& y);
// Rebuilds the header's page rectangle in pixels at its zoom.
void computeCanvasPixels(model::item_t* header);

} // namespace geometry
