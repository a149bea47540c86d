// Builds small documents in memory for the render tests and benchmarks.
#pragma once

#include "geometry/units.h"
#include "model/item.h"
#include "model/itemlist.h"
#include "model/metrics.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace testdoc {

using model::item_t;
using model::itemList_t;

// A header for a page of w × h pixels (unit pixels) at the zoom.
inline item_t* addHeader(itemList_t& list, int32_t w, int32_t h, double zoom = 1.0, int32_t designType = 0)
{
    item_t* it = model::newItem(list, model::typeHeader);
    it->kind = model::kindHeader;
    model::invalidateIds(list);
    auto& hd = it->hdr();
    hd.zoom = zoom;
    hd.unit = geometry::unitPixels;
    hd.pxPerUnitX = hd.pxPerUnitY = 1.0;
    hd.canvasWidth = w;
    hd.canvasHeight = h;
    hd.paperWidth = w;
    hd.paperHeight = h;
    hd.designType = designType;
    geometry::computeCanvasPixels(it);
    return it;
}

inline void stack(itemList_t& list, item_t* it)
{
    it->zOrder = model::maxZOrder(list) + 1;
    model::noteIds(list, it);
}

inline int32_t weightPx(double mm) { return std::max(1, model::roundHalfEven(mm * model::screen().pxPerMmY)); }

inline item_t* addLine(itemList_t& list, int32_t x1, int32_t y1, int32_t x2, int32_t y2, double weightMm,
                       int32_t pattern = 0, int32_t color = 0, int32_t fill = -2, double outlineMm = 0)
{
    item_t* it = model::newItem(list, model::typeLine);
    it->x1 = x1; it->y1 = y1; it->x2 = x2; it->y2 = y2;
    it->boxLeft = std::min(x1, x2); it->boxRight = std::max(x1, x2);
    it->boxTop = std::min(y1, y2); it->boxBottom = std::max(y1, y2);
    it->angle = geometry::segmentAngle({x1, y1}, {x2, y2});
    it->lineWeight = weightMm;
    it->penWidthPx = weightPx(weightMm);
    it->outlineWeight = outlineMm;
    it->patternIndex = pattern;
    it->lineColor = color;
    it->fillColor = fill;
    stack(list, it);
    return it;
}

inline item_t* addShape(itemList_t& list, int32_t type, std::initializer_list<std::pair<int32_t, int32_t>> pts,
                        int32_t fill = -1, int32_t color = 0, double weightMm = 0, int32_t variant = 2,
                        int32_t sides = 0)
{
    item_t* it = model::newItem(list, type);
    int32_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (auto [x, y] : pts) {
        model::addPoint(it, x, y);
        l = std::min(l, x); t = std::min(t, y); r = std::max(r, x); b = std::max(b, y);
    }
    // A generous box: circles and arcs reach beyond their points.
    const int32_t pad = std::max(r - l, b - t) + 4;
    it->boxLeft = l - pad; it->boxTop = t - pad; it->boxRight = r + pad; it->boxBottom = b + pad;
    it->x1 = it->boxLeft; it->y1 = it->boxTop; it->x2 = it->boxRight; it->y2 = it->boxBottom;
    it->fillColor = fill;
    it->lineColor = color;
    it->lineWeight = weightMm;
    it->penWidthPx = weightPx(weightMm);
    it->shapeVariant = variant;
    it->sides = sides;
    stack(list, it);
    return it;
}

// A pattern record (kind 3) with the given id and lengths in millimetres.
inline item_t* addPattern(itemList_t& list, int32_t id, std::initializer_list<double> mm)
{
    item_t* it = model::newItem(list, id);
    it->kind = model::kindPattern;
    model::invalidateIds(list);
    it->itemType = id;
    int32_t n = 0;
    for (double v : mm) it->pat().segments[n++] = v;
    it->pat().segmentCount = n;
    return it;
}

} // namespace testdoc
