// Outline constructions the renderers need from the shape geometry (pie and
// arc polylines, the ellipse as a Bézier path). Kept here until the shared
// geometry module provides them under the same rules.
#pragma once

#include "geometry/units.h"

#include <vector>

namespace render::local {

std::vector<geometry::point_t> arcPoints(geometry::point_t c, geometry::point_t s, geometry::point_t e);
// 13 points: a start point and 12 control points of a closed cubic chain.
std::vector<geometry::point_t> ellipseBezier(geometry::point_t c, geometry::point_t a, geometry::point_t b);

} // namespace render::local
