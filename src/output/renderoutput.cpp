#include "output/renderoutput.h"

#include "geometry/units.h"
#include "model/metrics.h"
#include "page/layout.h"
#include "settings/pageset.h"
#include "render/parallel.h"
#include "render/renderpass.h"
#include "render/resample.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace output {

using model::roundHalfEven;

namespace {

constexpr int32_t designDigitalImages = 9;
constexpr int32_t previewPpi = 200;
// A sheet larger than this many pixels is refused rather than allocated.
constexpr int64_t maxSheetPixels = int64_t(1) << 28;

double finiteOr0(double v) { return std::isfinite(v) ? v : 0.0; }

// A horizontal or vertical measure of the header in inches.
double inchesX(const model::headerBody_t& h, double v)
{
    v = finiteOr0(v);
    if (h.unit == geometry::unitPixels) return v / std::max(1, model::screen().screenPpiX);
    if (h.unit == geometry::unitMillimetres) return v / 25.4;
    return v;
}
double inchesY(const model::headerBody_t& h, double v)
{
    v = finiteOr0(v);
    if (h.unit == geometry::unitPixels) return v / std::max(1, model::screen().screenPpiY);
    if (h.unit == geometry::unitMillimetres) return v / 25.4;
    return v;
}

int32_t clampSide(long double v, int32_t low, int32_t high)
{
    return std::clamp(roundHalfEven(v), low, high);
}

// A measure in inches at a resolution, in device pixels, held within ±2^28
// so that sums of a few of them cannot overflow.
int32_t devicePx(int32_t ppi, double inches)
{
    return std::clamp(roundHalfEven(static_cast<long double>(ppi) * inches), -(1 << 28), 1 << 28);
}

bool cardDocument(const model::headerBody_t& h) { return page::isCardType(page::designTypeOf(h.designType)); }

} // namespace

bool isAreaPrinted(const QByteArray& printAreas, int32_t row, int32_t column, int32_t columns)
{
    const int64_t index = int64_t(column) + int64_t(columns) * (int64_t(row) - 1);
    if (index < 1 || index > printAreas.size()) return true;
    return printAreas.at(qsizetype(index - 1)) != crossedOut;
}

cellGrid_t printCells(const model::headerBody_t& h)
{
    const page::cellSize_t c = page::cardCellSize(page::cardLayoutOf(h));
    return {std::max(c.rows, 0), std::max(c.columns, 0)};
}

bool needsAreaSelection(const model::item_t* header)
{
    if (!header) return false;
    const auto& h = header->hdr();
    if (!cardDocument(h)) return false;
    const cellGrid_t c = printCells(h);
    return c.rows > 1 || c.columns > 1;
}

resolution_t previewResolution(const model::item_t* header)
{
    resolution_t r;
    if (!header) return r;
    const auto& h = header->hdr();
    const double w = finiteOr0(h.paperWidth), ht = finiteOr0(h.paperHeight);
    const bool landscape = h.pageOrientation == page::landscape;
    if (h.unit == geometry::unitPixels) {
        r.ppiX = model::screen().screenPpiX;
        r.ppiY = model::screen().screenPpiY;
        r.width = clampSide(w, 10, maxPreviewSide);
        r.height = clampSide(ht, 10, maxPreviewSide);
        return r;
    }
    r.ppiX = r.ppiY = previewPpi;
    if (h.unit == geometry::unitMillimetres) {
        r.width = clampSide(w / 25.4 * previewPpi, 10, maxPreviewSide);
        r.height = clampSide(ht / 25.4 * previewPpi, 10, maxPreviewSide);
        return r;
    }
    r.width = clampSide(w * previewPpi, 10, maxPreviewSide);
    r.height = clampSide(ht * previewPpi, 10, maxPreviewSide);
    if (w < 2 || ht < 2) {
        // Too small to be a sheet: a whole letter page (A4 for an unknown unit).
        const bool inches = h.unit == geometry::unitInches;
        const int32_t shortSide = inches ? 2550 : 2480, longSide = inches ? 3300 : 3508;
        r.width = landscape ? longSide : shortSide;
        r.height = landscape ? shortSide : longSide;
    }
    return r;
}

