// Turning the points a tool placed into a new item: the defaults of new lines
// and shapes from the settings, the point lists of every shape, the box and
// the history step. Points come in canvas pixels and are converted with the
// window's zoom and view origin.
#pragma once

#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/item.h"

#include <string_view>
#include <vector>

namespace settings {
class TParams;
struct custPatternRec_t;
}

namespace canvas {

// Where the new item goes and what it starts with.
struct creationContext_t {
    model::itemList_t& list;
    const settings::TParams& params;
    double zoom = 1.0;
    geometry::point_t viewOrigin;

    geometry::point_t toDoc(geometry::point_t screen) const;
};

// The end of a line from `start` towards `mouse` under a direction preset in
// degrees (negative: any direction, the mouse itself). Also tells whether the
// end kept the mouse's y (the guide then runs horizontally to the mouse).
struct constrainedEnd_t {
    geometry::point_t end;
    bool keptMouseY = false;
};
constrainedEnd_t constrainLineEnd(geometry::point_t start, geometry::point_t mouse, double directionDeg);

// Attributes of a new line or shape from the settings (colours, weights,
// pattern, fill, direction, sides, variant, roundness, shadow, surface).
// A custom pattern of a new line appends a pattern-definition record to
// `list` unless `list` is null (previews use solid instead).
// Appends a new pattern-definition record carrying a custom preset row; its id.
int32_t appendPatternRecord(model::itemList_t& list, const settings::custPatternRec_t& row);
void applyLineDefaults(model::item_t* it, const settings::TParams& p, model::itemList_t* list);
void applyShapeDefaults(model::item_t* it, const settings::TParams& p);
// The tool settings' arrowheads, for an item whose type and variant take them
// (lines take the line tool's, splines, curves and arcs the shape tool's).
void applyHeadDefaults(model::item_t* it, const settings::TParams& p);
// Attributes of a new text: size, colour, style bytes, weight, font name (32
// characters at most), character set, direction preset, shadow and surface.
void applyTextItemDefaults(model::item_t* it, const settings::TParams& p);

// The shape variant a tool gives its items: 2 for triangles, squares,
// rectangles, solids and oblongs; the spline or curve setting otherwise.
int32_t variantForType(int32_t itemType, const settings::TParams& p);

// Each creation is one history step (redo branch dropped, new action id, on
// top of the stack) and leaves nothing selected. None when the points cannot
// make the item (fewer than two points of a point-list shape, sides out of range).
model::item_t* createLine(const creationContext_t& ctx, geometry::point_t first, geometry::point_t end);
// Triangle, square, rectangle, spline, solid, curve, oblong from the placed points.
model::item_t* createFromRubber(const creationContext_t& ctx, int32_t itemType, int32_t variant,
                                const std::vector<geometry::point_t>& points);
model::item_t* createEllipse(const creationContext_t& ctx, geometry::point_t centre, geometry::point_t axisEnd,
                             geometry::point_t widthPoint);
// Circle and polygon (centre, point on the outline), star (centre, spike tip
// `point`, vertex `extra`), pie and arc (centre, end `point`, start `extra`).
model::item_t* createCentred(const creationContext_t& ctx, int32_t itemType, geometry::point_t centre,
                             geometry::point_t point, geometry::point_t extra);

// A new, empty text whose baseline runs from `first` to `end`, one history
// step, left as the only selected item. Without a direction preset the text
// angle follows first → end (0 when they coincide); with one, `end` is moved
// onto the preset direction (for a text started by typing `typed`, at that
// text's width from `first`), and the ends are swapped when the drag went
// the other way, so that the text still reads the preset way.
model::item_t* createText(const creationContext_t& ctx, geometry::point_t first, geometry::point_t end,
                          std::u16string_view typed);

// Fills an item's point list from document points as the tools pass them
// (also used for previews); it lives with the shape geometry so that the
// command-line tool builds its items the same way.
using geometry::buildShapePoints;

} // namespace canvas
