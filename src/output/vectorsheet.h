// Vector output: the sheet (or one card) drawn through the render pass onto a
// PDF or SVG page, so that outlines stay outlines and texts stay text. The
// cells, crossed-out cells, bleed and folds follow the bitmap sheet exactly;
// the pixel effects come out as images at the output's resolution.
#pragma once

#include "model/itemlist.h"
#include "output/renderoutput.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTransform>

class QPainter;

namespace output {

enum class vectorFormat_t { pdf, svg };

// Resolution of a vector file's coordinate grid and of its pixel layers
// (shadows, shaded surfaces, pictures), unless the caller asks for another.
constexpr int32_t defaultVectorDpi = 300;

// What a vector file holds.
struct vectorJob_t {
    int32_t dpi = defaultVectorDpi;  // 10 … maxPdfDpi
    bool wholeSheet = true;           // false: one card (the page of other designs)
    QByteArray printAreas;            // crossed-out cells of the sheet
    QString title;
    bool cropMarks = false;           // the cells' crop marks in the margins (whole sheet only)
    QTransform correction;            // a printer's calibration in device pixels (printing only)
};

// The area of one card in device pixels of `device`, from (0, 0): the design
// of a card document (both halves of a folded one), the page otherwise.
QSize cardPixels(const model::headerBody_t& h, const device_t& device);

// Draws the sheet, as renderSheet paints it, with `painter` in device pixels
// with (0, 0) at the top-left of the printable area. False (with `error`) when
// the document has no page or the page is too large.
bool drawVectorSheet(QPainter& painter, const model::itemList_t& document, const device_t& device,
                     const QByteArray& printAreas, QString* error);

// Draws one card (see cardPixels) with its top-left at (0, 0).
bool drawVectorCard(QPainter& painter, const model::itemList_t& document, const device_t& device, QString* error);

// The page as a picture for export: at `dpi`, or with dpi 0 as the exact
// export at screen resolution; the whole sheet (crossed-out cells white) or
// one card. Null without a header or when the page is too large.
QImage pagePicture(const model::itemList_t& document, int32_t dpi, bool wholeSheet, const QByteArray& printAreas);

// Writes a one-page PDF or an SVG file of the job, through a temporary file
// renamed over `fileName` (never a partial file).
bool writeVector(const model::itemList_t& document, const QString& fileName, vectorFormat_t format,
                 const vectorJob_t& job, QString* error);

} // namespace output
