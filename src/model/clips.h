// The clips of the picture window: rectangular and round outlines drawn on a
// picture before it is inserted. They live as records of the window's own
// item list (1003000 rectangle: two corners; 1003001 circle: centre and a rim
// point), so drawing, moving, resizing and erasing them are steps of the same
// undo history as the document's. Coordinates are pixels of the oriented
// (mirrored and turned) picture at full size; the view shows them at a zoom
// and a scroll offset. Also the picture's view state (mirror signs and
// quarter turn) and how the transforms move it and the clips together.
#pragma once

#include "geometry/units.h"
#include "model/item.h"

#include <array>
#include <cstdint>
#include <vector>

namespace model {

constexpr int32_t typeRectClip = typePictureWork;
constexpr int32_t typeRoundClip = typePictureRoundClip;

// Picture pixel <-> view pixel: round((view + scroll) ÷ zoom) and
// round(picture × zoom) − scroll, halves to even.
int32_t viewToPicture(int32_t view, int32_t scroll, double zoom);
int32_t pictureToView(int32_t picture, int32_t scroll, double zoom);

// The visible clips (neither superseded nor erased), in list order.
std::vector<item_t*> visibleClips(const itemList_t& clips);
bool isClip(const item_t* it);
bool isRoundClip(const item_t* it);
// A round clip's radius: the centre-to-rim distance rounded.
int32_t clipRadius(const item_t* clip);
// Corners sorted (rectangles) and the box (both kinds) from the points.
void normaliseClip(item_t* clip);
// A rectangle with both sides non-empty, a circle with a radius of at least 1.
bool usableClip(const item_t* clip);

// Draws a clip from `a` to `b` (corners, or centre and rim) as one step of
// the clip list; `zoom` is the zoom it was drawn at. The new clip becomes the
// only selected one.
item_t* addClip(itemList_t& clips, int32_t type, geometry::point_t a, geometry::point_t b, double zoom);

// The clip whose outline lies nearest to the view point `p`, when nearer than
// (markSize div 2) + 1 view pixels; a later clip wins only when strictly
// nearer. Null when none is near enough.
item_t* clipAt(const itemList_t& clips, geometry::point_t p, geometry::point_t scroll, double zoom, int32_t markSize);
// Distance in view pixels from `p` to the clip's outline; a rectangle's side
// counts only where the perpendicular from `p` meets it (a large value when
// no side does).
int32_t outlineDistance(const item_t* clip, geometry::point_t p, geometry::point_t scroll, double zoom);

// Handles: rectangle 0 centre, 1 top-left, 2 top-right, 3 bottom-right,
// 4 bottom-left, 5 top, 6 right, 7 bottom, 8 left; circle 0 centre, 1 top,
// 2 right, 3 bottom, 4 left. Positions in picture pixels.
constexpr int32_t noHandle = -1;
int32_t handleCount(const item_t* clip);
std::array<geometry::point_t, 9> clipHandles(const item_t* clip);
// The handle whose mark (markSize square in view pixels) holds `p`, or noHandle.
int32_t handleAt(const item_t* clip, geometry::point_t p, geometry::point_t scroll, double zoom, int32_t markSize);

// The cursor a handle shows.
enum class handleCursor_t { arrow, move, diagonalNwSe, diagonalNeSw, vertical, horizontal };
handleCursor_t cursorForHandle(const item_t* clip, int32_t handle);

// A handle drag applied to a clip version that beginEdit made (its reference
// points refX1..refY2 hold the points at the press): (dx, dy) in picture
// pixels moves the handle's corners or sides; a round clip's rim handles put
// the rim at `mouse` (picture pixels). The clip is re-normalised, so a side
// dragged past the opposite one turns the rectangle over.
void dragClipHandle(item_t* clip, int32_t handle, int32_t dx, int32_t dy, geometry::point_t mouse);

// Replaces the selected clip by a deletion marker (one step); false when no
// clip is selected.
bool eraseSelectedClip(itemList_t& clips);

// Rectangles with both sides non-empty and circles of radius 1 or more,
// counted by kind, for the summary.
struct clipCounts_t {
    int32_t rectangles = 0;
    int32_t rounds = 0;
};
clipCounts_t countClips(const itemList_t& clips);

// The picture's view state: mirror signs and quarter-turn angle (0, 90, 180,
// 270 or 360, the last drawn like 0).
struct pictureView_t {
    int32_t flipX = 1;
    int32_t flipY = 1;
    int32_t orientation = 0;
};
bool isSideways(int32_t orientation);

// The transforms move the view state and every clip record (all versions, so
// undoing a clip edit later stays in the same frame). W and H are the oriented
// picture's width and height before the transform, in picture pixels.
void mirrorPicture(pictureView_t& view, itemList_t& clips, int32_t width);
void flipPicture(pictureView_t& view, itemList_t& clips, int32_t height);
void rotatePictureRight(pictureView_t& view, itemList_t& clips, int32_t height);
void rotatePictureLeft(pictureView_t& view, itemList_t& clips, int32_t width);

// The stored source rectangle of the entire image shown w × h at `zoom`:
// 0, 0 and round(w ÷ zoom), round(h ÷ zoom), each made odd by taking 1 off
// an even value.
std::array<int32_t, 4> entireImageSource(int32_t width, int32_t height, double zoom);

} // namespace model
