#include "model/grid.h"

#include "model/itemlist.h"

#include <algorithm>
#include <cmath>

namespace model {

using geometry::clampToInt32;
using geometry::point_t;



namespace {

int32_t positionOf(const anchorNode_t* a, bool xAxis)
{
    return xAxis ? anchorPositionX(a) : anchorPositionY(a);
}

anchorList_t& listOf(item_t* grid, bool xAxis)
{
    return xAxis ? grid->anchorsX : grid->anchorsY;
}

void addAnchor(item_t* grid, bool xAxis, int32_t position)
{
    if (xAxis) addAnchorX(grid, position);
    else addAnchorY(grid, position);
}

// The density of a direction in 100 % pixels; 0 when it gives no grid.
double stepPx(const headerBody_t& hd, bool xAxis)
{
    const double s = xAxis ? hd.anchorStepX * hd.pxPerUnitX : hd.anchorStepY * hd.pxPerUnitY;
    return std::isfinite(s) && s >= 1.0 ? s : 0.0;
}

// How many density steps fit on the page (the page's extent in the unit
// divided by the density, truncated), at most the generation limit.
int64_t stepsOnPage(const headerBody_t& hd, bool xAxis)
{
    const double extent = xAxis ? hd.canvasWidth : hd.canvasHeight;
    const double step = xAxis ? hd.anchorStepX : hd.anchorStepY;
    if (!(step > 0.0) || !std::isfinite(extent) || !(extent > 0.0)) return -1;
    const double n = std::trunc(extent / step);
    return static_cast<int64_t>(std::min<double>(n, maxGeneratedGridlines));
}

// The page's right (bottom) edge in 100 % pixels, in grid positions.
int64_t pageEnd(const headerBody_t& hd, bool xAxis)
{
    const double extent = xAxis ? hd.canvasWidth * hd.pxPerUnitX : hd.canvasHeight * hd.pxPerUnitY;
    return int64_t(xAxis ? pageOriginX(hd) : pageOriginY(hd)) + roundHalfEven(extent);
}

// Equal spacing in one direction: gridlines k = first … n steps from the edge.
void fillEven(item_t* grid, const headerBody_t& hd, bool xAxis, int64_t first)
{
    const double step = stepPx(hd, xAxis);
    const int64_t n = stepsOnPage(hd, xAxis);
    if (step <= 0.0 || n < 0) return;
    const int32_t origin = xAxis ? pageOriginX(hd) : pageOriginY(hd);
    for (int64_t k = first; k <= n; ++k) addAnchor(grid, xAxis, evenGridPosition(origin, step, k));
}

int32_t pageOrigin(double edge, double pxPerUnit)
{
    const long double v = static_cast<long double>(edge) * pxPerUnit;
    return std::isfinite(static_cast<double>(v)) ? roundHalfEven(v) : 0;
}

} // namespace

int32_t pageOriginX(const headerBody_t& hd)
{
    return pageOrigin(hd.canvasLeft, hd.pxPerUnitX);
}

int32_t pageOriginY(const headerBody_t& hd)
{
    return pageOrigin(hd.canvasTop, hd.pxPerUnitY);
}

int32_t evenGridPosition(int32_t origin, double step, int64_t k)
{
    return clampToInt32(int64_t(origin) + roundHalfEven(static_cast<long double>(k) * step));
}

// ---------------------------------------------------------------- index

void gridAxisIndex_t::build(const anchorList_t& anchors, bool xAxis)
{
    entries_.clear();
    int32_t order = 0;
    for (const anchorNode_t* a = anchors.head; a; a = a->next, ++order)
        if (!a->deleted) entries_.push_back({positionOf(a, xAxis), order});
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const entry_t& a, const entry_t& b) { return a.position < b.position; });
    // Of gridlines on the same position only the first in the list can win.
    entries_.erase(std::unique(entries_.begin(), entries_.end(),
                               [](const entry_t& a, const entry_t& b) { return a.position == b.position; }),
                   entries_.end());
    // stable_sort kept list order among equals, so the survivor is the first.
}

std::optional<int32_t> gridAxisIndex_t::nearest(int64_t v) const
{
    if (entries_.empty()) return std::nullopt;
    auto above = std::lower_bound(entries_.begin(), entries_.end(), v,
                                  [](const entry_t& e, int64_t value) { return e.position < value; });
    if (above == entries_.begin()) return above->position;
    auto below = std::prev(above);
    if (above == entries_.end()) return below->position;
    const int64_t db = v - below->position, da = above->position - v;
    if (db != da) return db < da ? below->position : above->position;
    return below->order < above->order ? below->position : above->position;
}

std::vector<int32_t> gridAxisIndex_t::between(int64_t from, int64_t to) const
{
    std::vector<int32_t> out;
    auto it = std::lower_bound(entries_.begin(), entries_.end(), from,
                               [](const entry_t& e, int64_t value) { return e.position < value; });
    for (; it != entries_.end() && it->position <= to; ++it) out.push_back(it->position);
    return out;
}

void gridIndex_t::refresh(const item_t* grid)
{
    // Every change of the grid is a new version of the record with a step of
    // its own; the ends of its lists guard against an address reused by
    // another version. Checking them costs nothing, unlike counting.
    const void* ends[4] = {};
    if (grid) {
        ends[0] = grid->anchorsX.head;
        ends[1] = grid->anchorsX.tail;
        ends[2] = grid->anchorsY.head;
        ends[3] = grid->anchorsY.tail;
    }
    if (grid && grid == source && grid->stepId == sourceStep && std::equal(ends, ends + 4, sourceEnds)) return;
    source = grid;
    sourceStep = grid ? grid->stepId : 0;
    std::copy(ends, ends + 4, sourceEnds);
    if (grid) {
        x.build(grid->anchorsX, true);
        y.build(grid->anchorsY, false);
    } else {
        x = {};
        y = {};
    }
}

