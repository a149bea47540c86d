// Shaded "3-D" surfaces: the shading ramp that makes a band look round, and
// the renderers that draw a figure into a mask (outline blue, interior red)
// and pick each masked pixel's colour from a ramp row that depends on where
// the pixel lies: across a line's band or a rectangle's side, or by its
// distance from a highlight spot for round figures.
#pragma once

#include "model/item.h"
#include "render/surface.h"

#include <QPoint>

#include <array>
#include <string_view>
#include <cstdint>
#include <vector>

namespace render {

struct drawContext_t;

// How much a colour is brightened before shading: dark, grey colours most.
int32_t brightnessLift(int32_t colour, int32_t amount);

// The shading ramp: `length` rows (0x00BBGGRR) of the colour, brightest in
// the middle and falling to level / 255 of the lifted colour at the ends.
std::vector<int32_t> shadeRamp(int32_t length, int32_t level, int32_t colour);

// A ramp row brought into 0 … n − 1 (n added or taken away once, then limited).
int32_t wrapRow(int32_t row, int32_t n);

// Draws the item with its surface shaded (level = its surface value). False
// when the type has no shaded renderer, so that the caller draws it flat.
bool drawShaded(drawContext_t& ctx, const model::item_t* item, int32_t pen);

// One line of a text with its shaded surface: the glyphs drawn into a mask
// around the line's start `p` (canvas pixels) and coloured from the text
// colour's ramp across the line, from one descent below its baseline. False
// when nothing can be shaded (the caller draws the line flat).
bool drawShadedTextLine(canvas_t& canvas, const model::item_t* item, std::u16string_view line, QPoint p, double zoom,
                        int32_t lightDirection);

// One shaded dash of a line: the band `quad` (corner 1 → corner 2 its first
// long side) of width w, its interior (unless `interior` is false) and its
// outline and border strips of width b, shaded across the band in the line
// colour. False (nothing drawn) for bands too wide or too far out to shade.
bool drawShadedDash(canvas_t& canvas, const std::array<QPoint, 4>& quad, int32_t w, int32_t b, bool interior,
                    int32_t lineColor, double lineAngle, int32_t level, int32_t lightDirection);

} // namespace render
