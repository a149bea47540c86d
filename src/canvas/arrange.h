// Moving the selection as a whole without the mouse: the arrow keys' nudges,
// aligning the selected items to one another or to the page, spacing them
// equally, and duplicating them. A group always moves whole; each command is
// one history step.
#pragma once

#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/item.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace canvas {

// The edges and centre lines Arrange ▸ Align lines the items up by.
enum class alignEdge_t { left, centre, right, top, middle, bottom };

// One thing that moves as a whole: a group (every selected record of it, its
// handle included) or a single item, with the box of its visible members in
// document pixels (inclusive).
struct selectionUnit_t {
    std::vector<model::item_t*> records;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The extent of an item's figure in document pixels (inclusive): its points,
// the circle of a circle, the band of a text, the corners of a picture; the
// box without the room for marks where the figure gives no tighter one.
geometry::rect_t itemExtent(const model::item_t* item);

// The units of the selection in list order of their first record.
std::vector<selectionUnit_t> selectionUnits(model::itemList_t& list);

// Where each unit goes for an alignment to `target` (document pixels): the
// offset of each unit, in the units' order. `snap` (may be empty) moves the
// line the units are aligned to onto the grid.
using snapCoordinate_t = std::function<int32_t(int32_t value, bool xAxis)>;
std::vector<geometry::point_t> alignOffsets(const std::vector<selectionUnit_t>& units, alignEdge_t edge,
                                            const selectionUnit_t& target, const snapCoordinate_t& snap = {});

// Equal gaps between three or more units across (left to right) or down,
// the outermost two staying where they are; none for fewer units. With
// `snap` each moved unit's leading edge goes onto the grid.
std::vector<geometry::point_t> distributeOffsets(const std::vector<selectionUnit_t>& units, bool across,
                                                 const snapCoordinate_t& snap = {});

// The box of all units together.
selectionUnit_t unitsBox(const std::vector<selectionUnit_t>& units);

// Moves the units by their offsets as one history step (new versions of the
// whole selection, as every change of the selection makes). False, and no
// step, when no unit would move.
bool moveUnits(model::itemList_t& list, const std::vector<selectionUnit_t>& units,
               const std::vector<geometry::point_t>& offsets);

// Moves the new versions of a running change (made by model::beginEdit) by
// (dx, dy) from where the change began.
void translateVersions(const std::vector<model::item_t*>& versions, int32_t dx, int32_t dy);

// Duplicate: a copy of the selected items 10 pixels right and down, in front
// of everything and selected, as one history step; the program's clipboard
// is not touched. Returns the copies (none when nothing is selected).
std::vector<model::item_t*> duplicateSelection(model::itemList_t& list, geometry::handleSize_t handles);

} // namespace canvas
