#include "output/cropmarks.h"

#include "model/metrics.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <set>

namespace output {

std::vector<QLine> cropMarkLines(const model::headerBody_t& h, const device_t& device)
{
    std::vector<QLine> out;
    const sheetPlacement_t p = placeSheet(h, device);
    if (!p.cards || p.cells.rows < 1 || p.cells.columns < 1 || p.cellWidth < 1 || p.cellHeight < 1) return out;
    auto px = [](double mm, int32_t ppi) { return std::max(1, model::roundHalfEven(mm / 25.4 * ppi)); };
    const int32_t gapX = px(cropMarkGapMm, device.ppiX), gapY = px(cropMarkGapMm, device.ppiY);
    const int32_t lengthX = px(cropMarkLengthMm, device.ppiX), lengthY = px(cropMarkLengthMm, device.ppiY);

    std::set<int32_t> xs, ys;  // every cell edge once (adjacent cells share theirs)
    for (int32_t c = 1; c <= p.cells.columns; ++c) {
        const int32_t left = p.origin.x() + cellOffset(c, p.cellWidth, p.columnGap);
        xs.insert(left);
        xs.insert(left + p.cellWidth);
    }
    for (int32_t r = 1; r <= p.cells.rows; ++r) {
        const int32_t top = p.origin.y() + cellOffset(r, p.cellHeight, p.rowGap);
        ys.insert(top);
        ys.insert(top + p.cellHeight);
    }
    const int32_t gridLeft = *xs.begin(), gridRight = *xs.rbegin();
    const int32_t gridTop = *ys.begin(), gridBottom = *ys.rbegin();
    const int32_t pageRight = device.pageWidth - device.offX, pageBottom = device.pageHeight - device.offY;
    const int32_t pageLeft = -device.offX, pageTop = -device.offY;

    // A mark runs outwards from `gap` off the grid, cut at the paper's edge;
    // a margin with no room past the gap has none.
    for (const int32_t x : xs) {
        const int32_t topEnd = gridTop - gapY, topStart = std::max(topEnd - lengthY, pageTop);
        if (topEnd > topStart) out.push_back(QLine(x, topStart, x, topEnd));
        const int32_t bottomStart = gridBottom + gapY, bottomEnd = std::min(bottomStart + lengthY, pageBottom);
        if (bottomEnd > bottomStart) out.push_back(QLine(x, bottomStart, x, bottomEnd));
    }
    for (const int32_t y : ys) {
        const int32_t leftEnd = gridLeft - gapX, leftStart = std::max(leftEnd - lengthX, pageLeft);
        if (leftEnd > leftStart) out.push_back(QLine(leftStart, y, leftEnd, y));
        const int32_t rightStart = gridRight + gapX, rightEnd = std::min(rightStart + lengthX, pageRight);
        if (rightEnd > rightStart) out.push_back(QLine(rightStart, y, rightEnd, y));
    }
    return out;
}

int32_t cropMarkWidth(const device_t& device) { return std::max(1, model::roundHalfEven(device.ppiX / 288.0)); }

void drawCropMarks(QPainter& painter, const model::headerBody_t& h, const device_t& device)
{
    const std::vector<QLine> lines = cropMarkLines(h, device);
    if (lines.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black);
    pen.setWidth(cropMarkWidth(device));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLines(lines.data(), int(lines.size()));
    painter.restore();
}

} // namespace output
