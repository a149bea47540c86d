// The geometry of arrowheads and their drawing by the stroke code: each head
// is worked out once in document pixels from the line's end, the direction
// it arrives from and the line weight, so that the drawing at any scale, the
// item's reach and picking all see the same figure.
#pragma once

#include "geometry/rect.h"
#include "geometry/units.h"
#include "model/arrowheads.h"
#include "model/item.h"
#include "render/strokes.h"

#include <vector>

namespace render {

struct drawContext_t;
struct xform_t;

// One end of an open path: its last point and a point it arrives from (the
// direction the head points along). `valid` false for a path too short to
// give a direction.
struct pathEnd_t {
    dpoint_t tip;
    dpoint_t from;
    bool valid = false;
};
struct pathEnds_t {
    pathEnd_t start, end;
};
// The two ends of an item that takes heads, in document pixels.
pathEnds_t pathEndsOf(const model::item_t* item);

// The length of a head of the size on a line of the weight, in document
// pixels: a multiple of the pen (two pixels at least), held to a sane range
// so that hostile weights never make a head larger than any page.
double headLength(double lineWeightMm, model::headSize_t size);
constexpr double headLengthLimit = 4000.0;

// One head's figure: `points` is an open polyline (open, bar) or a closed
// outline (filled, diamond); a circle is its centre and radius. `lineEnd` is
// where the path itself should stop so that its pen does not poke through
// the tip of a solid head.
struct headShape_t {
    model::headKind_t kind = model::headKind_t::none;
    std::vector<dpoint_t> points;
    dpoint_t centre;
    double radius = 0;
    dpoint_t lineEnd;
    bool atStart = false;  // the head of the path's start (else of its end)
    bool solid() const;
};
headShape_t headShape(model::headKind_t kind, const pathEnd_t& end, double length);

// The item's heads (none, one or two), in document pixels.
std::vector<headShape_t> headShapesOf(const model::item_t* item);

// The box of the item's heads, in document pixels grown by `grow`; empty
// (false) when the item has none.
bool headsBox(const model::item_t* item, int32_t grow, geometry::rect_t& out);

// The distance from a document point to the nearest head of the item (0 on
// a solid head, from the stroke otherwise); a large value without heads.
double headsDistance(const model::item_t* item, geometry::point_t p);

// Draws the item's heads through the context's mapping and colours, the
// strokes `pen` canvas pixels wide.
void drawHeads(drawContext_t& ctx, const model::item_t* item, int32_t pen);

// A head sample for the pick lists: a short horizontal line from x0 to x1 at
// y with the head at its right end (none: the bare line).
void drawHeadSample(canvas_t& canvas, int32_t x0, int32_t x1, int32_t y, model::headKind_t kind, int32_t colour);

} // namespace render
