#include "model/links.h"

#include "geometry/connectionpoints.h"
#include "geometry/lineends.h"
#include "model/barcode.h"
#include "model/extensions.h"
#include "model/history.h"
#include "model/history_index.h"
#include "model/spatialindex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace model {

using geometry::point_t;

namespace {

const char* targetKey(lineEnd_t end) { return end == lineEnd_t::start ? glueStartKey : glueEndKey; }
const char* pointKey(lineEnd_t end) { return end == lineEnd_t::start ? glueStartPointKey : glueEndPointKey; }

int64_t positiveInteger(const item_t* it, const char* key)
{
    const extensionData_t* ext = findExtensions(it);
    if (!ext) return 0;
    const std::optional<int64_t> v = ext->integer(key);
    return v && *v > 0 ? *v : 0;
}

bool isOpenPath(const item_t* it)
{
    return (it->itemType == typeSpline || it->itemType == typeCurve) && it->shapeVariant == variantOpen;
}

// The first and last node of an open path.
pointNode_t* endNode(item_t* it, lineEnd_t end) { return end == lineEnd_t::start ? it->points.head : it->points.tail; }

point_t endOf(const item_t* it, lineEnd_t end)
{
    if (it->itemType == typeLine) return end == lineEnd_t::start ? point_t{it->x1, it->y1} : point_t{it->x2, it->y2};
    const pointNode_t* n = end == lineEnd_t::start ? it->points.head : it->points.tail;
    return n ? point_t{n->p.x, n->p.y} : point_t{};
}

// A glued line's geometry worked out again: its ends as in `from` except
// the glued ones, which go to their connection points.
void placeLine(const linkTable_t& table, item_t* line, const item_t* from, geometry::handleSize_t handles)
{
    point_t ends[2] = {endOf(from, lineEnd_t::start), endOf(from, lineEnd_t::end)};
    for (lineEnd_t end : {lineEnd_t::start, lineEnd_t::end})
        if (std::optional<point_t> p = gluedPoint(table, line, end)) ends[end == lineEnd_t::end] = *p;
    if (line->itemType == typeLine) {
        geometry::setLineEnds(line, ends[0], ends[1]);
        return;
    }
    if (from != line) {
        // The same path, node for node, as in the version it replaces.
        const pointNode_t* f = from->points.head;
        for (pointNode_t* n = line->points.head; n && f; n = n->next, f = f->next) n->p = f->p;
    }
    if (!line->points.head) return;
    for (lineEnd_t end : {lineEnd_t::start, lineEnd_t::end}) {
        pointNode_t* n = endNode(line, end);
        n->p.x = ends[end == lineEnd_t::end].x;
        n->p.y = ends[end == lineEnd_t::end].y;
    }
    if (line->itemType == typeCurve) geometry::curveControlPoints(line);
    // A path the user drags moves from its saved points: they stay.
    if (from != line) geometry::savePoints(line->points);
    geometry::itemBounds(line, handles);
}

// A label moved from its version `from` as its shape moved from `before` to
// `after`: carried with the shape's middle, and turned about it.
void placeLabel(item_t* label, const item_t* from, const item_t* before, const item_t* after, bool turning,
                const textLayout_t& layout)
{
    const point_t m0 = geometry::shapeMiddle(before), m1 = geometry::shapeMiddle(after);
    const double delta = turning ? geometry::shapeFacing(after) - geometry::shapeFacing(before) : 0.0;
    auto carry = [&](point_t p) {
        if (delta != 0.0) p = geometry::polarPoint(m0, geometry::segmentAngle(m0, p) + delta, geometry::distance(m0, p));
        return point_t{geometry::clampToInt32(int64_t(p.x) + m1.x - m0.x),
                       geometry::clampToInt32(int64_t(p.y) + m1.y - m0.y)};
    };
    geometry::setLineEnds(label, carry({from->x1, from->y1}), carry({from->x2, from->y2}));
    if (delta != 0.0) {
        int32_t tenths = (from->textAngle + roundHalfEven(delta * 1800.0 / std::numbers::pi)) % 3600;
        if (tenths < 0) tenths += 3600;
        label->textAngle = tenths;
    } else {
        label->textAngle = from->textAngle;
    }
    if (layout) layout(label);
}

} // namespace

bool isGlueSource(const item_t* it) { return it && (it->itemType == typeLine || isOpenPath(it)); }

bool isLinkTarget(const item_t* it)
{
    if (!it || !isShapeType(it->itemType) || it->itemType == typeArc || isBarcodeItem(it)) return false;
    return !isOpenPath(it);
}

