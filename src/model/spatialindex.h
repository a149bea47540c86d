// A uniform grid over rectangles of a list's records, so that picking and
// area selection look only at the records near the mouse instead of walking
// a long list. What a record's rectangle is, is the caller's (a function
// given with every query); the grid only promises to return, in list order,
// every record whose rectangle meets the query rectangle, and records it has
// not filed yet.
//
// The grid follows the list through the list primitives: a record appended
// is filed at the next query (records that are selected or being extended
// stay unfiled, since the editor moves those in place; a new version of an
// edited record is appended, so a record once filed keeps its geometry), a
// record unlinked leaves it, and freeList, moveList and invalidateIds drop it
// (it is built again by one walk at the next query).
#pragma once

#include "model/item.h"

#include <cstdint>
#include <vector>

namespace model {

// A rectangle in document pixels, inclusive on all sides.
struct spatialRect_t {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const spatialRect_t&, const spatialRect_t&) = default;
};

// A record's rectangle; false when the record never takes part in the queries.
using spatialBoundsFn = bool (*)(const item_t* item, spatialRect_t& out);

// Every record whose rectangle meets `area`, with every record not filed
// yet, in list order. Builds the grid first when the list has none (or one
// made with another bounds function).
std::vector<item_t*> spatialQuery(itemList_t& list, spatialRect_t area, spatialBoundsFn bounds);

// Hooks of the list primitives; they do nothing while the list has no grid.
void spatialAppend(itemList_t& list, item_t* item);
void spatialUnlink(itemList_t& list, item_t* item);
void dropSpatialIndex(itemList_t& list);
// A record that is neither selected nor being extended was moved in place
// (a line following the shape it is glued to): it is filed again at the
// next query, keeping its place in list order.
void spatialRefile(itemList_t& list, item_t* item);

// True when every filed record is still where its rectangle says, and the
// grid knows every record of the list in list order (used by tests).
bool spatialIndexConsistent(itemList_t& list, spatialBoundsFn bounds);

} // namespace model
