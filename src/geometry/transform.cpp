#include "geometry/transform.h"

#include "model/itemlist.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace geometry {

using model::item_t;
using model::pointNode_t;

namespace {

constexpr double pi = std::numbers::pi;

bool isPieOrArc(int32_t t) { return t == model::typePie || t == model::typeArc; }
bool isTextOrLine(int32_t t) { return t == model::typeText || t == model::typeLine; }

// The average of the saved points, each coordinate rounded.
point_t averagePoint(const model::pointList_t& list)
{
    long double sx = 0, sy = 0;
    int32_t n = 0;
    for (const pointNode_t* p = list.head; p; p = p->next, ++n) {
        sx += p->p.savedX;
        sy += p->p.savedY;
    }
    if (n == 0) return {};
    return {roundHalfEven(sx / n), roundHalfEven(sy / n)};
}

// 2·c − v, limited to the 32-bit range.
int32_t reflected(int32_t c, int32_t v)
{
    return clampToInt32(2 * int64_t(c) - v);
}

// The point a shape is mirrored, flipped and turned about: the visual middle
// of a pie or arc wedge, the centre point of shapes built around one (their
// other points would pull an average off the centre, so the shape would jump),
// and the average point of all others.
point_t transformCentre(const item_t* it)
{
    switch (it->itemType) {
    case model::typePie:
    case model::typeArc:
        return arcCentre(it);
    case model::typeCircle:
    case model::typeEllipse:
    case model::typePolygon:
    case model::typeStar:
        return pointAt(it->points, 1);
    default:
        return averagePoint(it->points);
    }
}

// Reflects every point and control point of a shape in the vertical line
// x = c.x (mirror) or the horizontal line y = c.y (flip), from the saved
// copies. A pie or arc swaps its start and end so it still runs counter-clockwise.
void reflectShape(item_t* it, point_t c, bool mirror, bool flip)
{
    if (!mirror && !flip) return;
    for (pointNode_t* n = it->points.head; n; n = n->next) {
        auto& p = n->p;
        if (mirror) {
            p.x = reflected(c.x, p.savedX);
            p.c1x = reflected(c.x, p.savedC1x);
            p.c2x = reflected(c.x, p.savedC2x);
        }
        if (flip) {
            p.y = reflected(c.y, p.savedY);
            p.c1y = reflected(c.y, p.savedC1y);
            p.c2y = reflected(c.y, p.savedC2y);
        }
    }
    if (isPieOrArc(it->itemType)) {
        pointNode_t* s = nodeAt(it->points, 2);
        pointNode_t* e = nodeAt(it->points, 3);
        if (s && e) std::swap(s->p, e->p);
    }
    savePoints(it->points);
}

// Mirrors / flips the two defining points of a text, line or picture about c.
void reflectDefiningPoints(item_t* it, point_t c, bool mirror, bool flip)
{
    // Texts and rectangular pictures keep their left-to-right order (the box
    // is mirrored, the content is not). A line's ends and a round clip's
    // centre and rim point are reflected each in place: swapping them would
    // move the line without mirroring its slant, or move the circle's centre.
    const bool inPlace = it->itemType == model::typeLine ||
                         (it->itemType == model::typePicture && it->clipShape == model::clipRound);
    if (mirror) {
        const int32_t a = reflected(c.x, it->x1), b = reflected(c.x, it->x2);
        it->x1 = inPlace ? a : b;
        it->x2 = inPlace ? b : a;
    }
    if (flip) {
        const int32_t a = reflected(c.y, it->y1), b = reflected(c.y, it->y2);
        it->y1 = inPlace ? a : b;
        it->y2 = inPlace ? b : a;
    }
}

} // namespace

