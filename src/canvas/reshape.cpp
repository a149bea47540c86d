#include "canvas/reshape.h"

#include "geometry/lineends.h"


#include "canvas/creation.h"
#include "canvas/handles.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/itemlist.h"
#include "render/picture.h"
#include "render/text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;
// Within this of level, a turned line or rectangle side becomes exactly level.
constexpr double levelSnapDegrees = 1.0;

point_t savedAt(const item_t* it, int32_t i)
{
    const model::pointNode_t* n = geometry::nodeAt(it->points, i);
    return n ? point_t{n->p.savedX, n->p.savedY} : point_t{};
}

void setAt(item_t* it, int32_t i, point_t p)
{
    if (model::pointNode_t* n = geometry::nodeAt(it->points, i)) {
        n->p.x = p.x;
        n->p.y = p.y;
    }
}

point_t moved(point_t p, const dragInput_t& in)
{
    using geometry::clampToInt32;
    return {clampToInt32(int64_t(p.x) + in.current.x - in.start.x), clampToInt32(int64_t(p.y) + in.current.y - in.start.y)};
}

double degrees(double radians)
{
    return radians * 180.0 / pi;
}

// An angle brought into [0, 2π).
double normalized(double a)
{
    a = std::fmod(a, twoPi);
    return a < 0 ? a + twoPi : a;
}

bool nearlyLevel(double radians)
{
    const double d = degrees(normalized(radians));
    return d < levelSnapDegrees || d > 360.0 - levelSnapDegrees;
}

// Which way the second side turns from the first: +1 counter-clockwise, −1 clockwise.
double turnSign(point_t a, point_t b, point_t c)
{
    double d = geometry::segmentAngle(b, c) - geometry::segmentAngle(a, b);
    d = std::remainder(d, twoPi);
    return d >= 0 ? 1.0 : -1.0;
}

void setTextAngle(item_t* it)
{
    if (it->itemType != model::typeText) return;
    int32_t tenths = model::roundHalfEven(degrees(geometry::segmentAngle({it->x1, it->y1}, {it->x2, it->y2})) * 10);
    tenths %= 3600;
    if (tenths < 0) tenths += 3600;
    it->textAngle = tenths;
}

// The preset direction of a line or text in degrees; negative for none.
double presetDirection(const item_t* it)
{
    return it->itemType == model::typeLine ? it->direction : double(it->textDirection);
}

int32_t wholeDegrees(double d)
{
    int32_t w = model::roundHalfEven(d) % 360;
    return w < 0 ? w + 360 : w;
}

dragGuide_t dragLineEnd(item_t* it, const dragInput_t& in)
{
    const bool second = in.code == 2;
    const point_t ref1{it->refX1, it->refY1}, ref2{it->refX2, it->refY2};
    const point_t fixed = second ? ref1 : ref2;
    const point_t candidate = in.snap(moved(second ? ref2 : ref1, in));
    const double preset = presetDirection(it);
    if (preset < 0) {
        if (second) geometry::setLineEnds(it, ref1, candidate);
        else geometry::setLineEnds(it, candidate, ref2);
        setTextAngle(it);
        return {};
    }
    // The end slides along the item's own line: from the fixed end the line
    // runs the preset way (or the opposite way when end 1 is dragged).
    const double along = second ? preset : std::fmod(preset + 180.0, 360.0);
    const point_t end = constrainLineEnd(fixed, candidate, along).end;
    const point_t e1 = second ? fixed : end, e2 = second ? end : fixed;
    // An end cannot be dragged past the other: it stays where it last was.
    if (e1 == e2 || wholeDegrees(degrees(geometry::segmentAngle(e1, e2))) != wholeDegrees(preset))
        return std::make_pair(point_t{second ? it->x2 : it->x1, second ? it->y2 : it->y1}, in.current);
    geometry::setLineEnds(it, e1, e2);
    setTextAngle(it);
    return std::make_pair(end, in.current);
}

