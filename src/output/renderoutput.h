// The output engine: the whole sheet of a document in device pixels, for the
// printer (sent in tiles), the print preview and the picture export. Card
// documents are drawn once at the first card and copied to every other cell
// of the sheet; crossed-out cells stay white.
#pragma once

#include "model/item.h"
#include "model/itemlist.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>

#include <cstdint>
#include <functional>

namespace output {

// What the sheet is made for.
constexpr int32_t modePrint = 0;
constexpr int32_t modePreview = 1;
constexpr int32_t modeExport = 2;

// The printer receives the sheet in tiles of this size.
constexpr int32_t tileSize = 512;
// How many tiles cover `length` pixels (the last one may be narrower).
constexpr int32_t tilesAcross(int32_t length) { return (length + tileSize - 1) / tileSize; }
// Largest side of a preview page.
constexpr int32_t maxPreviewSide = 32000;

// The cell marked crossed out in a print-area string.
constexpr char crossedOut = 'x';

// Whether cell (row, column), both from 1, prints: any character but "x", and
// every cell beyond the end of the string, prints.
bool isAreaPrinted(const QByteArray& printAreas, int32_t row, int32_t column, int32_t columns);

// Rows and columns of printed cells (a folded pair of cards is one cell).
struct cellGrid_t {
    int32_t rows = 0, columns = 0;
};
cellGrid_t printCells(const model::headerBody_t& h);

// A card document with more than one cell asks which cells to print first.
bool needsAreaSelection(const model::item_t* header);

// Pixels per inch and page size of the preview and the smooth export.
struct resolution_t {
    int32_t ppiX = 200, ppiY = 200;
    int32_t width = 1600, height = 1600;
};
resolution_t previewResolution(const model::item_t* header);

// The device a sheet is drawn for: resolution, physical offsets of the
// printable area and the physical page, in device pixels.
struct device_t {
    int32_t ppiX = 96, ppiY = 96;
    int32_t offX = 0, offY = 0;
    int32_t pageWidth = 1, pageHeight = 1;
};
// The device of the preview (mode 1) or the export (mode 2); pixel pages are
// drawn at twice the size for the preview, so that reducing them smooths.
device_t screenDevice(const model::item_t* header, int32_t mode);

// Where document point (0, 0) lands and how far the copied cells reach into
// the gaps, in device pixels.
struct sheetPlacement_t {
    QPoint origin;
    int32_t bleedX = 0, bleedY = 0;
    int32_t cellWidth = 0, cellHeight = 0;
    int32_t columnGap = 0, rowGap = 0;
    cellGrid_t cells;
    bool cards = false;
};
sheetPlacement_t placeSheet(const model::headerBody_t& h, const device_t& device);

// Whether a sheet of w × h device pixels is within what output accepts; a
// larger one is refused by the bitmap and the vector path alike.
bool outputFits(int64_t w, int64_t h);

// How far cell `index` (from 1) lies from the first along one axis, held far
// outside any sheet rather than overflowing for absurd measures.
int32_t cellOffset(int32_t index, int32_t cell, int32_t gap);

// The printable area of the device, white, with every visible item drawn and
// the first card copied to the other cells. Null without a header or when the
// page is too large to hold.
QImage renderSheet(const model::itemList_t& document, const device_t& device, const QByteArray& printAreas);

// A sheet made in two steps: the items drawn (on construction), then the
// cells copied and the margins whitened area by area (finish), so that a
// printer can take the first columns of tiles while the others are finished.
// Finishing disjoint areas that cover the sheet, in any order and on any
// threads, leaves the pixels renderSheet gives.
class sheetInProgress_t {
public:
    sheetInProgress_t(const model::itemList_t& document, const device_t& device, const QByteArray& printAreas);
    sheetInProgress_t(const sheetInProgress_t&) = delete;
    sheetInProgress_t& operator=(const sheetInProgress_t&) = delete;
    // Null without a header or when the page is too large to hold.
    const QImage& image() const { return sheet_; }
    // Copies the cells and whitens the margins within `area` of the sheet.
    void finish(const QRect& area);

private:
    QImage sheet_;
    uchar* pixels_ = nullptr;  // the sheet's own pixels, written by finish
    sheetPlacement_t placement_;
    QByteArray printAreas_;
    QRect source_;  // the first cell with its bleed
    QImage part_;   // the first cell as drawn, when there are others to copy it to
};

// Hands the sheet out in tiles, a column of tiles at a time from the top;
// each tile is a copy of its own size with its position on the sheet. Stops
// and returns false when the sink does. The sink is called on the calling
// thread; the copies are taken ahead on the drawing threads, after
// `prepare` has been given the column's area of the sheet (where the sheet
// is still being finished: columns of tiles never overlap).
using tileSink_t = std::function<bool(const QImage& tile, QPoint at)>;
bool sendTiles(const QImage& sheet, const tileSink_t& sink, const std::function<void(const QRect& column)>& prepare = {});

// As sendTiles, but each tile is first turned into bytes by `encode` (a
// compression) on the drawing threads, from the sheet's own pixels without a
// copy (the sheet has 32 bits a pixel); the sink gets the bytes and the tile's
// area, in the same order.
using encodedTileSink_t = std::function<bool(const QByteArray& data, const QRect& area)>;
bool sendEncodedTiles(const QImage& sheet, const std::function<QByteArray(const QImage& tile)>& encode,
                      const encodedTileSink_t& sink, const std::function<void(const QRect& column)>& prepare = {});

// The page at screen resolution: the preview (printAreas honoured, drawn at
// the preview resolution and reduced) and the exact export (drawn at screen
// resolution, every cell filled). Null without a header.
QImage previewImage(const model::itemList_t& document, const QByteArray& printAreas);
QImage exactImage(const model::itemList_t& document);

// The preview's size: the preview page at screen resolution.
QSize previewSize(const resolution_t& r);

} // namespace output
