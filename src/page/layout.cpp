#include "page/layout.h"

#include <cmath>

namespace page {

namespace {
bool finite(double v) { return std::isfinite(v); }
double safe(double v) { return finite(v) ? v : 0.0; }
} // namespace

cardLayout_t cardLayoutOf(const model::headerBody_t& h)
{
    cardLayout_t l;
    l.marginLeft = safe(h.marginLeft);
    l.marginTop = safe(h.marginTop);
    l.cardWidth = safe(h.cardWidth);
    l.cardHeight = safe(h.cardHeight);
    l.columnGap = safe(h.columnGap);
    l.rowGap = safe(h.rowGap);
    l.rows = h.rows;
    l.columns = h.columns;
    l.rowFold = h.rowFold != 0;
    l.columnFold = h.columnFold != 0;
    return l;
}

cardLayout_t cardLayoutOf(const miry_t& m, int32_t unit)
{
    auto num = [unit](const QString& t) {
        double v = 0;
        return parsePageMeasure(t, unit, v) ? v : 0.0;
    };
    auto whole = [](const QString& t) {
        int32_t v = 0;
        return parsePageWhole(t, v) ? v : 0;
    };
    cardLayout_t l;
    l.marginLeft = num(m.marginLeft);
    l.marginTop = num(m.marginTop);
    l.cardWidth = num(m.cardWidth);
    l.cardHeight = num(m.cardHeight);
    l.columnGap = num(m.columnGap);
    l.rowGap = num(m.rowGap);
    l.rows = whole(m.rows);
    l.columns = whole(m.columns);
    l.rowFold = m.rowFold != 0;
    l.columnFold = m.columnFold != 0;
    return l;
}

namespace {
double along(double margin, double size, double gap, bool folded, int32_t index)
{
    const double k = index - 1;
    if (!folded) return margin + k * (size + gap);
    return margin + k * size + std::trunc(k / 2) * gap;
}
} // namespace

layoutPoint_t cardOrigin(const cardLayout_t& l, int32_t column, int32_t row)
{
    return {along(l.marginLeft, l.cardWidth, l.columnGap, l.columnFold, column),
            along(l.marginTop, l.cardHeight, l.rowGap, l.rowFold, row)};
}

cellSize_t cardCellSize(const cardLayout_t& l)
{
    cellSize_t c;
    if (l.rowFold && l.rows > 1) {
        c.rows = l.rows / 2;
        c.height = 2 * l.cardHeight;
    } else {
        c.rows = l.rows;
        c.height = l.cardHeight;
    }
    if (l.columnFold && l.columns > 1) {
        c.columns = l.columns / 2;
        c.width = 2 * l.cardWidth;
    } else {
        c.columns = l.columns;
        c.width = l.cardWidth;
    }
    return c;
}

} // namespace page