void rotateLine(item_t* it, const dragInput_t& in)
{
    const point_t ref1{it->refX1, it->refY1}, ref2{it->refX2, it->refY2};
    const point_t pivot{int32_t((int64_t(ref1.x) + ref2.x) / 2), int32_t((int64_t(ref1.y) + ref2.y) / 2)};
    geometry::rotateDefiningPoints(it, pivot, rotationAngle(in, pivot));
    if (nearlyLevel(geometry::segmentAngle({it->x1, it->y1}, {it->x2, it->y2}))) {
        const double half = geometry::distance(ref1, ref2) / 2;
        geometry::setLineEnds(it, geometry::polarPoint(pivot, pi, half), geometry::polarPoint(pivot, 0, half));
    } else {
        geometry::setLineEnds(it, {it->x1, it->y1}, {it->x2, it->y2});
    }
    setTextAngle(it);
}

void rotateShape(item_t* it, const dragInput_t& in)
{
    const point_t pivot = geometry::rotationCentre(it);
    geometry::rotatePoints(it->points, pivot, rotationAngle(in, pivot));
    const bool boxy = it->itemType == model::typeSquare || it->itemType == model::typeRectangle;
    if (!boxy || geometry::pointCount(it->points) < 4) return;
    const point_t c1 = geometry::pointAt(it->points, 1);
    if (!nearlyLevel(geometry::segmentAngle(c1, geometry::pointAt(it->points, 2)))) return;
    // Exactly axis-aligned: corner 1 stays, each side keeps its length.
    const point_t s1 = savedAt(it, 1), s2 = savedAt(it, 2), s3 = savedAt(it, 3);
    const double side = turnSign(s1, s2, s3) * pi / 2;
    const double first = geometry::distance(s1, s2), second = geometry::distance(s2, s3);
    const point_t c2 = geometry::polarPoint(c1, 0, first);
    setAt(it, 2, c2);
    setAt(it, 3, geometry::polarPoint(c2, side, second));
    setAt(it, 4, geometry::polarPoint(c1, side, second));
}

void rotatePicture(item_t* it, const dragInput_t& in)
{
    const point_t pivot = it->clipShape == model::clipRound
                              ? point_t{it->refX1, it->refY1}
                              : point_t{int32_t((int64_t(it->refX1) + it->refX2) / 2),
                                        int32_t((int64_t(it->refY1) + it->refY2) / 2)};
    double r = it->rotationStart + rotationAngle(in, pivot);
    r = normalized(r);
    it->rotation = nearlyLevel(r) ? 0.0 : r;
    render::dropPictureCache(it);
}

// Corner 1, 2 of a square and the two corners that make it square.
void setSquare(item_t* it, point_t p1, point_t p2)
{
    const double a = geometry::segmentAngle(p1, p2) + pi / 2;
    const double d = geometry::distance(p1, p2);
    setAt(it, 1, p1);
    setAt(it, 2, p2);
    setAt(it, 3, geometry::polarPoint(p2, a, d));
    setAt(it, 4, geometry::polarPoint(p1, a, d));
}

void dragEllipse(item_t* it, const dragInput_t& in)
{
    const point_t c = savedAt(it, 1), a = savedAt(it, 2), b = savedAt(it, 3);
    if (in.code == 2) {
        setAt(it, 1, c);
        setAt(it, 2, a);
        setAt(it, 3, in.current);
        return;
    }
    const double d = geometry::distance(c, in.current);
    const double side = turnSign(c, a, b) >= 0 ? pi / 2 : -pi / 2;
    if (d < 2) {
        geometry::translatePoints(it->points, 0, 0);
    } else if (d < 16) {
        // Close to the centre the direction is unreliable: only the length changes.
        setAt(it, 2, geometry::polarPoint(c, geometry::segmentAngle(c, a), d));
        setAt(it, 3, b);
    } else {
        const double width = geometry::ellipseSecondAxis(c, a, b);
        setAt(it, 2, in.current);
        setAt(it, 3, geometry::polarPoint(c, geometry::segmentAngle(c, in.current) + side, width));
    }
}