void transformShape(item_t* it, bool mirror, bool flip, int32_t turn, handleSize_t handles)
{
    if (!model::isShapeType(it->itemType) || !it->points.head) return;
    savePoints(it->points);
    const point_t c = transformCentre(it);
    if (turn != 0) {
        rotatePoints(it->points, c, turn > 0 ? pi / 2 : -pi / 2);
        savePoints(it->points);
    }
    reflectShape(it, c, mirror, false);
    reflectShape(it, c, false, flip);
    itemBounds(it, handles);
}

void pictureTransform(item_t* it, bool mirror, bool flip, int32_t turn)
{
    auto& b = it->body();
    const bool clip = b.baseScale != 0 && (b.clipShape == model::clipRect || b.clipShape == model::clipRound);
    const int32_t W = b.baseScale != 0 ? roundHalfEven(b.picWidth / static_cast<long double>(b.baseScale)) : 0;
    const int32_t H = b.baseScale != 0 ? roundHalfEven(b.picHeight / static_cast<long double>(b.baseScale)) : 0;
    const bool sideways = b.orientation == 90 || b.orientation == 270;

    // The body is packed: its fields are read and written by value, never
    // bound to references.
    if (mirror) {
        if (sideways) b.flipY = -b.flipY;
        else b.flipX = -b.flipX;
        if (clip && b.clipShape == model::clipRect) {
            const int32_t l = b.srcLeft, r = b.srcRight;
            b.srcLeft = clampToInt32(int64_t(W) - r);
            b.srcRight = clampToInt32(int64_t(W) - l);
        } else if (clip) {
            b.srcLeft = clampToInt32(int64_t(W) - b.srcLeft);
            b.srcRight = clampToInt32(int64_t(W) - b.srcRight);
        }
    }
    if (flip) {
        if (sideways) b.flipX = -b.flipX;
        else b.flipY = -b.flipY;
        if (clip && b.clipShape == model::clipRect) {
            const int32_t t = b.srcTop, bo = b.srcBottom;
            b.srcTop = clampToInt32(int64_t(H) - bo);
            b.srcBottom = clampToInt32(int64_t(H) - t);
        } else if (clip) {
            b.srcTop = clampToInt32(int64_t(H) - b.srcTop);
            b.srcBottom = clampToInt32(int64_t(H) - b.srcBottom);
        }
    }
    if (turn != 0) {
        if (turn < 0) {
            b.orientation -= 90;
            if (b.orientation < 0) b.orientation += 360;
        } else {
            b.orientation += 90;
            if (b.orientation > 360) b.orientation -= 360;
        }
        const int32_t oldWidth = b.picWidth;
        b.picWidth = b.picHeight;
        b.picHeight = oldWidth;
        if (clip) {
            // Both clip points (the corners, or the centre and a rim point).
            auto mapped = [&](point_t p) {
                return turn < 0 ? point_t{clampToInt32(int64_t(H) - p.y), p.x}
                                : point_t{p.y, clampToInt32(int64_t(W) - p.x)};
            };
            const point_t a = mapped({b.srcLeft, b.srcTop});
            const point_t c = mapped({b.srcRight, b.srcBottom});
            b.srcLeft = a.x;
            b.srcTop = a.y;
            b.srcRight = c.x;
            b.srcBottom = c.y;
        }
        if (b.clipShape != model::clipRound) {
            const int64_t w = int64_t(b.x2) - b.x1, h = int64_t(b.y2) - b.y1;
            const long double cx = (static_cast<long double>(b.x1) + b.x2) / 2;
            const long double cy = (static_cast<long double>(b.y1) + b.y2) / 2;
            b.x1 = roundHalfEven(cx - h / 2.0L);
            b.x2 = clampToInt32(b.x1 + h);
            b.y1 = roundHalfEven(cy - w / 2.0L);
            b.y2 = clampToInt32(b.y1 + w);
        }
    }
    pictureBox(it);
}

