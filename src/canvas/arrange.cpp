#include "canvas/arrange.h"

#include "canvas/handledrag.h"
#include "canvas/picking.h"
#include "canvas/shellparams.h"
#include "render/text.h"

#include "geometry/shapes.h"
#include "model/clipboard.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/itemlist.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_map>

namespace canvas {

using geometry::point_t;
using model::item_t;

namespace {

int32_t half(int64_t a, int64_t b) { return model::roundHalfEven((double(a) + double(b)) / 2.0); }

int32_t snapped(const snapCoordinate_t& snap, int32_t v, bool xAxis) { return snap ? snap(v, xAxis) : v; }

} // namespace

geometry::rect_t itemExtent(const item_t* it)
{
    geometry::rect_t r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    auto add = [&r](point_t p) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    };
    switch (it->itemType) {
    case model::typeLine:
        add({it->x1, it->y1});
        add({it->x2, it->y2});
        return r;
    case model::typeText:
        for (const point_t& p : render::textBand(it)) add(p);
        return r;
    case model::typePicture:
        if (it->clipShape == model::clipRound) {
            const int32_t rad = model::roundHalfEven(geometry::distance({it->x1, it->y1}, {it->x2, it->y2}));
            return {it->x1 - rad, it->y1 - rad, it->x1 + rad, it->y1 + rad};
        }
        for (const point_t& p : pictureCorners(it)) add(p);
        return r;
    case model::typeCircle: {
        const point_t c = geometry::pointAt(it->points, 1);
        const int32_t rad = model::roundHalfEven(geometry::distance(c, geometry::pointAt(it->points, 2)));
        return {c.x - rad, c.y - rad, c.x + rad, c.y + rad};
    }
    case model::typeTriangle:
    case model::typeSquare:
    case model::typeRectangle:
    case model::typeSpline:
    case model::typeCurve:
    case model::typePolygon:
    case model::typeStar: {
        // A polygon's and a star's first point is their centre.
        const bool centred = it->itemType == model::typePolygon || it->itemType == model::typeStar;
        const model::pointNode_t* n = it->points.head;
        if (centred && n) n = n->next;
        for (; n; n = n->next) add({n->p.x, n->p.y});
        if (r.left <= r.right) return r;
        break;
    }
    default: break;
    }
    // Ellipses, pies and arcs: their box less the room it leaves for marks.
    const geometry::handleSize_t hs = handleSize();
    const int32_t pad = std::max({it->penWidthPx, hs.width / 2, hs.height / 2});
    const int32_t l = std::min(it->boxLeft, it->boxRight), t = std::min(it->boxTop, it->boxBottom);
    const int32_t rr = std::max(it->boxLeft, it->boxRight), b = std::max(it->boxTop, it->boxBottom);
    if (rr - l > 2 * pad && b - t > 2 * pad) return {l + pad, t + pad, rr - pad, b - pad};
    return {l, t, rr, b};
}

std::vector<selectionUnit_t> selectionUnits(model::itemList_t& list)
{
    std::vector<selectionUnit_t> units;
    std::map<int32_t, size_t> groupUnit;
    for (item_t* it : model::collectSelected(list)) {
        size_t k;
        auto found = it->groupId > 0 ? groupUnit.find(it->groupId) : groupUnit.end();
        if (found != groupUnit.end()) {
            k = found->second;
        } else {
            k = units.size();
            units.emplace_back();
            units[k].left = units[k].top = INT32_MAX;
            units[k].right = units[k].bottom = INT32_MIN;
            if (it->groupId > 0) groupUnit[it->groupId] = k;
        }
        selectionUnit_t& u = units[k];
        u.records.push_back(it);
        // The handle sits at the group's centre; only the members give the box.
        if (it->itemType == model::typeGroupHandle) continue;
        const geometry::rect_t e = itemExtent(it);
        u.left = std::min(u.left, e.left);
        u.right = std::max(u.right, e.right);
        u.top = std::min(u.top, e.top);
        u.bottom = std::max(u.bottom, e.bottom);
    }
    // A unit of nothing but a handle has no box of its own.
    std::erase_if(units, [](const selectionUnit_t& u) { return u.left > u.right; });
    return units;
}

