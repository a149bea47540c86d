// The handles ("marks") of selected items: where each item type shows which
// handle codes on the canvas, the mark rectangles used for hit testing, and
// the manipulation mode a hit handle starts.
#pragma once

#include "canvas/modes.h"
#include "geometry/units.h"
#include "model/item.h"
#include "render/renderpass.h"

#include <Qt>

#include <cstdint>
#include <vector>

namespace canvas {

class TSandbox;

// Handle codes with a meaning of their own. Points of lines, texts, circles,
// ellipses, pies and arcs are 1..4; points of a shape's outline are −1, −2, …
// in list order.
constexpr int32_t handleMove = 7;          // the centre: moves the selection
constexpr int32_t handleRotate = 5;        // the rotation dot
constexpr int32_t handleGroupCentre = 3;   // a group handle's square
constexpr int32_t handleGroupRotate = 500; // a group handle's rotation dot
constexpr int32_t handleFirstPoint = 1;
constexpr int32_t handleLastPoint = 4;
// Corners and edges of a picture (a round clip has only the edges, on its circle).
constexpr int32_t handleTopLeft = 101;
constexpr int32_t handleTopRight = 102;
constexpr int32_t handleBottomRight = 103;
constexpr int32_t handleBottomLeft = 104;
constexpr int32_t handleTopEdge = 105;
constexpr int32_t handleRightEdge = 106;
constexpr int32_t handleBottomEdge = 107;
constexpr int32_t handleLeftEdge = 108;
// Middles of the sides of a square or rectangle, by the corners they join.
constexpr int32_t handleSide34 = 205;
constexpr int32_t handleSide23 = 206;
constexpr int32_t handleSide12 = 207;
constexpr int32_t handleSide41 = 208;

// What the handle positions depend on besides the item.
struct handleView_t {
    double zoom = 1.0;
    geometry::point_t origin;   // canvas pixel of the image's top-left, in zoomed pixels
    bool single = false;        // exactly one item is selected
    int32_t rotationDotDistance = 40;
};

// The marks of an item in drawing order, positions on the canvas; a rotation
// dot comes just before the square its arm starts under, so the square stays
// on top. Nothing for records that show no marks (hidden, being extended, not
// an item).
std::vector<render::markSpot_t> handleSpots(const model::item_t* item, const handleView_t& how);

// True when exactly one record is selected (isSelected).
bool singleSelection(model::itemList_t& list);

// The rectangle of a mark centred on `at`: x − w/2 … x + w/2 + 1 (halves
// truncated), inclusive on every edge for hit tests.
struct markRect_t {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool contains(geometry::point_t p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};
markRect_t markRect(geometry::point_t at, int32_t width, int32_t height);

// Whether a handle code takes part in hit tests.
bool isHitCode(int32_t code);

// The manipulation mode a handle of this item type starts, 0 for none.
modeCode_t modeForHandle(int32_t itemType, int32_t code);
// The handle code a mode works with: circles use 1 for all four rim handles,
// ellipses 1 for both ends of the first axis and 2 for the other axis.
int32_t normalizedHandleCode(int32_t mode, int32_t code);

struct handleHit_t {
    model::item_t* item = nullptr;  // none when nothing was hit
    int32_t code = 0;
    modeCode_t mode = modePointer;
    Qt::CursorShape cursor = Qt::ArrowCursor;
};

// The first mark of a selected item (list order, then mark order) whose
// rectangle holds `screen`.
handleHit_t hitTestHandles(model::itemList_t& list, geometry::point_t screen, const handleView_t& how,
                           int32_t markWidth, int32_t markHeight);
// The same for a document window.
handleHit_t hitTestHandles(TSandbox& window, geometry::point_t screen);

// The view's handle layout of a document window (zoom, origin, settings).
handleView_t handleViewOf(TSandbox& window);

} // namespace canvas
