#include "canvas/glue.h"

#include "canvas/picking.h"
#include "canvas/sandbox.h"
#include "canvas/shellparams.h"
#include "geometry/connectionpoints.h"
#include "geometry/lineends.h"
#include "geometry/shapes.h"
#include "model/history_index.h"
#include "model/spatialindex.h"
#include "render/text.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace canvas {

using geometry::point_t;
using model::item_t;
using model::lineEnd_t;

namespace {

// Document pixels that cover `px` canvas pixels at the window's zoom.
int32_t docReach(TSandbox& w, int32_t px)
{
    const double z = w.zoomFactor();
    return int32_t(std::ceil(px / (z > 0 ? z : 1.0))) + 1;
}

std::vector<item_t*> targetsNear(TSandbox& w, point_t doc, int32_t reach)
{
    std::vector<item_t*> out;
    const geometry::rect_t area{int32_t(std::max<int64_t>(INT32_MIN, int64_t(doc.x) - reach)),
                                int32_t(std::max<int64_t>(INT32_MIN, int64_t(doc.y) - reach)),
                                geometry::clampToInt32(int64_t(doc.x) + reach),
                                geometry::clampToInt32(int64_t(doc.y) + reach)};
    for (item_t* it : itemsNear(w.items(), area))
        if (model::isCurrent(it) && model::isLinkTarget(it)) out.push_back(it);
    return out;
}

point_t endPoint(const item_t* line, lineEnd_t end)
{
    if (line->itemType == model::typeLine)
        return end == lineEnd_t::start ? point_t{line->x1, line->y1} : point_t{line->x2, line->y2};
    const model::pointNode_t* n = end == lineEnd_t::start ? line->points.head : line->points.tail;
    return n ? point_t{n->p.x, n->p.y} : point_t{};
}

} // namespace

connectionHit_t connectionNear(TSandbox& w, point_t screen, const item_t* except)
{
    connectionHit_t best;
    double bestDistance = glueReachPx + 0.5;
    for (item_t* shape : targetsNear(w, w.toDoc(screen), docReach(w, glueReachPx))) {
        if (shape == except) continue;
        const std::vector<point_t> points = geometry::connectionPoints(shape);
        for (size_t k = 0; k < points.size(); ++k) {
            const double d = geometry::distance(w.toScreen(points[k]), screen);
            const bool nearer = d < bestDistance || (d == bestDistance && best.shape && shape->zOrder > best.shape->zOrder);
            if (!nearer) continue;
            bestDistance = d;
            best = {shape, int32_t(k), points[k]};
        }
    }
    return best;
}

void setLineEnd(item_t* line, lineEnd_t end, point_t p)
{
    if (line->itemType == model::typeLine) {
        const point_t other = endPoint(line, end == lineEnd_t::start ? lineEnd_t::end : lineEnd_t::start);
        if (end == lineEnd_t::start) geometry::setLineEnds(line, p, other);
        else geometry::setLineEnds(line, other, p);
        return;
    }
    model::pointNode_t* n = end == lineEnd_t::start ? line->points.head : line->points.tail;
    if (!n) return;
    n->p.x = p.x;
    n->p.y = p.y;
    if (line->itemType == model::typeCurve) geometry::curveControlPoints(line);
    geometry::savePoints(line->points);
    geometry::itemBounds(line, handleSize());
    model::computeMeasure(line);
}

void glueEndsNear(TSandbox& w, item_t* line, bool start, bool end)
{
    if (!model::isGlueSource(line)) return;
    for (lineEnd_t e : {lineEnd_t::start, lineEnd_t::end}) {
        if (!(e == lineEnd_t::start ? start : end)) continue;
        const connectionHit_t hit = connectionNear(w, w.toScreen(endPoint(line, e)), line);
        if (!hit.shape) {
            model::clearGlue(line, e);
            continue;
        }
        const int64_t id = model::ensureLinkId(w.items(), hit.shape);
        setLineEnd(line, e, hit.at);
        // The search above may have filed the line where it was.
        model::spatialRefile(w.items(), line);
        model::setGlue(line, e, {id, hit.index});
    }
}