void dragPieArc(item_t* it, const dragInput_t& in)
{
    const point_t c = savedAt(it, 1), s = savedAt(it, 2), e = savedAt(it, 3);
    const point_t m = in.current;
    if (in.code == 1) {
        const double r = geometry::distance(m, s);
        const double chord = geometry::distance(s, e);
        // The chord no longer fits the new circle: the item stays as it was.
        if (r <= 0 || chord / 2 > r) return;
        const double theta = 2 * std::asin(std::min(1.0, chord / (2 * r)));
        const double sweep = geometry::arcSweep(c, s, e).sweep < pi ? theta : twoPi - theta;
        setAt(it, 1, m);
        setAt(it, 2, s);
        setAt(it, 3, geometry::polarPoint(m, geometry::segmentAngle(m, s) + sweep, r));
    } else if (in.code == 2) {
        const double r = geometry::distance(c, m);
        setAt(it, 1, c);
        setAt(it, 2, m);
        setAt(it, 3, geometry::polarPoint(c, geometry::segmentAngle(c, e), r));
    } else if (in.code == 3) {
        const double r = geometry::distance(c, m);
        setAt(it, 1, c);
        setAt(it, 2, geometry::polarPoint(c, geometry::segmentAngle(c, s), r));
        setAt(it, 3, m);
    }
}

// Corner i of a square or rectangle (1..4) wrapped around.
int32_t cornerIndex(int32_t i)
{
    return ((i - 1) % 4 + 4) % 4 + 1;
}

void dragSquareCorner(item_t* it, int32_t i, point_t p)
{
    const int32_t opposite = cornerIndex(i + 2), next = cornerIndex(i + 1), last = cornerIndex(i + 3);
    const point_t o = savedAt(it, opposite);
    // The two corners beside the dragged one lie at ±45° from the diagonal.
    const double toNext = geometry::segmentAngle(o, savedAt(it, next)) - geometry::segmentAngle(o, savedAt(it, i));
    const double turn = std::remainder(toNext, twoPi) >= 0 ? pi / 4 : -pi / 4;
    const double diagonal = geometry::segmentAngle(o, p);
    const double side = geometry::distance(o, p) / std::numbers::sqrt2;
    geometry::translatePoints(it->points, 0, 0);
    setAt(it, i, p);
    setAt(it, next, geometry::polarPoint(o, diagonal + turn, side));
    setAt(it, last, geometry::polarPoint(o, diagonal - turn, side));
}

void dragRectangleCorner(item_t* it, int32_t i, point_t p)
{
    const int32_t opposite = cornerIndex(i + 2), next = cornerIndex(i + 1), last = cornerIndex(i + 3);
    const point_t o = savedAt(it, opposite), sn = savedAt(it, next), sl = savedAt(it, last);
    // The longer side keeps its direction; the other is made exactly perpendicular.
    double toNext = geometry::segmentAngle(o, sn), toLast = geometry::segmentAngle(o, sl);
    const double turn = std::remainder(toLast - toNext, twoPi) >= 0 ? pi / 2 : -pi / 2;
    if (geometry::distance(o, sn) >= geometry::distance(o, sl)) toLast = toNext + turn;
    else toNext = toLast - turn;
    const double dx = double(p.x) - o.x, dy = double(o.y) - p.y;  // y up, as segmentAngle measures
    auto along = [&](double a) { return dx * std::cos(a) + dy * std::sin(a); };
    geometry::translatePoints(it->points, 0, 0);
    setAt(it, i, p);
    setAt(it, next, geometry::polarPoint(o, toNext, along(toNext)));
    setAt(it, last, geometry::polarPoint(o, toLast, along(toLast)));
}