selectionUnit_t unitsBox(const std::vector<selectionUnit_t>& units)
{
    selectionUnit_t box;
    if (units.empty()) return box;
    box.left = box.top = INT32_MAX;
    box.right = box.bottom = INT32_MIN;
    for (const selectionUnit_t& u : units) {
        box.left = std::min(box.left, u.left);
        box.top = std::min(box.top, u.top);
        box.right = std::max(box.right, u.right);
        box.bottom = std::max(box.bottom, u.bottom);
    }
    return box;
}

std::vector<point_t> alignOffsets(const std::vector<selectionUnit_t>& units, alignEdge_t edge,
                                  const selectionUnit_t& target, const snapCoordinate_t& snap)
{
    const bool xAxis = edge == alignEdge_t::left || edge == alignEdge_t::centre || edge == alignEdge_t::right;
    auto line = [edge](const selectionUnit_t& u) {
        switch (edge) {
        case alignEdge_t::left: return u.left;
        case alignEdge_t::centre: return half(u.left, u.right);
        case alignEdge_t::right: return u.right;
        case alignEdge_t::top: return u.top;
        case alignEdge_t::middle: return half(u.top, u.bottom);
        case alignEdge_t::bottom: return u.bottom;
        }
        return 0;
    };
    const int32_t to = snapped(snap, line(target), xAxis);
    std::vector<point_t> out;
    out.reserve(units.size());
    for (const selectionUnit_t& u : units) {
        const int32_t d = geometry::clampToInt32(int64_t(to) - line(u));
        out.push_back(xAxis ? point_t{d, 0} : point_t{0, d});
    }
    return out;
}

std::vector<point_t> distributeOffsets(const std::vector<selectionUnit_t>& units, bool across,
                                       const snapCoordinate_t& snap)
{
    std::vector<point_t> out(units.size());
    if (units.size() < 3) return out;
    auto lead = [across](const selectionUnit_t& u) { return across ? u.left : u.top; };
    auto size = [across](const selectionUnit_t& u) { return across ? int64_t(u.right) - u.left : int64_t(u.bottom) - u.top; };
    std::vector<size_t> order(units.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return lead(units[a]) < lead(units[b]); });
    const selectionUnit_t& first = units[order.front()];
    const selectionUnit_t& last = units[order.back()];
    const int64_t span = (across ? int64_t(last.right) : int64_t(last.bottom)) - lead(first);
    int64_t sizes = 0;
    for (const selectionUnit_t& u : units) sizes += size(u);
    const double gap = double(span - sizes) / double(units.size() - 1);
    // The outer two stay; each other one starts one gap after the one before.
    int64_t before = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const selectionUnit_t& u = units[order[i]];
        if (i > 0 && i + 1 < order.size()) {
            int32_t at = geometry::clampToInt32(lead(first) + before + model::roundHalfEven(gap * double(i)));
            at = snapped(snap, at, across);
            const int32_t d = geometry::clampToInt32(int64_t(at) - lead(u));
            out[order[i]] = across ? point_t{d, 0} : point_t{0, d};
        }
        before += size(u);
    }
    return out;
}

void translateVersions(const std::vector<item_t*>& versions, int32_t dx, int32_t dy)
{
    for (item_t* v : versions) {
        translateItem(v, dx, dy);
        if (v->itemType == model::typeLine) geometry::lineGeometry(v);
    }
}

bool moveUnits(model::itemList_t& list, const std::vector<selectionUnit_t>& units, const std::vector<point_t>& offsets)
{
    std::unordered_map<const item_t*, point_t> by;
    bool any = false;
    for (size_t k = 0; k < units.size() && k < offsets.size(); ++k) {
        if (offsets[k].x || offsets[k].y) any = true;
        for (const item_t* r : units[k].records) by[r] = offsets[k];
    }
    if (!any) return false;
    const std::vector<item_t*> sel = model::collectSelected(list);
    const std::vector<item_t*> fresh = model::beginEdit(list);
    for (size_t i = 0; i < fresh.size() && i < sel.size(); ++i) {
        const auto f = by.find(sel[i]);
        if (f == by.end()) continue;
        translateVersions({fresh[i]}, f->second.x, f->second.y);
    }
    return true;
}

std::vector<item_t*> duplicateSelection(model::itemList_t& list, geometry::handleSize_t handles)
{
    if (!model::firstSelected(list)) return {};
    // A clipboard of its own for this one copy: the program's stays as it is.
    model::itemList_t scratch;
    model::copySelection(list, scratch);
    std::vector<item_t*> copies = model::pasteClipboard(list, scratch, handles);
    model::freeList(scratch);
    return copies;
}

} // namespace canvas
