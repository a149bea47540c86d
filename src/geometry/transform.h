// Mirror, flip and quarter turns of items and groups, and the area test that
// decides whether an item lies in or crosses a rectangle. These work on the
// item records only; the window-level commands wrap them in one history step
// and drop cached picture bitmaps.
#pragma once

#include "geometry/shapes.h"
#include "model/item.h"

namespace geometry {

// Turn: +1 a quarter turn counter-clockwise (left), -1 clockwise (right), 0 none.
// `handles`: the selection-mark size the shapes' new boxes leave room for.

// A point-list shape mirrored (x), flipped (y) or turned about its own centre:
// arcCentre for pies and arcs, the centre point of circles, ellipses, polygons
// and stars, the average point for the others.
void transformShape(model::item_t* item, bool mirror, bool flip, int32_t turn, handleSize_t handles = {});
// A picture's flip flags, orientation, clip and box for mirror, flip or a quarter turn.
void pictureTransform(model::item_t* item, bool mirror, bool flip, int32_t turn);
// Every selected item not in a group (shapes and pictures; texts and lines are
// left alone) and every selected group handle.
void transformSelection(model::itemList_t& list, bool mirror, bool flip, int32_t turn,
                        handleSize_t handles = {});

// Turns every selected member of the handle's group by δ about the handle.
void rotateGroup(model::itemList_t& list, const model::item_t* handle, double delta, handleSize_t handles = {});
// Mirrors / flips every selected member of the handle's group about the handle.
void mirrorGroup(model::itemList_t& list, const model::item_t* handle, bool mirror, bool flip,
                 handleSize_t handles = {});

// Whether the segments p1–p2 and q1–q2 meet (intersection rounded to integers,
// then tested against both segments' ranges, inclusive).
bool segmentsCross(point_t p1, point_t p2, point_t q1, point_t q2);

struct areaTest_t {
    bool crossing = false;   // also count items whose outline crosses the rectangle
    double zoom = 1.0;       // applied to the item's coordinates like docToScreen
    point_t origin{};
    // Texts: the band around the lines; pictures: the (turned, shadow-grown)
    // rectangle. Already in the rectangle's coordinates. Pictures fall back to
    // their box when none is given; texts without one count only by box and
    // defining segment.
    const quadrangle_t* outline = nullptr;
};
bool insideOrCrossing(const model::item_t* item, rect_t r, const areaTest_t& how = {});

} // namespace geometry
