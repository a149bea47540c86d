// What a drag of each handle does to each item type: stretching, resizing,
// rotating and reshaping, always computed from the reference geometry that
// beginEdit saved (refX1 … refY2, the saved point slots, rotationStart), so
// that every call gives the result for the current mouse position and a drag
// never accumulates rounding.
#pragma once

#include "geometry/units.h"
#include "model/item.h"

#include <functional>
#include <optional>
#include <utility>

namespace canvas {

struct dragInput_t {
    int32_t code = 0;                      // the handle, as the drag mode uses it
    geometry::point_t start, current;      // the mouse, document pixels
    geometry::point_t startScreen, currentScreen;  // the same on the canvas
    // Document pixel -> canvas pixel; the rotation angle is measured there.
    std::function<geometry::point_t(geometry::point_t)> toScreen;
    // A document position snapped to the gridlines (unchanged without snapping).
    std::function<geometry::point_t(geometry::point_t)> snap;
    // The window's zoom: a text's lines are measured at it when its box is fitted.
    double zoom = 1.0;
};

// A dotted guide from a constrained line end to the mouse (document pixels).
using dragGuide_t = std::optional<std::pair<geometry::point_t, geometry::point_t>>;

// The rotation angle of a drag about `pivot`: the turn from the press to the
// mouse, measured on the canvas.
double rotationAngle(const dragInput_t& in, geometry::point_t pivot);

// Reshapes one selected item (not a group handle) by the handle. Returns the
// guide to draw for a line end constrained by its preset direction.
dragGuide_t reshapeItem(model::item_t* item, const dragInput_t& in);

// Completes an item after the last call of a drag: pies and arcs and stars
// rebuilt from their first points, ellipses normalised, pictures scaled, and
// every point list's current points made its saved points.
void completeReshape(model::item_t* item, int32_t code);

} // namespace canvas
