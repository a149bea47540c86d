#include "canvas/pointediting.h"

#include "canvas/glue.h"
#include "canvas/handles.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "canvas/shellparams.h"
#include "geometry/shapes.h"
#include "model/history.h"
#include "model/itemlist.h"

#include <cmath>
#include <limits>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

item_t* singleSplineOrCurve(TSandbox& w)
{
    item_t* it = model::singleSelected(w.items());
    if (!it || (it->itemType != model::typeSpline && it->itemType != model::typeCurve)) return nullptr;
    return it;
}

// Control points, saved points and box after the points changed.
void rebuild(item_t* it)
{
    if (it->itemType == model::typeCurve) geometry::curveControlPoints(it);
    geometry::savePoints(it->points);
    geometry::itemBounds(it, handleSize());
}

void finish(TSandbox& w)
{
    w.repaintAll(true);
    if (w.host()) w.host()->editStateChanged(&w);
}

} // namespace

bool deletePointUnderMouse(TSandbox& w)
{
    item_t* it = singleSplineOrCurve(w);
    if (!it) return false;
    const handleHit_t hit = hitTestHandles(w, w.lastMouse());
    if (hit.item != it || hit.code >= 0) return false;
    if (geometry::pointCount(it->points) <= 2) {
        // A spline of two points without one of them is no spline: it goes,
        // as one step that Undo takes back.
        model::eraseSelection(w.items());
        finish(w);
        return true;
    }
    const std::vector<item_t*> fresh = w.beginEdit(false);
    if (fresh.empty()) return false;
    if (model::pointNode_t* n = geometry::nodeAt(fresh.front()->points, -hit.code)) {
        model::unlinkNode(fresh.front()->points, n);
        delete n;
    }
    rebuild(fresh.front());
    followOutlineChange(w, fresh);
    finish(w);
    return true;
}

bool insertPointAtMouse(TSandbox& w)
{
    item_t* it = singleSplineOrCurve(w);
    if (!it || !it->points.head || !it->points.head->next) return false;
    const point_t m = w.toDoc(w.lastMouse());
    // The nearest segment by the distance to the foot of the perpendicular
    // (to the nearer end where the foot is off the segment); the first wins ties.
    const bool closed = it->shapeVariant != model::variantOpen;
    const model::pointNode_t* best = nullptr;
    point_t bestFoot;
    double bestDistance = std::numeric_limits<double>::infinity();
    auto consider = [&](const model::pointNode_t* from, const model::pointNode_t* to) {
        const point_t a{from->p.x, from->p.y}, b{to->p.x, to->p.y};
        const geometry::projection_t f = geometry::projectOntoLine(a, b, m);
        point_t foot = f.foot;
        if (!f.within) foot = geometry::distance(m, a) <= geometry::distance(m, b) ? a : b;
        const double d = geometry::distance(m, foot);
        if (d < bestDistance) {
            bestDistance = d;
            best = from;
            bestFoot = foot;
        }
    };
    for (const model::pointNode_t* n = it->points.head; n->next; n = n->next) consider(n, n->next);
    if (closed) consider(it->points.tail, it->points.head);
    const int32_t after = [&] {
        int32_t i = 1;
        for (const model::pointNode_t* n = it->points.head; n && n != best; n = n->next) ++i;
        return i;
    }();
    const std::vector<item_t*> fresh = w.beginEdit(false);
    if (fresh.empty()) return false;
    item_t* v = fresh.front();
    // A spline's new point lies on the segment, a curve's at the mouse.
    const point_t at = v->itemType == model::typeSpline ? bestFoot : m;
    model::pointNode_t* prev = geometry::nodeAt(v->points, after);
    auto* n = new model::pointNode_t;
    n->p.x = n->p.savedX = at.x;
    n->p.y = n->p.savedY = at.y;
    n->prev = prev;
    n->next = prev->next;
    if (prev->next) prev->next->prev = n;
    else v->points.tail = n;
    prev->next = n;
    rebuild(v);
    followOutlineChange(w, fresh);
    finish(w);
    return true;
}

} // namespace canvas