// A polygon's vertex i (the first is the point after the centre) is put on
// P; the whole regular polygon turns and scales with it.
void dragPolygonVertex(item_t* it, int32_t i, point_t p)
{
    const int32_t count = geometry::pointCount(it->points);
    const int32_t sides = count - 2;
    if (sides < geometry::minSides) return;
    const point_t c = savedAt(it, 1);
    const double r = geometry::distance(c, p);
    const double step = twoPi / sides;
    // Vertex k (1-based, k = 1 is V) lies (k − 1) steps from V.
    const double theta = geometry::segmentAngle(c, p) - (i - 1) * step;
    setAt(it, 1, c);
    for (int32_t k = 1; k <= count - 1; ++k) {
        const int32_t offset = (k - 1) % sides;
        setAt(it, k + 1, offset == (i - 1) % sides ? p : geometry::polarPoint(c, theta + offset * step, r));
    }
}

// A star turns about its centre by the dragged vertex's change of direction;
// the vertices of its kind take its new distance. Only V and the first
// generated vertex move during the drag; the list is rebuilt at the release.
void dragStarVertex(item_t* it, int32_t i, point_t p)
{
    const point_t c = savedAt(it, 1), v = savedAt(it, 2), w = savedAt(it, 3), dragged = savedAt(it, i + 1);
    const double delta = geometry::segmentAngle(c, p) - geometry::segmentAngle(c, dragged);
    const bool vKind = i % 2 != 0;
    const double rv = vKind ? geometry::distance(c, p) : geometry::distance(c, v);
    const double rw = vKind ? geometry::distance(c, w) : geometry::distance(c, p);
    geometry::translatePoints(it->points, 0, 0);
    setAt(it, 2, geometry::polarPoint(c, geometry::segmentAngle(c, v) + delta, rv));
    setAt(it, 3, geometry::polarPoint(c, geometry::segmentAngle(c, w) + delta, rw));
}

void dragShapePoint(item_t* it, const dragInput_t& in)
{
    const int32_t i = -in.code;
    const bool centred = it->itemType == model::typePolygon || it->itemType == model::typeStar;
    const int32_t index = centred ? i + 1 : i;
    if (index < 1 || index > geometry::pointCount(it->points)) return;
    const point_t p = in.snap(moved(savedAt(it, index), in));
    switch (it->itemType) {
    case model::typeSquare: dragSquareCorner(it, i, p); break;
    case model::typeRectangle: dragRectangleCorner(it, i, p); break;
    case model::typePolygon: dragPolygonVertex(it, i, p); break;
    case model::typeStar: dragStarVertex(it, i, p); break;
    case model::typeCurve:
        geometry::translatePoints(it->points, 0, 0);
        setAt(it, index, p);
        geometry::curveControlPoints(it);
        break;
    default:
        geometry::translatePoints(it->points, 0, 0);
        setAt(it, index, p);
        break;
    }
}

// A side of an upright square or rectangle (its first side runs to the right)
// moves perpendicular to itself; a square's two neighbouring sides then move
// outwards or inwards by half of that each, so that it stays a square.
void dragSide(item_t* it, const dragInput_t& in)
{
    const point_t s1 = savedAt(it, 1), s3 = savedAt(it, 3);
    point_t c[4] = {s1, savedAt(it, 2), s3, savedAt(it, 4)};
    const int32_t dx = in.current.x - in.start.x, dy = in.current.y - in.start.y;
    // Which way is out: from side 1-2 towards side 3-4, from side 4-1 towards side 2-3.
    const int32_t down = s3.y >= s1.y ? 1 : -1, right = s3.x >= s1.x ? 1 : -1;
    auto moveY = [&](int32_t a, int32_t b, int32_t by) { c[a].y += by, c[b].y += by; };
    auto moveX = [&](int32_t a, int32_t b, int32_t by) { c[a].x += by, c[b].x += by; };
    const bool square = it->itemType == model::typeSquare;
    switch (in.code) {
    case handleSide34:
    case handleSide12: {
        const bool far = in.code == handleSide34;
        if (far) moveY(2, 3, dy);
        else moveY(0, 1, dy);
        if (square) {
            const int32_t half = dy * (far ? down : -down) / 2;  // truncated toward zero
            moveX(1, 2, half * right);
            moveX(3, 0, -half * right);
        }
        break;
    }
    default: {
        const bool far = in.code == handleSide23;
        if (far) moveX(1, 2, dx);
        else moveX(3, 0, dx);
        if (square) {
            const int32_t half = dx * (far ? right : -right) / 2;
            moveY(2, 3, half * down);
            moveY(0, 1, -half * down);
        }
        break;
    }
    }
    geometry::translatePoints(it->points, 0, 0);
    for (int32_t k = 0; k < 4; ++k) setAt(it, k + 1, c[k]);
}

