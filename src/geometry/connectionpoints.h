// Where lines may be glued to a shape and where its label sits: the shape's
// connection points (its outline's handles, then the middles of its sides)
// and its middle, both from its current points in document pixels.
#pragma once

#include "geometry/units.h"
#include "model/item.h"

#include <cstdint>
#include <vector>

namespace geometry {

// Outline vertices beyond this many give no connection points, so that a
// polygon of a million sides costs no more than an ordinary one.
constexpr int32_t connectionVertexLimit = 256;

// The connection points of a closed shape, in a fixed order for its type and
// point count, so that an index stays meaningful while the shape is moved,
// turned or resized: a triangle, square, rectangle, polygon, star or closed
// spline or curve lists its vertices, then the middle of each side (side k
// runs from vertex k to the next); a circle and an ellipse the four ends of
// their axes; a pie its centre, its two rim ends and the middle of its rim.
// Empty for everything else.
std::vector<point_t> connectionPoints(const model::item_t* item);

// Connection point `index`; false when the shape has no such point.
bool connectionPoint(const model::item_t* item, int32_t index, point_t& out);

// The point a label is centred on and a turn pivots about: the centroid of a
// triangle, the middle of a square's or rectangle's diagonal, the centre of
// circles, ellipses, polygons and stars, the middle of a pie's bisector, the
// mean point of splines and curves.
point_t shapeMiddle(const model::item_t* item);

// The direction the shape faces (radians): the angle of its first side, or of
// its centre to its first defining point. A turn changes it by the angle
// turned; a move leaves it.
double shapeFacing(const model::item_t* item);

} // namespace geometry
