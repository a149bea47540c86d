// Barcodes drawn from libzint's vector output: every bar and module is one
// filled rectangle on the canvas, its edges on whole device pixels (aliased
// on the screen and in bitmaps; rectangles in PDF and SVG), whole modules
// wherever the box holds at least one pixel per module.
#pragma once

#include "model/barcode.h"
#include "render/shapedraw.h"

#include <QRect>
#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace render {

// One symbol as the encoder laid it out, in modules (X dimensions), with
// the quiet zones included.
struct barcodeLayout_t {
    std::string error;              // empty when the data was encoded
    double width = 0, height = 0;   // the whole symbol, text included
    struct bar_t { double x, y, w, h; };
    std::vector<bar_t> bars;
    struct label_t { double x, y, size; int32_t align; QString text; };  // y: baseline; align 0 centre, 1 left, 2 right
    std::vector<label_t> labels;
    int32_t rows = 0, columns = 0;  // the encoder's module matrix
    std::vector<std::vector<bool>> matrix;  // [row][column] set modules, as the encoder keeps them
};

// Why the data text cannot be encoded in the symbology (with the QR level),
// in words for the user; empty when it can. The data is the final text, as a
// merge would fill it in for one row.
std::string barcodeDataProblem(int32_t symbology, std::string_view data, int32_t ecLevel = model::ecAuto);

// barcodeDataProblem for data as an item stores it: data holding merge
// fields ("${code}" is no EAN-13, but each row's code may be) is checked row
// by row when the merge prints, not as it stands.
std::string storedBarcodeDataProblem(int32_t symbology, std::string_view data, int32_t ecLevel = model::ecAuto);

// The symbol for a barcode's content, from a cache shared by every view (the same data
// is encoded once however often it is painted).
std::shared_ptr<const barcodeLayout_t> barcodeLayout(const model::barcodeContent_t& content);

// Bars in device pixels for a layout drawn in `box` (device pixels, right
// and bottom exclusive) turned by `quarterTurns` counter-clockwise: matrix
// codes keep square modules centred in the box, linear codes fill its
// height with their bars.
struct placedBarcode_t {
    std::vector<QRect> bars;
    struct text_t { QPoint baselineStart; double angle; int32_t pixelSize; QString text; };
    std::vector<text_t> texts;
};
placedBarcode_t placeBarcode(const barcodeLayout_t& layout, bool matrix, QRect box, int32_t quarterTurns);

// Draws a barcode item with the context's mapping and mask colours: its
// background (unless clear), then its bars and text. False when the item
// holds no usable barcode: the caller draws the placeholder rectangle.
bool drawBarcodeFigure(drawContext_t& ctx, const model::item_t* item);

} // namespace render
