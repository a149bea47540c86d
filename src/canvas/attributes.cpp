// Per-item follow-ups of attribute changes.
#include "canvas/attributes.h"

#include "geometry/lineends.h"

#include "canvas/creation.h"
#include "canvas/reshape.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "geometry/units.h"
#include "model/itemlist.h"
#include "render/text.h"
#include "settings/params.h"

#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

constexpr int32_t firstCustomPattern = 6;

// The point `r` away from `origin` at `degrees`; the four axis directions
// move exactly along their axis, away from any rounding of sine and cosine.
point_t pointAtDegrees(point_t origin, double degrees, double r)
{
    const int32_t d = model::roundHalfEven(r);
    if (degrees == 0.0) return {origin.x + d, origin.y};
    if (degrees == 90.0) return {origin.x, origin.y - d};
    if (degrees == 180.0) return {origin.x - d, origin.y};
    if (degrees == 270.0) return {origin.x, origin.y + d};
    return geometry::polarPoint(origin, degrees * std::numbers::pi / 180.0, r);
}

// The two ends of a segment of length `length` turned to `degrees` about `m`:
// the second end half the length ahead, the first the whole length behind it.
std::pair<point_t, point_t> turnedEnds(point_t m, double degrees, double length)
{
    const point_t second = pointAtDegrees(m, degrees, length / 2);
    double back = degrees - 180.0;
    if (back < 0) back += 360.0;
    return {pointAtDegrees(second, back, length), second};
}

point_t midpoint(const item_t* it)
{
    return {static_cast<int32_t>((int64_t(it->x1) + it->x2) / 2), static_cast<int32_t>((int64_t(it->y1) + it->y2) / 2)};
}

// Brings an angle into [0, 2π).
double wrapped(double a)
{
    a = std::fmod(a, 2 * std::numbers::pi);
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

} // namespace

uint8_t byteValue(int32_t value)
{
    return value >= 0 && value <= 255 ? static_cast<uint8_t>(value) : 0;
}

void makeSquareOrRectangle(item_t* it, int32_t itemType)
{
    if (geometry::pointCount(it->points) < 3) return;
    const point_t p1 = geometry::pointAt(it->points, 1), p2 = geometry::pointAt(it->points, 2),
                  p3 = geometry::pointAt(it->points, 3);
    const double a = geometry::segmentAngle(p1, p2);
    // The side of the first side the shape lies on.
    const double s = wrapped(geometry::segmentAngle(p2, p3) - a) <= std::numbers::pi ? 1.0 : -1.0;
    const double length = itemType == model::typeSquare ? geometry::distance(p1, p2) : geometry::distance(p2, p3);
    const double across = a + s * std::numbers::pi / 2;
    geometry::clearPoints(it->points);
    geometry::appendPoint(it->points, p1);
    geometry::appendPoint(it->points, p2);
    geometry::appendPoint(it->points, geometry::polarPoint(p2, across, length));
    geometry::appendPoint(it->points, geometry::polarPoint(p1, across, length));
    it->itemType = itemType;
    geometry::itemBounds(it, handleSize());
}

void makeCircleOrEllipse(item_t* it, int32_t itemType)
{
    if (geometry::pointCount(it->points) < 2) return;
    geometry::buildSquare(geometry::pointAt(it->points, 1), geometry::pointAt(it->points, 2), it->points);
    it->itemType = itemType;
    geometry::itemBounds(it, handleSize());
}

bool rebuildSides(item_t* it, int32_t sides)
{
    if (sides < geometry::minSides || sides > geometry::maxSides) return false;
    const point_t c = geometry::pointAt(it->points, 1), v = geometry::pointAt(it->points, 2);
    if (it->itemType == model::typeStar) {
        if (geometry::pointCount(it->points) < 3) return false;
        // The inner radius is the first vertex after the centre and the tip.
        geometry::buildStar(c, v, geometry::pointAt(it->points, 3), sides, it->points);
    } else {
        if (geometry::pointCount(it->points) < 2) return false;
        geometry::buildRegularPolygon(c, v, sides, it->points);
    }
    it->sides = sides;
    geometry::itemBounds(it, handleSize());
    return true;
}

void rebuildVariant(item_t* it, int32_t variant)
{
    it->shapeVariant = variant;
    if (it->itemType == model::typeCurve) geometry::curveControlPoints(it);
    geometry::itemBounds(it, handleSize());
}

void turnLine(item_t* it, double degrees)
{
    it->direction = degrees;
    if (degrees == -1.0) return;
    const auto [a, b] = turnedEnds(midpoint(it), degrees, it->diagonal);
    geometry::setLineEnds(it, a, b);
}

void turnText(item_t* it, int32_t degrees)
{
    it->textDirection = degrees;
    if (degrees == -1) return;
    // The base line's own length, whatever the box held before.
    const double length = geometry::distance({it->x1, it->y1}, {it->x2, it->y2});
    const auto [a, b] = turnedEnds(midpoint(it), degrees, length);
    render::setTextBaseline(it, a, b);
    it->textAngle = degrees * 10;
}

double directionOfPosition(int32_t position, const std::vector<int32_t>& rows)
{
    if (position < 1 || size_t(position) > rows.size()) return -1.0;
    const int32_t slot = rows[size_t(position - 1)];
    if (slot < 1 || slot > settings::presetRows) return -1.0;
    return params().customDirections[size_t(slot - 1)].value;
}

int32_t patternForPosition(model::itemList_t& list, int32_t position, const std::vector<int32_t>& rows)
{
    if (position < 0) return 0;
    if (position < firstCustomPattern) return position;
    const size_t k = size_t(position - firstCustomPattern);
    if (k >= rows.size() || rows[k] < 1 || rows[k] > settings::presetRows) return 0;
    return appendPatternRecord(list, params().customPatterns[size_t(rows[k] - 1)]);
}

} // namespace canvas