QSize previewSize(const resolution_t& r)
{
    const auto& s = model::screen();
    const int32_t w = roundHalfEven(static_cast<long double>(r.width) / std::max(r.ppiX, 1) * s.screenPpiX);
    const int32_t h = roundHalfEven(static_cast<long double>(r.height) / std::max(r.ppiY, 1) * s.screenPpiY);
    return {std::max(w, 1), std::max(h, 1)};
}

device_t screenDevice(const model::item_t* header, int32_t mode)
{
    device_t d;
    if (!header) return d;
    const auto& h = header->hdr();
    if (mode == modePreview) {
        const resolution_t r = previewResolution(header);
        d.ppiX = r.ppiX;
        d.ppiY = r.ppiY;
        d.pageWidth = r.width;
        d.pageHeight = r.height;
        if (h.unit == geometry::unitPixels) {
            d.ppiX *= 2;
            d.ppiY *= 2;
            d.pageWidth *= 2;
            d.pageHeight *= 2;
        }
        return d;
    }
    const auto& s = model::screen();
    d.ppiX = s.screenPpiX;
    d.ppiY = s.screenPpiY;
    if (h.unit == geometry::unitPixels) {
        d.pageWidth = clampSide(finiteOr0(h.paperWidth), 1, maxPreviewSide);
        d.pageHeight = clampSide(finiteOr0(h.paperHeight), 1, maxPreviewSide);
    } else {
        d.pageWidth = clampSide(inchesX(h, h.paperWidth) * s.screenPpiX, 1, maxPreviewSide);
        d.pageHeight = clampSide(inchesY(h, h.paperHeight) * s.screenPpiY, 1, maxPreviewSide);
    }
    return d;
}

sheetPlacement_t placeSheet(const model::headerBody_t& h, const device_t& device)
{
    sheetPlacement_t p;
    const int32_t type = page::designTypeOf(h.designType);
    if (type == designDigitalImages) return p;
    if (!page::isCardType(type)) {
        p.origin = QPoint(-device.offX, -device.offY);
        return p;
    }
    p.cards = true;
    const page::cardLayout_t l = page::cardLayoutOf(h);
    const page::cellSize_t c = page::cardCellSize(l);
    p.cells = {std::max(c.rows, 0), std::max(c.columns, 0)};
    p.cellWidth = devicePx(device.ppiX, inchesX(h, c.width));
    p.cellHeight = devicePx(device.ppiY, inchesY(h, c.height));
    p.columnGap = devicePx(device.ppiX, inchesX(h, l.columnGap));
    p.rowGap = devicePx(device.ppiY, inchesY(h, l.rowGap));
    p.origin = QPoint(devicePx(device.ppiX, inchesX(h, l.marginLeft)) - device.offX,
                      devicePx(device.ppiY, inchesY(h, l.marginTop)) - device.offY);
    // The copies reach half-way into the gaps (never past the paper's edge),
    // so that a card cut a little off its line shows no white rim.
    if (p.columnGap > 0) p.bleedX = std::min(std::abs(p.origin.x()), p.columnGap / 2);
    if (p.rowGap > 0) p.bleedY = std::min(std::abs(p.origin.y()), p.rowGap / 2);
    return p;
}

int32_t cellOffset(int32_t index, int32_t cell, int32_t gap)
{
    const int64_t v = int64_t(index - 1) * (int64_t(cell) + gap);
    return int32_t(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30));
}

bool outputFits(int64_t w, int64_t h)
{
    return w >= 1 && h >= 1 && w <= INT32_MAX / 4 && w * h <= maxSheetPixels;
}

namespace {

// The rows of a sheet, written straight: threads finishing areas of one
// sheet must not go through its QImage, which counts every write access.
struct sheetRows_t {
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
    QRect rect;
    uint32_t* row(int y) const { return reinterpret_cast<uint32_t*>(bits + y * bytesPerLine); }
};

void fillWhite(const sheetRows_t& sheet, QRect r)
{
    r = r.intersected(sheet.rect);
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) std::fill_n(sheet.row(y) + r.left(), r.width(), 0xFFFFFFFFu);
}

