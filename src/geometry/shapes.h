// The geometry of every drawable shape: what an item's point list holds, how
// outlines, centres and bounding boxes follow from it, how points turn, where
// the control points of smooth curves go, and how far a point lies from an
// outline (what hit-testing compares with its tolerance).
//
// Everything is in integer document pixels (or canvas pixels when the caller
// passes mapped points). Points placed at an angle and a distance always go
// through polarPoint (cosine and sine rounded separately, halves to even).
#pragma once

#include "geometry/rect.h"
#include "geometry/units.h"
#include "model/item.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace geometry {

// Four corners of a turned rectangle, in order around it.
using quadrangle_t = std::array<point_t, 4>;

constexpr int32_t minSides = 3;
constexpr int32_t maxSides = 1024000;
constexpr int32_t defaultHandleSize = 8;
// Half of the usual circle-to-Bézier constant 0.55228474.
constexpr double ellipseKappa = 0.27614237;

// --- point lists ---

// The i-th point (1-based); (0, 0) when the list is shorter.
point_t pointAt(const model::pointList_t& list, int32_t i);
int32_t pointCount(const model::pointList_t& list);
// The i-th node (1-based), or nullptr.
model::pointNode_t* nodeAt(const model::pointList_t& list, int32_t i);
// Copies every point and both control points into the saved fields.
void savePoints(model::pointList_t& list);
// Every point and control point := its saved value + (dx, dy).
void translatePoints(model::pointList_t& list, int32_t dx, int32_t dy);
// Frees every node.
void clearPoints(model::pointList_t& list);
// Appends p with its saved copy equal to itself (control points zero).
model::pointNode_t* appendPoint(model::pointList_t& list, point_t p);

// --- building point lists (each clears the list first) ---

void buildTriangle(point_t p1, point_t p2, point_t p3, model::pointList_t& list);
// P1, P2, then P2 and P1 each moved by the side turned a quarter turn counter-clockwise.
void buildSquare(point_t p1, point_t p2, model::pointList_t& list);
// P1, P2, P3 (already on the perpendicular through P2), P4 = P3 moved back along P1→P2.
void buildRectangle(point_t p1, point_t p2, point_t p3, model::pointList_t& list);
// Centre, rim point, and two more points built as for a square.
void buildCircle(point_t centre, point_t rim, model::pointList_t& list);
void buildEllipse(point_t c, point_t a, point_t b, model::pointList_t& list);
// Centre, V, then `sides` vertices (the last equals V). Nothing when sides is out of 3 … 1,024,000.
void buildRegularPolygon(point_t centre, point_t v, int32_t sides, model::pointList_t& list);
// Centre, V, then 2·sides vertices alternating between the radius of W and of V,
// starting with W's. Nothing when sides is out of 3 … 1,024,000.
void buildStar(point_t centre, point_t v, point_t w, int32_t sides, model::pointList_t& list);
// The outline vertices alone (what buildRegularPolygon / buildStar append after
// the centre and V), for drawing from points already mapped to the canvas.
// Empty when sides is out of range.
std::vector<point_t> regularPolygonVertices(point_t centre, point_t v, int32_t sides);
std::vector<point_t> starVertices(point_t centre, point_t v, point_t w, int32_t sides);
// Centre, S, and the end point on the circle through S in the direction of T.
void buildPieArc(point_t centre, point_t s, point_t t, model::pointList_t& list);

// Fills an item's point list for a type from the document points the tools
// place, in the order they place them: triangle P1 P2 P3; square P1 P2;
// rectangle P1 P2 P3; circle centre, rim; ellipse centre, axis end, width
// point; polygon centre, vertex; star centre, vertex, spike tip; pie and arc
// centre, start, end; spline and curve every point (a curve's control points
// follow its roundness and variant). False when the points make no item.
bool buildShapePoints(model::item_t* it, int32_t itemType, const std::vector<point_t>& docPoints, int32_t sides);

// --- lines, ellipses, arcs ---