void transformSelection(model::itemList_t& list, bool mirror, bool flip, int32_t turn, handleSize_t handles)
{
    for (item_t* it = list.head; it; it = it->next) {
        if (!model::isSelected(it) || it->groupId != 0) continue;
        if (model::isShapeType(it->itemType)) transformShape(it, mirror, flip, turn, handles);
        else if (it->itemType == model::typePicture) pictureTransform(it, mirror, flip, turn);
    }
    for (item_t* it = list.head; it; it = it->next) {
        if (!model::isSelected(it) || it->itemType != model::typeGroupHandle) continue;
        if (turn != 0) rotateGroup(list, it, turn > 0 ? pi / 2 : -pi / 2, handles);
        if (mirror || flip) mirrorGroup(list, it, mirror, flip, handles);
    }
}

void rotateGroup(model::itemList_t& list, const item_t* handle, double delta, handleSize_t handles)
{
    const point_t pivot{handle->x1, handle->y1};
    for (item_t* it = list.head; it; it = it->next) {
        if (it == handle || !model::isSelected(it) || it->groupId != handle->groupId) continue;
        if (isTextOrLine(it->itemType)) {
            rotateDefiningPoints(it, pivot, delta);
            lineGeometry(it);
            model::computeMeasure(it);
            if (it->itemType == model::typeText) {
                const double a = segmentAngle({it->refX1, it->refY1}, {it->refX2, it->refY2}) + delta;
                int32_t tenths = roundHalfEven(static_cast<long double>(a) * 180 / pi * 10);
                if (tenths < 0) tenths += 3600;
                it->textAngle = tenths;
            }
        } else if (model::isShapeType(it->itemType)) {
            rotatePoints(it->points, pivot, delta);
            itemBounds(it, handles);
        } else if (it->itemType == model::typePicture) {
            revolveItem(it, pivot, delta);
            it->rotation = it->rotationStart + delta;
            pictureBox(it);
        }
    }
}

void mirrorGroup(model::itemList_t& list, const item_t* handle, bool mirror, bool flip, handleSize_t handles)
{
    if (!mirror && !flip) return;
    const point_t c{handle->x1, handle->y1};
    for (item_t* it = list.head; it; it = it->next) {
        if (it == handle || !model::isSelected(it) || it->groupId != handle->groupId) continue;
        if (model::isShapeType(it->itemType)) {
            if (!it->points.head) continue;
            savePoints(it->points);
            reflectShape(it, c, mirror, false);
            reflectShape(it, c, false, flip);
            itemBounds(it, handles);
        } else if (isTextOrLine(it->itemType)) {
            reflectDefiningPoints(it, c, mirror, flip);
            lineGeometry(it);
            model::computeMeasure(it);
        } else if (it->itemType == model::typePicture) {
            reflectDefiningPoints(it, c, mirror, flip);
            pictureBox(it);
        }
    }
}

// --- area test ---

namespace {

int64_t cross(point_t o, point_t a, point_t b)
{
    return int64_t(a.x - o.x) * (b.y - o.y) - int64_t(a.y - o.y) * (b.x - o.x);
}

bool inRange(int32_t v, int32_t a, int32_t b)
{
    return v >= std::min(a, b) && v <= std::max(a, b);
}

bool rangesOverlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2)
{
    return std::max(std::min(a1, a2), std::min(b1, b2)) <= std::min(std::max(a1, a2), std::max(b1, b2));
}

} // namespace

