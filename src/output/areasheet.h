// The symbolic sheet of the print-area selection: the paper scaled into a
// drawing area with one rectangle per printed cell, which a click toggles.
#pragma once

#include "model/item.h"

#include <QByteArray>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

namespace output {

// The sheet in screen pixels (measure × pixels per unit).
struct sheetMetrics_t {
    double paperWidth = 0, paperHeight = 0;
    int32_t rows = 1, columns = 1;  // printed cells
    double marginLeft = 0, marginTop = 0;
    double cellWidth = 0, cellHeight = 0;
    double rowGap = 0, columnGap = 0;
};
// From a header; without one, `area` as the paper and one cell.
sheetMetrics_t sheetMetrics(const model::item_t* header, QSize area);

struct areaSheet_t {
    QSize picture;            // the sheet picture, centred in the area
    std::vector<QRect> cells;  // row by row; each from its corner to corner + size (edges included)
    int32_t rows = 0, columns = 0;
};
areaSheet_t layoutAreaSheet(const sheetMetrics_t& m, QSize area);

// The cell (1-based, row by row) under a point of the picture, edges
// included; 0 outside every cell.
int32_t cellAt(const areaSheet_t& sheet, QPoint p);

// The string padded with blanks up to `index`, that cell toggled between
// "x" and blank.
QByteArray toggleArea(QByteArray areas, int32_t index);
// One blank (all print) or one "x" (none print) per cell.
QByteArray uniformAreas(int32_t cells, bool printed);

} // namespace output
