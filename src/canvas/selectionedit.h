// What the pointer's modes share when they change the selection on the
// canvas: the area a selected item covers (its pen and marks inside).
#pragma once

#include "geometry/units.h"
#include "model/item.h"
#include "render/renderpass.h"

#include <QRect>

#include <algorithm>

#include <vector>

namespace canvas {

class TSandbox;

// The canvas rectangle spanned by two corners given as inclusive edges in any order.
inline QRect spanRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    return QRect(QPoint(std::min(l, r), std::min(t, b)), QPoint(std::max(l, r), std::max(t, b)));
}

// Draws a dotted guide line from `from` to `to` (canvas pixels) over the
// save-under `under`, which then holds the pixels beneath it.
void drawGuide(TSandbox& w, render::savedArea_t& under, geometry::point_t from, geometry::point_t to);

// The canvas area the items cover while selected; `moving` leaves room for
// a drag's marks and rounding.
QRect coveredArea(TSandbox& w, const std::vector<model::item_t*>& items, bool moving);

// Paints `area` of the canvas again (without the selected items when
// `skipSelected`). The area is painted on a piece of its own and copied in,
// so that items reaching out of it cannot paint over their neighbours.
void repaintPiece(TSandbox& w, const QRect& area, bool skipSelected);

} // namespace canvas