bool segmentsCross(point_t p1, point_t p2, point_t q1, point_t q2)
{
    // Parallel segments have no single intersection; they meet only when
    // they lie on one line and overlap.
    const int64_t denom = int64_t(p2.x - p1.x) * (q2.y - q1.y) - int64_t(p2.y - p1.y) * (q2.x - q1.x);
    if (denom == 0) {
        const bool collinear = !(p1 == p2) ? cross(p1, p2, q1) == 0 && cross(p1, p2, q2) == 0
                                           : cross(q1, q2, p1) == 0;
        if (!collinear) return false;
        return rangesOverlap(p1.x, p2.x, q1.x, q2.x) && rangesOverlap(p1.y, p2.y, q1.y, q2.y);
    }
    const bool pv = p1.x == p2.x, qv = q1.x == q2.x, ph = p1.y == p2.y, qh = q1.y == q2.y;
    int32_t ix = 0, iy = 0;
    auto yOn = [](point_t a, point_t b, long double x) {
        return a.y + (x - a.x) * (static_cast<long double>(b.y) - a.y) / (static_cast<long double>(b.x) - a.x);
    };
    auto xOn = [](point_t a, point_t b, long double y) {
        return a.x + (y - a.y) * (static_cast<long double>(b.x) - a.x) / (static_cast<long double>(b.y) - a.y);
    };
    if (pv) {
        ix = p1.x;
        iy = qh ? q1.y : roundHalfEven(yOn(q1, q2, ix));
    } else if (qv) {
        ix = q1.x;
        iy = ph ? p1.y : roundHalfEven(yOn(p1, p2, ix));
    } else if (ph) {
        iy = p1.y;
        ix = roundHalfEven(xOn(q1, q2, iy));
    } else if (qh) {
        iy = q1.y;
        ix = roundHalfEven(xOn(p1, p2, iy));
    } else {
        const long double m1 = (static_cast<long double>(p2.y) - p1.y) / (static_cast<long double>(p2.x) - p1.x);
        const long double m2 = (static_cast<long double>(q2.y) - q1.y) / (static_cast<long double>(q2.x) - q1.x);
        const long double t1 = p1.y - m1 * p1.x, t2 = q1.y - m2 * q1.x;
        const long double x = (t2 - t1) / (m1 - m2);
        ix = roundHalfEven(x);
        iy = roundHalfEven(m1 * x + t1);
    }
    return inRange(ix, p1.x, p2.x) && inRange(iy, p1.y, p2.y) && inRange(ix, q1.x, q2.x) &&
           inRange(iy, q1.y, q2.y);
}

namespace {

bool crossesRect(point_t a, point_t b, rect_t r)
{
    const point_t c[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    for (int i = 0; i < 4; ++i)
        if (segmentsCross(a, b, c[i], c[(i + 1) % 4])) return true;
    return false;
}

bool quadCrossesRect(const quadrangle_t& q, rect_t r)
{
    for (int i = 0; i < 4; ++i)
        if (crossesRect(q[i], q[(i + 1) % 4], r)) return true;
    return false;
}

} // namespace

bool insideOrCrossing(const item_t* it, rect_t r, const areaTest_t& how)
{
    const int32_t t = it->itemType;
    const bool shape = model::isShapeType(t);
    const bool picture = t == model::typePicture;
    if (!shape && !picture && !isTextOrLine(t)) return false;

    auto map = [&](point_t p) {
        return point_t{docToScreen(how.zoom, p.x, how.origin.x), docToScreen(how.zoom, p.y, how.origin.y)};
    };
    const point_t boxTl = map({it->boxLeft, it->boxTop});
    const point_t boxBr = map({it->boxRight, it->boxBottom});
    if (boxTl.x >= r.left && boxBr.x <= r.right && boxTl.y >= r.top && boxBr.y <= r.bottom) return true;
    if (!how.crossing) return false;

    if (crossesRect(map({it->x1, it->y1}), map({it->x2, it->y2}), r)) return true;

    if (t == model::typeText) return how.outline && quadCrossesRect(*how.outline, r);
    if (shape) {
        const pointNode_t* first = it->points.head;
        for (const pointNode_t* n = first; n; n = n->next) {
            const pointNode_t* to = n->next ? n->next : first;
            if (crossesRect(map({n->p.x, n->p.y}), map({to->p.x, to->p.y}), r)) return true;
        }
        return false;
    }
    if (picture) {
        if (how.outline) return quadCrossesRect(*how.outline, r);
        const quadrangle_t box{{boxTl, {boxBr.x, boxTl.y}, boxBr, {boxTl.x, boxBr.y}}};
        return quadCrossesRect(box, r);
    }
    return false;
}

} // namespace geometry
