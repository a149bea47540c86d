// Setting the two ends of a line-like item (a line, a text's base line):
// the defining points, then everything derived from them.
#pragma once

#include "geometry/units.h"
#include "model/item.h"

namespace geometry {

// Puts the item's ends at `a` and `b` (document pixels) and brings its line
// geometry and its millimetre copies up to date.
void setLineEnds(model::item_t* it, point_t a, point_t b);

} // namespace geometry
