// Printing a sheet on a paged device (a printer, or a PDF file): the sheet is
// rendered at the device's resolution and drawn in tiles at their own size.
#pragma once

#include "model/itemlist.h"
#include "output/renderoutput.h"

class QPainter;
class QPdfWriter;

#include <QByteArray>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <functional>

class QPainter;
class QSaveFile;

namespace output {

// Called after each tile with how many of how many are done; false stops.
using progress_t = std::function<bool(int32_t done, int32_t total)>;

// The sheet of `document` drawn with `painter`, whose (0, 0) is the top-left
// of the device's printable area. False when there is nothing to print (no
// header, a page too large) or `progress` stopped it; `error` says which.
// With `cropMarks`, the cells' crop marks are drawn in the margins too.
bool printSheet(QPainter& painter, const model::itemList_t& document, const device_t& device,
                const QByteArray& printAreas, const progress_t& progress, QString* error, bool cropMarks = false);

// Ends a file written through `file`: committed (replacing the old file in
// one step) when everything was `written`, otherwise dropped so that the old
// file stays. False (with `error` when the commit failed) unless committed.
bool commitOrCancel(QSaveFile& file, bool written, QString* error);

// A PDF file of the page layout at `dpi` (written to a temporary file renamed
// over `fileName` once `draw` succeeds), its painter under the printer's
// `correction`; `draw` gets the painter and the writer (for new pages).
bool writePdfPages(const QString& fileName, const QPageLayout& layout, int32_t dpi, const QString& title,
                   const QTransform& correction, QString* error,
                   const std::function<bool(QPainter& painter, QPdfWriter& pdf)>& draw);

// A device of the PDF page `layout` at `dpi`: its whole page in pixels.
device_t pdfDevice(const QPageLayout& layout, int32_t dpi);

// The paper in inches (a pixel paper at the screen's resolution), held
// within 0.1 … 200 inches a side.
QSizeF paperInches(const model::headerBody_t& h);

// The document's paper, with its orientation and no margins.
QPageLayout documentPageLayout(const model::headerBody_t& h);

// The sheet as a one-page PDF file of the document's paper at `dpi`, written
// to a temporary file and renamed over `fileName`; `title` names the job.
// The page is a picture in JPEG tiles, compressed on the drawing threads, the
// crop marks lines over it. `correction` (a printer's calibration, in the
// file's pixels) is applied to everything drawn.
bool printToPdf(const model::itemList_t& document, const QString& fileName, int32_t dpi,
                const QByteArray& printAreas, const progress_t& progress, QString* error,
                const QString& title = QString(), bool cropMarks = false, const QTransform& correction = QTransform());

// Largest resolution offered for PDF output.
constexpr int32_t maxPdfDpi = 1200;

} // namespace output