bool isCurrent(const item_t* it) { return it && it->kind == kindItem && !it->hidden && it->itemType != typeDeletionMarker; }

int64_t linkId(const item_t* it) { return positiveInteger(it, linkIdKey); }

int64_t ensureLinkId(itemList_t& list, item_t* it)
{
    if (const int64_t id = linkId(it)) return id;
    int64_t top = 0;
    for (const item_t* r = list.head; r; r = r->next) top = std::max(top, linkId(r));
    extensionsOf(it).setInteger(linkIdKey, top + 1);
    return top + 1;
}

std::optional<glue_t> glueOf(const item_t* it, lineEnd_t end)
{
    if (!isGlueSource(it)) return std::nullopt;
    const int64_t target = positiveInteger(it, targetKey(end));
    if (!target) return std::nullopt;
    const extensionData_t* ext = findExtensions(it);
    const std::optional<int64_t> pt = ext->integer(pointKey(end));
    if (!pt || *pt < 0 || *pt >= INT32_MAX) return std::nullopt;
    return glue_t{target, int32_t(*pt)};
}

void setGlue(item_t* it, lineEnd_t end, glue_t glue)
{
    extensionData_t& ext = extensionsOf(it);
    ext.setInteger(targetKey(end), glue.target);
    ext.setInteger(pointKey(end), glue.point);
}

void clearGlue(item_t* it, lineEnd_t end)
{
    if (!findExtensions(it)) return;
    extensionData_t& ext = extensionsOf(it);
    ext.remove(targetKey(end));
    ext.remove(pointKey(end));
}

int64_t labelOf(const item_t* it) { return it && it->itemType == typeText ? positiveInteger(it, labelOfKey) : 0; }

void setLabelOf(item_t* it, int64_t target)
{
    if (target > 0) extensionsOf(it).setInteger(labelOfKey, target);
    else if (findExtensions(it)) extensionsOf(it).remove(labelOfKey);
}

// ------------------------------------------------------------------ table

linkTable_t::linkTable_t(itemList_t& list)
{
    for (item_t* it = list.head; it; it = it->next) {
        if (!isCurrent(it) || !findExtensions(it)) continue;
        if (const int64_t id = linkId(it); id && isLinkTarget(it)) {
            // An identity claimed twice names no shape at all.
            auto [at, fresh] = shapes_.emplace(id, it);
            if (!fresh) at->second = nullptr;
        }
        if (isGlueSource(it)) {
            const std::optional<glue_t> a = glueOf(it, lineEnd_t::start), b = glueOf(it, lineEnd_t::end);
            if (a) dependents_[a->target].push_back(it);
            if (b && (!a || b->target != a->target)) dependents_[b->target].push_back(it);
        } else if (const int64_t of = labelOf(it)) {
            dependents_[of].push_back(it);
        }
    }
}

item_t* linkTable_t::shape(int64_t id) const
{
    auto f = shapes_.find(id);
    return f == shapes_.end() ? nullptr : f->second;
}

const std::vector<item_t*>& linkTable_t::dependents(int64_t id) const
{
    static const std::vector<item_t*> none;
    auto f = dependents_.find(id);
    return f == dependents_.end() ? none : f->second;
}

item_t* linkTable_t::labelFor(int64_t id) const
{
    for (item_t* d : dependents(id))
        if (d->itemType == typeText) return d;
    return nullptr;
}

void linkTable_t::replaced(item_t* was, item_t* now)
{
    for (auto& [id, shape] : shapes_)
        if (shape == was) shape = now;
    auto swap = [&](int64_t id) {
        auto f = dependents_.find(id);
        if (f == dependents_.end()) return;
        std::replace(f->second.begin(), f->second.end(), was, now);
    };
    if (const int64_t id = linkId(now)) swap(id);
    for (lineEnd_t end : {lineEnd_t::start, lineEnd_t::end})
        if (std::optional<glue_t> g = glueOf(now, end)) swap(g->target);
    if (const int64_t of = labelOf(now)) swap(of);
}

std::optional<point_t> gluedPoint(const linkTable_t& table, const item_t* line, lineEnd_t end)
{
    const std::optional<glue_t> g = glueOf(line, end);
    if (!g) return std::nullopt;
    const item_t* shape = table.shape(g->target);
    point_t p;
    if (!shape || !geometry::connectionPoint(shape, g->point, p)) return std::nullopt;
    return p;
}

// ------------------------------------------------------------------ following

