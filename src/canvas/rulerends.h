// Dragging the ends of a ruler changes the page: the right (bottom) end its
// width (height), the left (top) end where the page begins.
#pragma once

#include <cstdint>

namespace canvas {

class TSandbox;
class interactionHost_t;

// Kinds of a ruler-end drag.
constexpr int32_t rulerDragNone = 0;
constexpr int32_t rulerDragRight = 4;
constexpr int32_t rulerDragBottom = 5;
constexpr int32_t rulerDragLeft = 6;
constexpr int32_t rulerDragTop = 7;

// How near (pixels) to a page edge the ruler offers to drag it.
constexpr int32_t rulerEndReach = 5;
// The page never becomes narrower or lower than this many canvas pixels.
constexpr int32_t smallestPage = 5;

class rulerEndDrag_t {
public:
    explicit rulerEndDrag_t(interactionHost_t& host);

    void press(bool vertical, int32_t pos);
    void move(bool vertical, int32_t pos, bool buttonHeld);
    void release(bool vertical, int32_t pos);
    int32_t kind() const { return kind_; }

private:
    // The drag kind a press at `pos` would start (none away from the ends).
    int32_t kindAt(bool vertical, int32_t pos) const;
    // The page extent the mouse gives during an end drag.
    int32_t extentAt(bool vertical, int32_t pos) const;

    interactionHost_t& h_;
    TSandbox& w_;
    int32_t kind_ = rulerDragNone;
    int32_t pressPos_ = 0;
};

} // namespace canvas
