// A document's grid: the gridlines of the grid record (each movable,
// deletable and insertable on its own), where they lie on the page, and
// snapping positions to them. Pure arithmetic on the records, so that the
// rules can be checked without a window.
//
// A gridline's stored position g counts 100 % pixels from the origin of the
// page coordinates; it lies at document x = g - P, where P is the page's
// left (top) edge in 100 % pixels. Everything that puts a gridline on the
// screen (drawing, anchors, snapping) goes through gridToDoc, so that they
// always land on the same pixel.
#pragma once

#include "geometry/rect.h"
#include "geometry/units.h"
#include "model/anchors.h"
#include "model/item.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace model {

// Operations of editGrid, by the numbers the menus and strips use.
constexpr int32_t gridMoveX = 3;
constexpr int32_t gridMoveY = 4;
constexpr int32_t gridDeleteHot = 5;
constexpr int32_t gridInsertX = 6;
constexpr int32_t gridInsertY = 7;
constexpr int32_t gridResetX = 9;
constexpr int32_t gridResetY = 10;

// Directions as the menus give them (none, horizontal, vertical, both): the
// horizontal grid is the vertical gridlines (anchorsX).
constexpr int32_t gridHorizontal = 1;
constexpr int32_t gridVertical = 2;
constexpr int32_t gridBoth = 3;

// More gridlines than this in one direction are never generated: a page of
// absurd size or a density near zero must not stall the editor.
constexpr int32_t maxGeneratedGridlines = 20000;

// The page's left and top edges in 100 % pixels (P and its vertical twin).
int32_t pageOriginX(const headerBody_t& hd);
int32_t pageOriginY(const headerBody_t& hd);

// The document pixel of gridline position g for page origin p, and back.
inline int32_t gridToDoc(int32_t g, int32_t p) { return geometry::clampToInt32(int64_t(g) - p); }
inline int32_t docToGrid(int32_t doc, int32_t p) { return geometry::clampToInt32(int64_t(doc) + p); }

// The position of the k-th gridline of an equal spacing: k steps of the
// density from the page edge, each rounded on its own so that the spacing
// never drifts from the ruler's marks of the same unit.
int32_t evenGridPosition(int32_t origin, double stepPx, int64_t k);

// The live (not deleted) gridlines of one direction sorted by position, each
// with its place in the list, so that the nearest is found by a binary search.
class gridAxisIndex_t {
public:
    void build(const anchorList_t& anchors, bool xAxis);
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }
    // The position nearest to v; the first in list order on a tie.
    std::optional<int32_t> nearest(int64_t v) const;
    // Positions in [from, to], ascending.
    std::vector<int32_t> between(int64_t from, int64_t to) const;

private:
    struct entry_t {
        int32_t position;
        int32_t order;
    };
    std::vector<entry_t> entries_;
};

// Both directions of a grid record, remembering which version it was built from.
struct gridIndex_t {
    gridAxisIndex_t x, y;
    const item_t* source = nullptr;
    int32_t sourceStep = 0;
    const void* sourceEnds[4] = {};

    // Builds the index again unless it was built from this very record.
    void refresh(const item_t* grid);
};

// The snap of a mouse position: document pixels in, the canvas pixel out.
// Each coordinate snaps on its own to its nearest live gridline, however far
// away, when the header snaps that direction; otherwise it is only mapped.
geometry::point_t snapPoint(const headerBody_t& hd, const gridIndex_t& index, double zoom,
                            geometry::point_t doc, geometry::point_t viewOrigin);

// The fine snap after a curve is reshaped: a point takes its snapped
// coordinate only where that is closer than 7 % of the density.
void snapPointsNearGrid(const headerBody_t& hd, const gridIndex_t& index, pointList_t& points);

// The gridlines of a new document: equal spacing from the page edge, the
// first on the edge itself.
void addInitialGrid(item_t* grid, const headerBody_t& hd);

// Refills the directions with equal spacing one step from the page edge on.
void resetGrid(item_t* grid, const headerBody_t& hd, int32_t directions);

// A gridline to add: its direction and position.
struct gridlineAt_t {
    bool xAxis;
    int32_t position;
};

// The gridlines extendGrid would add, without adding them.
std::vector<gridlineAt_t> gridExtension(const item_t* grid, const headerBody_t& hd, int32_t directions);

// Adds gridlines at the density spacing up to the page's right (bottom)
// edge beyond the last one; returns how many were added.
int32_t extendGrid(item_t* grid, const headerBody_t& hd, int32_t directions);

// Shifts every gridline of the directions by delta, and further so that the
// first gridline of the list is not negative.
void shiftGrid(item_t* grid, int32_t directions, int32_t delta);

// Marks every hot gridline deleted; false when none was hot.
bool deleteHotGridlines(item_t* grid);

// The first hot anchor of a direction (none when none is hot).
anchorNode_t* hotAnchor(item_t* grid, bool xAxis);

// Moves an anchor's gridline to `position`, rebuilding its marker rectangle.
void moveAnchor(anchorNode_t* a, bool xAxis, int32_t position);

} // namespace model