// ------------------------------------------------------------------ marks

void connectionMarks_t::show(TSandbox& w, point_t screen)
{
    const point_t doc = w.toDoc(screen);
    const int32_t reach = docReach(w, glueReachPx);
    const item_t* shape = nullptr;
    for (item_t* it : targetsNear(w, doc, reach)) {
        if (shape && it->zOrder <= shape->zOrder) continue;
        // Inside an unfilled outline counts as on the shape: the marks show before the edge is met.
        const bool inBox = doc.x >= it->boxLeft && doc.x <= it->boxRight && doc.y >= it->boxTop && doc.y <= it->boxBottom;
        if (inBox || pickDistance(it, doc) <= reach || itemHolds(w.items(), it, doc)) shape = it;
    }
    if (shape == shape_ && (under_.valid || !shape)) return;
    erase(w);
    if (!shape) return;
    const std::vector<point_t> points = geometry::connectionPoints(shape);
    if (points.empty()) return;
    std::vector<point_t> at;
    QRect area;
    const int32_t half = connectionMarkPx / 2;
    for (const point_t& p : points) {
        at.push_back(w.toScreen(p));
        area = area.united(QRect(at.back().x - half - 1, at.back().y - half - 1, connectionMarkPx + 2, connectionMarkPx + 2));
    }
    w.saveUnder(under_, area);
    QPainter painter(&w.canvasImage());
    painter.setPen(QColor(0, 0, 255));
    painter.setBrush(Qt::white);
    for (const point_t& p : at) painter.drawRect(p.x - half, p.y - half, connectionMarkPx - 1, connectionMarkPx - 1);
    painter.end();
    w.updateCanvas(under_.rect);
    shape_ = shape;
}

void connectionMarks_t::erase(TSandbox& w)
{
    if (under_.valid) {
        const QRect r = under_.rect;
        w.restoreUnder(under_);
        w.updateCanvas(r);
    }
    shape_ = nullptr;
}

// ------------------------------------------------------------------ following

std::vector<item_t*> followShapes(TSandbox& w, model::linkTable_t& table, const std::vector<item_t*>& edited,
                                  bool turning)
{
    if (edited.empty() || table.empty()) return {};
    return model::followEdited(w.items(), table, edited, edited.front()->actionId, turning,
                               [](item_t* text) { render::textBox(text); }, handleSize());
}

void followCommand(TSandbox& w, const std::vector<item_t*>& versions, bool turning)
{
    if (versions.empty()) return;
    model::linkTable_t table(w.items());
    if (table.empty()) return;
    followShapes(w, table, versions, turning);
    std::vector<item_t*> lines;
    for (item_t* v : versions)
        if (model::isGlueSource(v)) lines.push_back(v);
    model::dropLooseGlue(table, lines);
}

bool followOutlineChange(TSandbox& w, const std::vector<item_t*>& versions)
{
    // Only a shape with an identity has lines glued to it or a label: without
    // one among the versions there is nothing to follow, and no table to build
    // from the whole list.
    if (std::none_of(versions.begin(), versions.end(), [](const item_t* v) { return model::linkId(v) != 0; }))
        return false;
    model::linkTable_t table(w.items());
    if (table.empty()) return false;
    const std::vector<item_t*> reglued = model::reglueToOutline(w.items(), table, versions, versions.front()->actionId);
    const std::vector<item_t*> moved = followShapes(w, table, versions, false);
    for (item_t* line : reglued) model::spatialRefile(w.items(), line);
    return !reglued.empty() || !moved.empty();
}

void selectLabels(model::itemList_t& list)
{
    const std::vector<item_t*> sel = model::collectSelected(list);
    bool any = false;
    for (const item_t* it : sel) any = any || model::linkId(it);
    if (!any) return;
    const model::linkTable_t table(list);
    for (const item_t* it : sel) {
        const int64_t id = model::linkId(it);
        if (!id || table.shape(id) != it) continue;
        if (item_t* label = table.labelFor(id)) model::setSelected(list, label, true);
    }
}

} // namespace canvas