// Copies `part` (a snapshot of the source rectangle `from`; pixels of `from`
// outside the sheet are not in it) to `from` moved by `by`, clipped to the
// sheet and to `within`.
void pasteCell(const sheetRows_t& sheet, const QImage& part, QRect from, QPoint by, const QRect& within)
{
    const QRect have = from.intersected(sheet.rect);
    const QRect to = have.translated(by).intersected(sheet.rect).intersected(within);
    if (to.isEmpty()) return;
    for (int y = to.top(); y <= to.bottom(); ++y) {
        const int sy = y - by.y() - have.top();
        const int sx = to.left() - by.x() - have.left();
        std::memcpy(sheet.row(y) + to.left(), part.constScanLine(sy) + size_t(sx) * 4, size_t(to.width()) * 4);
    }
}

} // namespace

sheetInProgress_t::sheetInProgress_t(const model::itemList_t& document, const device_t& device, const QByteArray& printAreas)
    : printAreas_(printAreas)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return;
    const int64_t w = int64_t(device.pageWidth) - 2 * int64_t(device.offX);
    const int64_t h = int64_t(device.pageHeight) - 2 * int64_t(device.offY);
    if (!outputFits(w, h)) return;
    sheet_ = render::largeImage(QSize(int(w), int(h)), QImage::Format_RGB32);
    if (sheet_.isNull()) return;

    placement_ = placeSheet(header->hdr(), device);
    const sheetPlacement_t& p = placement_;
    const auto& s = model::screen();
    const double scaleX = double(device.ppiX) / std::max(1, s.screenPpiX);
    const double scaleY = double(device.ppiY) / std::max(1, s.screenPpiY);
    render::renderItemsToBitmap(sheet_, document, render::paintingOrder(document), p.origin, scaleX, scaleY, 0xFFFFFFFFu);
    const int32_t ox = p.origin.x(), oy = p.origin.y();
    source_ = QRect(QPoint(ox - p.bleedX, oy - p.bleedY),
                    QPoint(ox + p.cellWidth + p.bleedX - 1, oy + p.cellHeight + p.bleedY - 1));
    // The copies come from the first cell as drawn, before any is pasted.
    if (p.cards && (p.cells.rows > 1 || p.cells.columns > 1)) part_ = sheet_.copy(source_.intersected(sheet_.rect()));
    pixels_ = sheet_.bits();
}

void sheetInProgress_t::finish(const QRect& area)
{
    if (sheet_.isNull()) return;
    const sheetPlacement_t& p = placement_;
    const sheetRows_t rows{pixels_, sheet_.bytesPerLine(), sheet_.rect()};
    auto whiten = [&](const QRect& r) { fillWhite(rows, r.intersected(area)); };
    if (p.cards && (p.cells.rows > 1 || p.cells.columns > 1)) {
        for (int32_t j = 1; j <= p.cells.rows; ++j)
            for (int32_t i = 1; i <= p.cells.columns; ++i) {
                if (i == 1 && j == 1) continue;
                const QPoint by(cellOffset(i, p.cellWidth, p.columnGap), cellOffset(j, p.cellHeight, p.rowGap));
                if (isAreaPrinted(printAreas_, j, i, p.cells.columns)) pasteCell(rows, part_, source_, by, area);
                else whiten(source_.translated(by));
            }
        // A single cell always prints: nobody is asked about it, so a string
        // left from an earlier page setup must not blank the page.
        if (!isAreaPrinted(printAreas_, 1, 1, p.cells.columns))
            whiten(QRect(QPoint(0, 0), QPoint(source_.right(), source_.bottom())));
    }
    if (p.cards) {
        whiten(QRect(0, 0, std::max(p.origin.x(), 0), sheet_.height()));
        whiten(QRect(0, 0, sheet_.width(), std::max(p.origin.y(), 0)));
    }
}

QImage renderSheet(const model::itemList_t& document, const device_t& device, const QByteArray& printAreas)
{
    sheetInProgress_t sheet(document, device, printAreas);
    sheet.finish(sheet.image().rect());
    return sheet.image();
}

