#include "output/areasheet.h"

#include "model/metrics.h"
#include "output/renderoutput.h"
#include "page/layout.h"

#include <algorithm>
#include <cmath>

namespace output {

using model::roundHalfEven;

namespace {
double finite(double v) { return std::isfinite(v) ? v : 0.0; }
// Cells drawn at most; a larger grid is a typing slip, not a sheet.
constexpr int32_t maxCells = 10000;
} // namespace

sheetMetrics_t sheetMetrics(const model::item_t* header, QSize area)
{
    sheetMetrics_t m;
    if (!header) {
        m.paperWidth = area.width();
        m.paperHeight = area.height();
        return m;
    }
    const auto& h = header->hdr();
    const double sx = finite(h.pxPerUnitX), sy = finite(h.pxPerUnitY);
    const cellGrid_t cells = printCells(h);
    m.paperWidth = finite(h.paperWidth) * sx;
    m.paperHeight = finite(h.paperHeight) * sy;
    m.rows = cells.rows;
    m.columns = cells.columns;
    m.marginLeft = finite(h.marginLeft) * sx;
    m.marginTop = finite(h.marginTop) * sy;
    m.cellWidth = finite(h.cardWidth) * sx * (h.columnFold && h.columns > 1 ? 2 : 1);
    m.cellHeight = finite(h.cardHeight) * sy * (h.rowFold && h.rows > 1 ? 2 : 1);
    m.rowGap = finite(h.rowGap) * sy;
    m.columnGap = finite(h.columnGap) * sx;
    return m;
}

areaSheet_t layoutAreaSheet(const sheetMetrics_t& m, QSize area)
{
    areaSheet_t a;
    const double larger = std::max(m.paperWidth, m.paperHeight);
    if (!(larger > 0)) return a;
    const double s = 0.9 * std::min(area.width(), area.height()) / larger;
    a.rows = std::clamp(m.rows, 0, maxCells);
    a.columns = std::clamp(m.columns, 0, a.rows > 0 ? maxCells / a.rows : maxCells);
    auto px = [s](double v) { return std::clamp(roundHalfEven(s * v), -(1 << 20), 1 << 20); };
    a.picture = QSize(std::max(px(m.paperWidth) + 2 * a.columns, 1), std::max(px(m.paperHeight) + 2 * a.rows, 1));
    const int32_t w = px(m.cellWidth), h = px(m.cellHeight);
    const int32_t colStep = w + px(m.columnGap) + 1, rowStep = h + px(m.rowGap) + 1;
    a.cells.reserve(size_t(a.rows) * size_t(a.columns));
    for (int32_t j = 0; j < a.rows; ++j)
        for (int32_t i = 0; i < a.columns; ++i)
            a.cells.emplace_back(px(m.marginLeft) + i * colStep, px(m.marginTop) + j * rowStep, w, h);
    return a;
}

int32_t cellAt(const areaSheet_t& sheet, QPoint p)
{
    for (size_t k = 0; k < sheet.cells.size(); ++k) {
        const QRect& r = sheet.cells[k];
        if (p.x() >= r.x() && p.x() <= r.x() + r.width() && p.y() >= r.y() && p.y() <= r.y() + r.height())
            return int32_t(k) + 1;
    }
    return 0;
}

QByteArray toggleArea(QByteArray areas, int32_t index)
{
    if (index < 1) return areas;
    if (areas.size() < index) areas.append(QByteArray(index - areas.size(), ' '));
    char& c = areas[index - 1];
    c = c == crossedOut ? ' ' : crossedOut;
    return areas;
}

QByteArray uniformAreas(int32_t cells, bool printed)
{
    return QByteArray(std::clamp(cells, 0, maxCells), printed ? ' ' : crossedOut);
}

} // namespace output
