// What the pointer's modes share when they change the selection on the
// canvas: the area a selected item covers (its pen and marks inside).
#pragma once

#include "model/item.h"

#include <QRect>

#include <vector>

namespace canvas {

class TSandbox;

// The canvas area the items cover while selected; `moving` leaves room for
// a drag's marks and rounding.
QRect coveredArea(TSandbox& w, const std::vector<model::item_t*>& items, bool moving);

} // namespace canvas
