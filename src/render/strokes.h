// How a line item is stroked: its band width at a zoom, its dash pattern in
// pixels, and the dash walk that cuts the band into filled rectangles.
#pragma once

#include "model/item.h"
#include "render/surface.h"

#include <array>
#include <cstdint>
#include <vector>

namespace render {

struct dpoint_t {
    double x = 0;
    double y = 0;
};

// Dash and space lengths in pixels, starting with a dash.
using pattern_t = std::vector<int32_t>;

// Length of the dash of a solid line: longer than any line.
constexpr int32_t solidDash = 2147483647;

// Built-in pattern indexes.
constexpr int32_t patternSolid = 0;
constexpr int32_t patternDot = 1;
constexpr int32_t patternDash = 2;
constexpr int32_t patternCenter = 3;
constexpr int32_t patternPhantom = 4;

int32_t lineBandWidth(const model::item_t* item, double zoom);

// The pattern unit a (pixels) of a line weight at a zoom.
int32_t patternUnit(double lineWeightMm, double zoom);
// One of the five built-in patterns for pattern unit a.
pattern_t builtinPattern(int32_t index, int32_t a);
// Lengths in millimetres of a stored pattern in pixels at a zoom.
pattern_t patternFromLengths(const double* mm, int32_t count, double zoom);
// The item's pattern in pixels: built-in, the document's pattern record, or solid.
pattern_t resolvePattern(const model::itemList_t& document, const model::item_t* item, double zoom);

struct stepResult_t {
    dpoint_t point;
    bool reachedEnd = false;
};
stepResult_t stepAlong(dpoint_t start, double distance, double angle, dpoint_t end);

std::array<QPoint, 4> bandQuad(dpoint_t p, dpoint_t q, double angle, int32_t width, bool oneSided);

// Line colours, widths and shading that a caller may override (output scale,
// effects off).
struct lineStyle_t {
    int32_t bandWidth = 1;     // W
    int32_t outlineWidth = 0;  // B
    int32_t surface = 0;       // > 0 with effects on
    int32_t lightDirection = 0;  // of the document, for shaded dashes
};
lineStyle_t lineStyleAt(const model::item_t* item, double zoom, bool effects);

// Strokes a line item from start to end (mapped points) with the given pattern.
void drawLine(canvas_t& canvas, const model::item_t* item, dpoint_t start, dpoint_t end,
              const lineStyle_t& style, const pattern_t& pattern);
// The same, resolving the pattern and widths at the zoom (effects on).
void drawLine(canvas_t& canvas, const model::itemList_t& document, const model::item_t* item,
              dpoint_t start, dpoint_t end, double zoom);

// The four border strips of width b inside a dash rectangle.
std::array<std::array<QPoint, 4>, 4> borderStrips(const std::array<QPoint, 4>& quad, int32_t b);

} // namespace render
