// What an attribute change does to one item beyond storing the value: shapes
// that switch to a related type, a polygon's or star's sides, the variant of
// a spline or curve, a line or text turned to a direction, and the pattern
// record a custom line pattern is stored through. No window work here.
#pragma once

#include "model/item.h"

#include <cstdint>
#include <vector>

namespace canvas {

// A byte attribute (surface, shadow values): 0 … 255 as it is, anything else 0.
uint8_t byteValue(int32_t value);

// A square becomes a rectangle or the reverse: the first side and its
// orientation stay, the other sides take the first side's length for a
// square and the second side's length for a rectangle.
void makeSquareOrRectangle(model::item_t* it, int32_t itemType);
// A circle or ellipse rebuilt from its centre and first axis end: equal
// semi-axes, the first semi-axis as radius.
void makeCircleOrEllipse(model::item_t* it, int32_t itemType);
// A polygon or star with `sides` corners or spikes built from its centre,
// first vertex (and a star's inner point); false when the count is out of range.
bool rebuildSides(model::item_t* it, int32_t sides);
// An open, closed or filled spline or curve; a curve's control points follow.
void rebuildVariant(model::item_t* it, int32_t variant);

// A line turned about its midpoint to `degrees` (counter-clockwise on the
// screen), keeping its length; -1 stores "no direction" and leaves it.
void turnLine(model::item_t* it, double degrees);
// A text's base line turned about its midpoint to `degrees`; -1 only stores it.
void turnText(model::item_t* it, int32_t degrees);

// The degrees a position of the line direction list stands for: position 0
// is "no direction" (-1), position p the preset row in rows[p - 1]; a row
// outside 1 … 12 or a position past the list also gives -1.
double directionOfPosition(int32_t position, const std::vector<int32_t>& rows);

// The value `patternIndex` takes for a position of the pattern list:
// positions 0 … 5 are the built-in patterns; position p from 6 on appends a
// new pattern record copied from the preset row rows[p - 6] and gives its
// id; a position past the list (or a row outside 1 … 12) gives 0.
int32_t patternForPosition(model::itemList_t& list, int32_t position, const std::vector<int32_t>& rows);

} // namespace canvas