void dragPictureCorner(item_t* it, const dragInput_t& in)
{
    const int32_t dx = in.current.x - in.start.x, dy = in.current.y - in.start.y;
    const bool left = in.code == handleTopLeft || in.code == handleBottomLeft;
    const bool top = in.code == handleTopLeft || in.code == handleTopRight;
    if (it->rotation == 0.0) {
        it->x1 = it->refX1 + (left ? dx : 0);
        it->x2 = it->refX2 + (left ? 0 : dx);
        it->y1 = it->refY1 + (top ? dy : 0);
        it->y2 = it->refY2 + (top ? 0 : dy);
        return;
    }
    // The opposite corner stays where it shows on the canvas; the rectangle
    // is rebuilt around the new middle from the diagonal turned back.
    const point_t refCentre{int32_t((int64_t(it->refX1) + it->refX2) / 2), int32_t((int64_t(it->refY1) + it->refY2) / 2)};
    const point_t oppositeRef{left ? it->refX2 : it->refX1, top ? it->refY2 : it->refY1};
    const point_t o = geometry::polarPoint(refCentre, geometry::segmentAngle(refCentre, oppositeRef) + it->rotation,
                                           geometry::distance(refCentre, oppositeRef));
    const point_t m = in.current;
    const point_t centre{int32_t((int64_t(o.x) + m.x) / 2), int32_t((int64_t(o.y) + m.y) / 2)};
    const point_t back = geometry::polarPoint(centre, geometry::segmentAngle(centre, m) - it->rotation,
                                              geometry::distance(centre, m));
    const int32_t hx = back.x - centre.x, hy = back.y - centre.y;
    // The dragged corner is at +half, the opposite one at −half.
    const int32_t dragX = centre.x + hx, dragY = centre.y + hy, oppX = centre.x - hx, oppY = centre.y - hy;
    it->x1 = left ? dragX : oppX;
    it->x2 = left ? oppX : dragX;
    it->y1 = top ? dragY : oppY;
    it->y2 = top ? oppY : dragY;
}

void dragPictureEdge(item_t* it, const dragInput_t& in)
{
    const point_t m = in.current;
    if (it->clipShape == model::clipRound) {
        it->x1 = it->refX1;
        it->y1 = it->refY1;
        it->x2 = m.x;
        it->y2 = m.y;
        return;
    }
    const double srcW = double(it->srcRight) - it->srcLeft, srcH = double(it->srcBottom) - it->srcTop;
    it->x1 = it->refX1;
    it->y1 = it->refY1;
    it->x2 = it->refX2;
    it->y2 = it->refY2;
    if (in.code == handleTopEdge || in.code == handleBottomEdge) {
        (in.code == handleTopEdge ? it->y1 : it->y2) = m.y;
        if (srcH != 0) it->x2 = it->refX1 + model::roundHalfEven((double(it->y2) - it->y1) * srcW / srcH);
    } else {
        (in.code == handleLeftEdge ? it->x1 : it->x2) = m.x;
        if (srcW != 0) it->y2 = it->refY1 + model::roundHalfEven((double(it->x2) - it->x1) * srcH / srcW);
    }
}

