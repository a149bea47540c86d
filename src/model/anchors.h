// Grid anchors as kept in memory: the ruler marker rectangle of each movable
// gridline at 100 % zoom. A gridline's position is recovered from the marker.
#pragma once

#include "model/item.h"

namespace model {

// Marker size and stem length in pixels; the settings own the real values,
// these are their defaults.
struct anchorMarker_t {
    int32_t width = 7;
    int32_t height = 7;
    int32_t stem = 4;
};

// Axis codes of the anchor entries in a document file.
constexpr int32_t anchorAxisX = 1;  // vertical gridline, kept in anchorsX
constexpr int32_t anchorAxisY = 2;  // horizontal gridline, kept in anchorsY

// Appends a vertical (X) or horizontal (Y) anchor at `position` document pixels.
anchorNode_t* addAnchorX(item_t* grid, int32_t position, const anchorMarker_t& m = {});
anchorNode_t* addAnchorY(item_t* grid, int32_t position, const anchorMarker_t& m = {});

// The gridline position an anchor marks.
inline int32_t anchorPositionX(const anchorNode_t* a, const anchorMarker_t& m = {})
{
    return static_cast<int32_t>(static_cast<int64_t>(a->left) + m.width / 2);
}
inline int32_t anchorPositionY(const anchorNode_t* a, const anchorMarker_t& m = {})
{
    return static_cast<int32_t>(static_cast<int64_t>(a->top) + m.height / 2);
}

} // namespace model
