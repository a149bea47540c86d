// The grid of a document window: the menu choices, the mapping between the
// anchor strips and gridline positions, and every change of the gridlines as
// a new version of the grid record, so that Undo brings back the previous
// grid. Moving a gridline carries the items on it along.
#pragma once

#include "model/grid.h"
#include "model/item.h"

#include <cstdint>

namespace canvas {

class TSandbox;
class interactionHost_t;

class gridEditor_t {
public:
    explicit gridEditor_t(interactionHost_t& host);
    gridEditor_t(const gridEditor_t&) = delete;
    gridEditor_t& operator=(const gridEditor_t&) = delete;

    // The document's grid record (the visible version), none in a document without one.
    model::item_t* gridRecord() const;
    // The sorted gridlines of the grid record, built again after each change.
    const model::gridIndex_t& gridIndex() const;
    // A position along the anchor strip or ruler (view panel pixels) as a
    // gridline position, and a gridline's position on the strip.
    int32_t panelToGrid(int32_t panelPos, bool xAxis) const;
    int32_t gridToPanel(int32_t position, bool xAxis) const;

    // One change of the grid (a grid operation code with its position, where
    // it takes one) as one history step; false when nothing changed.
    bool editGrid(int32_t operation, int32_t position = 0);
    // The items with a coordinate on gridline `from` (within 2 document
    // pixels) move with it to `to`, as one history step. Without `repaint`
    // the caller repaints (the gridline's own move follows at once).
    void moveItemsWithGridline(bool xAxis, int32_t from, int32_t to, bool repaint = true);
    // The menu choices (none, horizontal, vertical, both) of the grid, the
    // anchors and snapping, and making the spacing equal again.
    void setGrid(int32_t choice);
    void setAnchors(int32_t choice);
    void setSnap(int32_t choice);
    void resetGrid(int32_t directions);
    // The page grew by a ruler end: gridlines up to the new edge, one step.
    void extendGrid(int32_t directions);
    // The page's left (top) edge moved by a ruler end: the gridlines keep
    // their places on the page.
    void shiftGrid(int32_t directions, int32_t delta);
    // After a page setup changed the page or the unit: the grid anchors are
    // laid out again for the new page.
    void gridAfterPageSetup();

private:
    interactionHost_t& h_;
    TSandbox& w_;
    mutable model::gridIndex_t gridIndex_;
};

} // namespace canvas