struct projection_t {
    point_t foot;
    bool within = false;  // the foot lies on the segment A–B (inclusive)
};
// Foot of the perpendicular from P to the line A–B (near-vertical and
// near-horizontal lines are snapped to exactly vertical / horizontal).
projection_t projectOntoLine(point_t a, point_t b, point_t p);

// The second semi-axis of an ellipse: the distance from B to its foot on C–A.
double ellipseSecondAxis(point_t c, point_t a, point_t b);

struct ellipsePath_t {
    std::array<point_t, 13> points;  // start point, then 12 Bézier control/end points
    rect_t box;
};
ellipsePath_t ellipseBezier(point_t c, point_t a, point_t b);

struct arcSweep_t {
    double start = 0;  // radians, segmentAngle(C, S)
    double sweep = 0;  // radians, counter-clockwise, 0 … 2π
};
arcSweep_t arcSweep(point_t c, point_t s, point_t e);
// Number of outline samples of a sweep: one per 0.9°, at least 2.
int32_t arcSampleCount(double sweep);
// Outline of an arc (open polyline from S counter-clockwise to E); with `pie`
// the centre and S are appended so that it is a closed polygon.
std::vector<point_t> arcPoints(point_t c, point_t s, point_t e, bool pie = false);
rect_t arcBounds(point_t c, point_t s, point_t e);
// The point on the bisector of a pie (at 2/3 of the radius) or an arc (at the radius).
point_t arcCentre(int32_t itemType, point_t c, point_t s, point_t e);
point_t arcCentre(const model::item_t* item);

// --- boxes and centres ---

// The box of the two defining points (minima and maxima), its size and diagonal.
void boxFromDefiningPoints(model::item_t* it);

// The selection-mark size a shape's box leaves room for: the editor passes
// the size its settings draw the marks with.
struct handleSize_t {
    int32_t width = defaultHandleSize, height = defaultHandleSize;
};

// Recomputes a shape's defining points, box, sizes and stored doubles from its
// point list, padded by the largest of the pen width and half the handle size.
// Pictures get their box from their two points (see pictureBox).
void itemBounds(model::item_t* item, handleSize_t handles = {});
void itemBounds(model::item_t* item, int32_t handleWidth, int32_t handleHeight);
// Box, sizes, diagonal and angle of a line (also used for texts).
void lineGeometry(model::item_t* item);
// Box of a picture item: the two points' extent, or the circle around P1
// through P2 for a round clip; stored doubles follow.
void pictureBox(model::item_t* item);
// The pivot that moves and turns of the item use, from the saved points.
point_t rotationCentre(const model::item_t* item);

// --- turning ---

// Every point and both control points turned by δ about the pivot, from their saved copies.
void rotatePoints(model::pointList_t& list, point_t pivot, double delta);
// The two defining points turned by δ about the pivot, from refX1..refY2.
void rotateDefiningPoints(model::item_t* item, point_t pivot, double delta);
// Moves an item around the pivot without turning it (pictures, text boxes).
void revolveItem(model::item_t* item, point_t pivot, double delta);
// Puts point A of an ellipse on its longer axis.
void normalizeEllipse(model::item_t* item);

// --- curve control points (k is the item's roundness) ---

void smoothControlPoints(model::pointList_t& list, double k);
// A curve's control points from its points, its roundness and its variant
// (open ends, or closed through the last segment).
void curveControlPoints(model::item_t* curve);
void openCurveEnds(model::pointList_t& list, double k);
void closedCurveEnds(model::pointList_t& list, double k);

// --- outline distances ---

// |distance from the circle| for equal axes; otherwise the squared
// difference of the focal sums (0 on the outline).
int32_t ellipseDistance(point_t c, point_t a, point_t b, point_t p);
// Distance from a pie's radii and an arc's sampled outline; INT32_MAX when nothing was measured.
int32_t arcDistance(int32_t itemType, point_t c, point_t p, point_t e, point_t s);
// Distance from the chord approximating the Bézier segment node → next.
int32_t curveSegmentDistance(const model::pointNode_t& node, const model::pointNode_t& next, point_t p);

// Inside the turned rectangle of four corners (first side 1→2, third side 3→4).
bool pointInBand(point_t p, const quadrangle_t& quad);

} // namespace geometry
