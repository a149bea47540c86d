// The one rectangle of the engine: integer edges in document or canvas pixels,
// with the few operations repaints, picking and boxes share. The operations
// take every edge as inclusive; a function that treats right and bottom as
// just outside says so.
#pragma once

#include "geometry/units.h"

#include <algorithm>
#include <cstdint>
#include <iosfwd>

namespace geometry {

// Integer results of coordinate arithmetic are limited to the 32-bit range
// (positions read from a file may be anywhere in it).
inline int32_t clampToInt32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

struct rect_t {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    friend bool operator==(const rect_t&, const rect_t&) = default;

    // Every edge moved outwards by `by` (inwards when negative), clamped to
    // the 32-bit range.
    rect_t grown(int32_t by) const
    {
        return {clampToInt32(int64_t(left) - by), clampToInt32(int64_t(top) - by), clampToInt32(int64_t(right) + by),
                clampToInt32(int64_t(bottom) + by)};
    }
    // The smallest rectangle holding both.
    rect_t united(const rect_t& o) const
    {
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    // The common part; empty (right < left or bottom < top) when they miss.
    rect_t intersected(const rect_t& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    bool isEmpty() const { return right < left || bottom < top; }
    // Whether the two share at least one pixel (edges inclusive).
    bool meets(const rect_t& o) const { return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom; }
    bool contains(point_t p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// Readable test failures: "[left, top – right, bottom]".
void PrintTo(const rect_t& r, std::ostream* os);
void PrintTo(const point_t& p, std::ostream* os);

} // namespace geometry