void completePicture(item_t* it)
{
    if (it->clipShape == model::clipRound) {
        const double before = geometry::distance({it->refX1, it->refY1}, {it->refX2, it->refY2});
        const double after = geometry::distance({it->x1, it->y1}, {it->x2, it->y2});
        if (model::roundHalfEven(before) == 0 || model::roundHalfEven(after) == 0) {
            it->x2 = it->refX2;
            it->y2 = it->refY2;
        } else {
            it->scaleX *= after / before;
            it->scaleY *= after / before;
        }
    } else {
        const int32_t refW = std::abs(it->refX2 - it->refX1), refH = std::abs(it->refY2 - it->refY1);
        if (refW == 0 || refH == 0) {
            it->x1 = it->refX1;
            it->y1 = it->refY1;
            it->x2 = it->refX2;
            it->y2 = it->refY2;
        } else {
            // A corner dragged past the opposite one mirrors the picture.
            it->scaleX *= (double(it->x2) - it->x1) / refW;
            it->scaleY *= (double(it->y2) - it->y1) / refH;
            if (it->x1 > it->x2) std::swap(it->x1, it->x2);
            if (it->y1 > it->y2) std::swap(it->y1, it->y2);
        }
    }
    it->refX1 = it->x1;
    it->refY1 = it->y1;
    it->refX2 = it->x2;
    it->refY2 = it->y2;
    render::dropPictureCache(it);
}

} // namespace

double rotationAngle(const dragInput_t& in, point_t pivot)
{
    const point_t p = in.toScreen(pivot);
    return geometry::segmentAngle(p, in.currentScreen) - geometry::segmentAngle(p, in.startScreen);
}

dragGuide_t reshapeItem(item_t* it, const dragInput_t& in)
{
    dragGuide_t guide;
    const int32_t type = it->itemType;
    if (type == model::typeLine || type == model::typeText) {
        if (in.code == 1 || in.code == 2) guide = dragLineEnd(it, in);
        else if (in.code == handleRotate) rotateLine(it, in);
        if (type == model::typeText) {
            // A dragged end never leaves a line outside the box: the box grows
            // from the end that stays.
            if (in.code == 1 || in.code == 2)
                render::fitTextBoxKeeping(it, false, in.zoom, in.code == 2 ? render::textAnchor_t::start
                                                                          : render::textAnchor_t::end);
            render::textBox(it);
        }
        return guide;
    }
    if (type == model::typePicture) {
        if (in.code == handleRotate) rotatePicture(it, in);
        else if (in.code >= handleTopLeft && in.code <= handleBottomLeft) dragPictureCorner(it, in);
        else if (in.code >= handleTopEdge && in.code <= handleLeftEdge) dragPictureEdge(it, in);
        geometry::pictureBox(it);
        return guide;
    }
    if (!model::isShapeType(type)) return guide;
    if (in.code == handleRotate) rotateShape(it, in);
    else if (type == model::typeCircle && in.code == 1) setSquare(it, savedAt(it, 1), in.current);
    else if (type == model::typeEllipse && (in.code == 1 || in.code == 2)) dragEllipse(it, in);
    else if ((type == model::typePie || type == model::typeArc) && in.code >= 1 && in.code <= 3) dragPieArc(it, in);
    else if (in.code < 0) dragShapePoint(it, in);
    else if (in.code >= handleSide34 && in.code <= handleSide41) dragSide(it, in);
    geometry::itemBounds(it, handleSize());
    return guide;
}

void completeReshape(item_t* it, int32_t code)
{
    const int32_t type = it->itemType;
    if (type == model::typePicture) {
        if (code >= handleTopLeft && code <= handleLeftEdge) completePicture(it);
        geometry::pictureBox(it);
        return;
    }
    if (!model::isShapeType(type)) return;
    const point_t p1 = geometry::pointAt(it->points, 1), p2 = geometry::pointAt(it->points, 2),
                  p3 = geometry::pointAt(it->points, 3);
    if (type == model::typePie || type == model::typeArc) {
        geometry::buildPieArc(p1, p2, p3, it->points);
    } else if (type == model::typeStar) {
        const int32_t sides = (geometry::pointCount(it->points) - 2) / 2;
        geometry::buildStar(p1, p2, p3, sides, it->points);
    } else {
        if (type == model::typeEllipse) geometry::normalizeEllipse(it);
        geometry::savePoints(it->points);
    }
    geometry::itemBounds(it, handleSize());
}

} // namespace canvas
