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

layoutPoint_t cellOrigin(const cardLayout_t& l, int32_t column, int32_t row)
{
    // A folded cell starts at the first card of its pair.
    const int32_t c = (l.columnFold && l.columns > 1) ? 2 * column - 1 : column;
    const int32_t r = (l.rowFold && l.rows > 1) ? 2 * row - 1 : row;
    return cardOrigin(l, c, r);
}

pageGuides_t pageGuides(const model::headerBody_t& h)
{
    pageGuides_t g;
    const int32_t d = designTypeOf(h.designType);
    if (d < 1 || d > designTypeCount) return g;
    const double sx = safe(h.pxPerUnitX), sy = safe(h.pxPerUnitY);
    const double paperW = safe(h.paperWidth) * sx, paperH = safe(h.paperHeight) * sy;
    const double cardW = safe(h.cardWidth) * sx, cardH = safe(h.cardHeight) * sy;
    const double left = safe(h.marginLeft) * sx, top = safe(h.marginTop) * sy;
    if (d == 1 || (d >= 6 && d <= 10)) {
        g.marginFrame = true;
        g.marginLeft = left;
        g.marginTop = top;
        g.marginRight = paperW - safe(h.marginRight) * sx;
        g.marginBottom = paperH - safe(h.marginBottom) * sy;
    }
    if (isCardType(d)) {
        g.designRight = h.columnFold ? 2 * cardW : cardW;
        g.designBottom = h.rowFold ? 2 * cardH : cardH;
        g.foldVertical = h.columnFold != 0;
        g.foldX = cardW;
        g.foldHorizontal = h.rowFold != 0;
        g.foldY = cardH;
    } else {
        g.designRight = paperW;
        g.designBottom = paperH;
    }
    if (d == 10) {
        // Bounded so that a hostile header cannot ask for millions of lines.
        if (h.columnFold)
            for (int32_t k = 1; k < h.columns && k <= 1000; ++k) g.panelX.push_back(k * cardW + left);
        if (h.rowFold)
            for (int32_t k = 1; k < h.rows && k <= 1000; ++k) g.panelY.push_back(k * cardH + top);
    }
    return g;
}

} // namespace page