namespace {

// The sheet in columns of tiles, each column made (prepared, its tiles made
// into `data_t` by `make`) ahead on the drawing threads and handed to the
// sink in order on the calling thread.
template <typename data_t, typename make_t, typename sink_t>
bool tilesAhead(const QImage& sheet, const make_t& make, const sink_t& sink,
                const std::function<void(const QRect& column)>& prepare)
{
    struct tile_t {
        data_t data;
        QRect area;
    };
    const int32_t columns = tilesAcross(sheet.width());
    std::vector<std::vector<tile_t>> made(size_t(std::max(columns, 0)));
    // A few columns ahead of the sink keep the threads busy without holding
    // a copy of the whole sheet.
    constexpr int32_t columnsAhead = 3;
    return render::makeAhead(
        columns, columnsAhead,
        [&](int32_t c) {
            const int x = c * tileSize, w = std::min(tileSize, sheet.width() - x);
            if (prepare) prepare(QRect(x, 0, w, sheet.height()));
            for (int y = 0; y < sheet.height(); y += tileSize) {
                const QRect r(x, y, w, std::min(tileSize, sheet.height() - y));
                made[size_t(c)].push_back({make(r), r});
            }
        },
        [&](int32_t c) {
            const std::vector<tile_t> tiles = std::move(made[size_t(c)]);
            for (const tile_t& t : tiles)
                if (!sink(t.data, t.area)) return false;
            return true;
        });
}

} // namespace

bool sendTiles(const QImage& sheet, const tileSink_t& sink, const std::function<void(const QRect& column)>& prepare)
{
    return tilesAhead<QImage>(
        sheet, [&](const QRect& r) { return sheet.copy(r); },
        [&](const QImage& tile, const QRect& area) { return sink(tile, area.topLeft()); }, prepare);
}

bool sendEncodedTiles(const QImage& sheet, const std::function<QByteArray(const QImage& tile)>& encode,
                      const encodedTileSink_t& sink, const std::function<void(const QRect& column)>& prepare)
{
    Q_ASSERT(sheet.depth() == 32);
    return tilesAhead<QByteArray>(
        sheet,
        [&](const QRect& r) {
            // A window onto the sheet's rows, read only.
            QImage view(sheet.constScanLine(r.y()) + size_t(r.x()) * 4, r.width(), r.height(), sheet.bytesPerLine(),
                        sheet.format());
            view.setDotsPerMeterX(sheet.dotsPerMeterX());
            view.setDotsPerMeterY(sheet.dotsPerMeterY());
            return encode(view);
        },
        sink, prepare);
}

namespace {

// The sheet resized with the triangle filter (a copy when the size is already right).
QImage reduced(const QImage& sheet, QSize target)
{
    if (sheet.isNull()) return {};
    if (sheet.size() == target) return sheet;
    QImage out(target, QImage::Format_RGB32);
    if (out.isNull()) return {};
    out.fill(0xFFFFFFFFu);
    render::pixelBuffer_t from{const_cast<uint8_t*>(sheet.constBits()), sheet.width(), sheet.height(),
                               int32_t(sheet.bytesPerLine()), 4};
    render::pixelBuffer_t to{out.bits(), out.width(), out.height(), int32_t(out.bytesPerLine()), 4};
    if (!render::resampleInto(from, to, render::filterTriangle))
        out = sheet.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    return out;
}

} // namespace

QImage previewImage(const model::itemList_t& document, const QByteArray& printAreas)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return {};
    const QImage sheet = renderSheet(document, screenDevice(header, modePreview), printAreas);
    return reduced(sheet, previewSize(previewResolution(header)));
}

QImage exactImage(const model::itemList_t& document)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return {};
    const auto& h = header->hdr();
    const QImage sheet = renderSheet(document, screenDevice(header, modeExport), QByteArray());
    QSize target;
    if (page::designTypeOf(h.designType) == designDigitalImages)
        target = QSize(clampSide(finiteOr0(h.paperWidth), 1, maxPreviewSide),
                       clampSide(finiteOr0(h.paperHeight), 1, maxPreviewSide));
    else target = previewSize(previewResolution(header));
    return reduced(sheet, target);
}

} // namespace output