std::vector<item_t*> followEdited(itemList_t& list, linkTable_t& table, const std::vector<item_t*>& edited,
                                  int32_t actionId, bool turning, const textLayout_t& layout,
                                  geometry::handleSize_t handles)
{
    std::vector<item_t*> changed;
    if (table.empty()) return changed;
    for (item_t* s : edited) {
        const int64_t id = linkId(s);
        if (!id || table.shape(id) != s) continue;
        const std::vector<item_t*> deps = table.dependents(id);
        for (item_t* d : deps) {
            if (d->selected) {
                // It is part of the edit itself: only its glued ends are put right.
                if (isGlueSource(d)) {
                    placeLine(table, d, d, handles);
                    changed.push_back(d);
                }
                continue;
            }
            const item_t* from = d;
            if (d->actionId == actionId) {
                // Changed by this action already (or made by it: then it has nothing to follow from).
                from = d->replacesStep > 0 ? findStep(list, d->replacesStep) : nullptr;
            } else {
                item_t* v = newVersionInAction(list, d, actionId);
                table.replaced(d, v);
                d = v;
            }
            if (!from) continue;
            if (isGlueSource(d)) {
                placeLine(table, d, from, handles);
            } else {
                const item_t* before = s->replacesStep > 0 ? findStep(list, s->replacesStep) : nullptr;
                if (!before) continue;
                placeLabel(d, from, before, s, turning, layout);
            }
            spatialRefile(list, d);
            if (std::find(changed.begin(), changed.end(), d) == changed.end()) changed.push_back(d);
        }
    }
    return changed;
}

std::vector<item_t*> reglueToOutline(itemList_t& list, linkTable_t& table, const std::vector<item_t*>& edited,
                                     int32_t actionId)
{
    std::vector<item_t*> changed;
    if (table.empty()) return changed;
    for (const item_t* s : edited) {
        const int64_t id = linkId(s);
        if (!id) continue;
        // Empty when the shape is no longer one lines can be glued to.
        const std::vector<point_t> points =
            table.shape(id) == s ? geometry::connectionPoints(s) : std::vector<point_t>{};
        const std::vector<item_t*> deps = table.dependents(id);
        for (item_t* d : deps) {
            if (!isGlueSource(d)) continue;
            for (lineEnd_t end : {lineEnd_t::start, lineEnd_t::end}) {
                const std::optional<glue_t> g = glueOf(d, end);
                if (!g || g->target != id) continue;
                int32_t nearest = -1;
                double best = std::numeric_limits<double>::infinity();
                const point_t at = endOf(d, end);
                for (size_t k = 0; k < points.size(); ++k) {
                    const double dist = geometry::distance(points[k], at);
                    if (dist < best) {
                        best = dist;
                        nearest = int32_t(k);
                    }
                }
                if (nearest == g->point) continue;
                if (d->actionId != actionId) {
                    item_t* v = newVersionInAction(list, d, actionId);
                    table.replaced(d, v);
                    d = v;
                }
                if (nearest < 0) clearGlue(d, end);
                else setGlue(d, end, {id, nearest});
                if (std::find(changed.begin(), changed.end(), d) == changed.end()) changed.push_back(d);
            }
        }
    }
    return changed;
}

int32_t dropLooseGlue(const linkTable_t& table, const std::vector<item_t*>& lines)
{
    int32_t dropped = 0;
    for (item_t* line : lines) {
        for (lineEnd_t end : {lineEnd_t::start, lineEnd_t::end}) {
            const std::optional<point_t> p = gluedPoint(table, line, end);
            if (!p || *p == endOf(line, end)) continue;
            clearGlue(line, end);
            ++dropped;
        }
    }
    return dropped;
}

void relinkCopies(itemList_t& list, const std::vector<item_t*>& copies)
{
    std::unordered_map<int64_t, int64_t> fresh;
    int64_t top = 0;
    for (const item_t* r = list.head; r; r = r->next) top = std::max(top, linkId(r));
    for (item_t* c : copies) {
        const int64_t id = linkId(c);
        if (!id) continue;
        const int64_t now = ++top;
        fresh.emplace(id, now);
        extensionsOf(c).setInteger(linkIdKey, now);
    }
    auto mapped = [&](int64_t id) {
        auto f = fresh.find(id);
        return f == fresh.end() ? 0 : f->second;
    };
    for (item_t* c : copies) {
        for (lineEnd_t end : {lineEnd_t::start, lineEnd_t::end}) {
            const std::optional<glue_t> g = glueOf(c, end);
            if (!g) continue;
            if (const int64_t to = mapped(g->target)) setGlue(c, end, {to, g->point});
            else clearGlue(c, end);
        }
        if (const int64_t of = labelOf(c)) setLabelOf(c, mapped(of));
    }
}

} // namespace model