// ---------------------------------------------------------------- snapping

point_t snapPoint(const headerBody_t& hd, const gridIndex_t& index, double zoom, point_t doc, point_t viewOrigin)
{
    point_t d = doc;
    if (hd.snapX)
        if (auto g = index.x.nearest(int64_t(doc.x) + pageOriginX(hd))) d.x = gridToDoc(*g, pageOriginX(hd));
    if (hd.snapY)
        if (auto g = index.y.nearest(int64_t(doc.y) + pageOriginY(hd))) d.y = gridToDoc(*g, pageOriginY(hd));
    return geometry::docToScreenPoint(zoom, d.x, d.y, viewOrigin);
}

void snapPointsNearGrid(const headerBody_t& hd, const gridIndex_t& index, pointList_t& points)
{
    const double densityX = std::fabs(hd.anchorStepX * hd.pxPerUnitX);
    const double densityY = std::fabs(hd.anchorStepY * hd.pxPerUnitY);
    const int32_t px = pageOriginX(hd), py = pageOriginY(hd);
    auto fine = [](int32_t& c, const gridAxisIndex_t& axis, int32_t origin, double density) {
        const auto g = axis.nearest(int64_t(c) + origin);
        if (!g || !(density > 0.0)) return;
        const int32_t s = gridToDoc(*g, origin);
        const double off = std::fabs(double(s) - c);
        if (off > 0 && off / density < 0.07) c = s;
    };
    for (pointNode_t* n = points.head; n; n = n->next) {
        if (hd.snapX) fine(n->p.x, index.x, px, densityX);
        if (hd.snapY) fine(n->p.y, index.y, py, densityY);
    }
}

// ---------------------------------------------------------------- editing

void addInitialGrid(item_t* grid, const headerBody_t& hd)
{
    fillEven(grid, hd, true, 0);
    fillEven(grid, hd, false, 0);
}

void resetGrid(item_t* grid, const headerBody_t& hd, int32_t directions)
{
    for (bool xAxis : {true, false}) {
        if (!(directions & (xAxis ? gridHorizontal : gridVertical))) continue;
        freeNodes(listOf(grid, xAxis));
        fillEven(grid, hd, xAxis, 1);
    }
}

std::vector<gridlineAt_t> gridExtension(const item_t* grid, const headerBody_t& hd, int32_t directions)
{
    std::vector<gridlineAt_t> out;
    for (bool xAxis : {true, false}) {
        if (!(directions & (xAxis ? gridHorizontal : gridVertical))) continue;
        const double step = stepPx(hd, xAxis);
        if (step <= 0.0) continue;
        int64_t largest = INT64_MIN;
        for (const anchorNode_t* a = (xAxis ? grid->anchorsX : grid->anchorsY).head; a; a = a->next)
            largest = std::max<int64_t>(largest, positionOf(a, xAxis));
        const int32_t origin = xAxis ? pageOriginX(hd) : pageOriginY(hd);
        const int64_t end = pageEnd(hd, xAxis);
        // Start near the last gridline rather than walking every step before it.
        int64_t k = 1;
        if (largest != INT64_MIN) k = std::max<int64_t>(1, static_cast<int64_t>(std::min(1e15, std::floor((largest - origin) / step))));
        for (int32_t made = 0; made < maxGeneratedGridlines; ++k) {
            const int32_t pos = evenGridPosition(origin, step, k);
            if (pos >= end) break;
            if (pos > largest) {
                out.push_back({xAxis, pos});
                ++made;
            }
        }
    }
    return out;
}

int32_t extendGrid(item_t* grid, const headerBody_t& hd, int32_t directions)
{
    const std::vector<gridlineAt_t> add = gridExtension(grid, hd, directions);
    for (const gridlineAt_t& g : add) addAnchor(grid, g.xAxis, g.position);
    return static_cast<int32_t>(add.size());
}

void shiftGrid(item_t* grid, int32_t directions, int32_t delta)
{
    for (bool xAxis : {true, false}) {
        if (!(directions & (xAxis ? gridHorizontal : gridVertical))) continue;
        anchorList_t& list = listOf(grid, xAxis);
        if (!list.head) continue;
        const int64_t first = int64_t(positionOf(list.head, xAxis)) + delta;
        const int64_t by = first < 0 ? int64_t(delta) - first : delta;
        for (anchorNode_t* a = list.head; a; a = a->next)
            moveAnchor(a, xAxis, clampToInt32(int64_t(positionOf(a, xAxis)) + by));
    }
}

bool deleteHotGridlines(item_t* grid)
{
    bool any = false;
    for (bool xAxis : {true, false})
        for (anchorNode_t* a = listOf(grid, xAxis).head; a; a = a->next)
            if (a->hot && !a->deleted) {
                a->deleted = 1;
                a->hot = 0;
                any = true;
            }
    return any;
}

anchorNode_t* hotAnchor(item_t* grid, bool xAxis)
{
    if (!grid) return nullptr;
    for (anchorNode_t* a = listOf(grid, xAxis).head; a; a = a->next)
        if (a->hot && !a->deleted) return a;
    return nullptr;
}

void moveAnchor(anchorNode_t* a, bool xAxis, int32_t position)
{
    const anchorMarker_t m;
    if (xAxis) {
        a->left = clampToInt32(int64_t(position) - m.width / 2);
        a->right = clampToInt32(int64_t(a->left) + m.width);
    } else {
        a->top = clampToInt32(int64_t(position) - m.height / 2);
        a->bottom = clampToInt32(int64_t(a->top) + m.height);
    }
}

} // namespace model
