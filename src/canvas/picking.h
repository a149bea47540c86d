// Choosing items with the mouse: the distance from a click to each item
// type's outline, the pick by click (nearest outline, front-most on a tie,
// Shift toggling, groups picked whole), selection by area, the pictures under
// a double click, and which side panel follows a selection.
#pragma once

#include "geometry/shapes.h"
#include "model/item.h"

#include <cstdint>
#include <limits>
#include <unordered_set>
#include <vector>

namespace canvas {

// No distance: the click is not beside the item's outline in the way the
// item type measures (a foot of the perpendicular off every segment, ...).
constexpr double noDistance = std::numeric_limits<double>::infinity();

// Whether the record takes part in picking and area selection: a visible
// text, line, shape or picture not being extended.
bool isPickable(const model::item_t* item);

// The four corners of a rectangular picture, turned by its rotation.
geometry::quadrangle_t pictureCorners(const model::item_t* item);

// How far a click at `p` (document pixels) lies from the item's outline by
// the rules of its type; noDistance when it does not count.
double pickDistance(const model::item_t* item, geometry::point_t p);

struct pickResult_t {
    model::item_t* item = nullptr;  // the candidate, none when nothing was near
    bool deselected = false;        // a Shift-click took the candidate out of the selection
    bool changed = false;           // some selection flag changed
};

// The click of the pointer: the item with the smallest distance below
// markWidth + 2 (the larger zOrder on a tie). Without Shift the selection
// becomes that item alone (or nothing); with Shift its selection is toggled.
// The other members of its group follow it. Marks are the caller's.
// When no outline is near, the front-most item the click lies inside is the
// candidate (itemHolds).
pickResult_t pickItem(model::itemList_t& list, geometry::point_t docPoint, bool shift, int32_t markWidth);

// Whether the point lies inside the item: the filled inside of a shape as it
// is drawn (open outlines and shapes without a fill have none), a picture's
// outline, a text's box.
bool itemHolds(const model::itemList_t& list, const model::item_t* item, geometry::point_t docPoint);

// Area selection. `kept` holds the items that were selected before the area
// began (Shift+Ctrl); they stay selected whatever the rectangle does. Every
// other pickable item is selected exactly while it lies inside the rectangle
// (document pixels, inclusive) or, with `partial`, while its outline also
// crosses one of the rectangle's sides. Returns the number of selected items
// and tells whether a flag changed.
struct areaSelection_t {
    std::unordered_set<const model::item_t*> kept;
};
int32_t selectInArea(model::itemList_t& list, geometry::rect_t docRect, bool partial, const areaSelection_t& area,
                     bool* changed = nullptr);

// The pickable records whose pick rectangle meets the document rectangle, in
// list order (the index's answer: the records near a point without a walk).
std::vector<model::item_t*> itemsNear(model::itemList_t& list, geometry::rect_t docArea);

// True when the grid that picking, area selection and pictureAt look items
// up in agrees with the items (used by tests).
bool pickIndexConsistent(model::itemList_t& list);

// The visible picture whose outline holds the point, front-most first; none.
model::item_t* pictureAt(model::itemList_t& list, geometry::point_t docPoint);

// All selected items, group handles aside, are of one type (splines and
// curves: all closed or filled, or all open). True for an empty selection.
bool isHomogeneous(model::itemList_t& list);

// The side panel for the current selection: the insert panel when nothing
// is selected, the multiple-selection panel for a mixture, else the panel of
// the type; panelNone leaves it unchanged.
int32_t panelForSelection(model::itemList_t& list);
// The panel of one item type (spline and curve by their variant), 0 for none.
int32_t panelForType(int32_t itemType, int32_t variant);

} // namespace canvas
