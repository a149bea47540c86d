#include "output/printsheet.h"

#include "geometry/units.h"
#include "model/metrics.h"
#include "output/cropmarks.h"
#include "output/failure.h"
#include "output/rasterpdf.h"
#include "settings/pageset.h"

#include <QDateTime>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace output {

device_t pdfDevice(const QPageLayout& layout, int32_t dpi)
{
    const QRect full = layout.fullRectPixels(dpi);
    device_t device;
    device.ppiX = device.ppiY = dpi;
    device.pageWidth = full.width();
    device.pageHeight = full.height();
    return device;
}

QSizeF paperInches(const model::headerBody_t& h)
{
    double w = std::isfinite(h.paperWidth) ? h.paperWidth : 0, ht = std::isfinite(h.paperHeight) ? h.paperHeight : 0;
    if (h.unit == geometry::unitPixels) {
        w /= std::max(1, model::screen().screenPpiX);
        ht /= std::max(1, model::screen().screenPpiY);
    } else if (h.unit == geometry::unitMillimetres) {
        w /= 25.4;
        ht /= 25.4;
    }
    // A page PDF readers accept: at least a tenth of an inch, at most 200 inches.
    return {std::clamp(w, 0.1, 200.0), std::clamp(ht, 0.1, 200.0)};
}

bool printSheet(QPainter& painter, const model::itemList_t& document, const device_t& device,
                const QByteArray& printAreas, const progress_t& progress, QString* error, bool cropMarks)
{
    if (!model::findHeader(document)) return fail(error, noPageReason);
    // The printer takes the first columns of tiles while the drawing threads
    // finish the later ones (copy the cards into them, whiten the margins).
    sheetInProgress_t job(document, device, printAreas);
    const QImage& sheet = job.image();
    if (sheet.isNull()) return fail(error, tooLargeReason);
    const int32_t total = tilesAcross(sheet.width()) * tilesAcross(sheet.height());
    int32_t done = 0;
    const bool sent = sendTiles(
        sheet,
        [&](const QImage& tile, QPoint at) {
            painter.drawImage(at, tile);
            ++done;
            return !progress || progress(done, total);
        },
        [&](const QRect& column) { job.finish(column); });
    if (!sent) return fail(error, QStringLiteral("printing was cancelled"));
    if (cropMarks) drawCropMarks(painter, model::findHeader(document)->hdr(), device);
    return true;
}

bool commitOrCancel(QSaveFile& file, bool written, QString* error)
{
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit() || fail(error, file.errorString());
}

QPageLayout documentPageLayout(const model::headerBody_t& h)
{
    const QSizeF in = paperInches(h);
    const bool wide = in.width() > in.height();
    QSizeF portrait(std::min(in.width(), in.height()), std::max(in.width(), in.height()));
    // Millimetre and inch papers that are a standard size (A4, Letter) take
    // its name, so that a printer's dialog preselects that paper.
    QPageSize::Unit unit = QPageSize::Inch;
    if (h.unit == geometry::unitMillimetres) {
        portrait *= 25.4;
        unit = QPageSize::Millimeter;
    }
    const bool named = h.unit == geometry::unitMillimetres || h.unit == geometry::unitInches;
    const QPageSize size(portrait, unit, QString(), named ? QPageSize::FuzzyMatch : QPageSize::ExactMatch);
    return QPageLayout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

bool printToPdf(const model::itemList_t& document, const QString& fileName, int32_t dpi,
                const QByteArray& printAreas, const progress_t& progress, QString* error, const QString& title,
                bool cropMarks, const QTransform& correction)
{
    const model::item_t* header = model::findHeader(document);
    if (!header) return fail(error, noPageReason);
    dpi = std::clamp(dpi, 1, maxPdfDpi);
    const QPageLayout layout = documentPageLayout(header->hdr());
    const device_t device = pdfDevice(layout, dpi);

    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    // The tiles are compressed on the drawing threads, a few columns ahead of
    // the file, which takes them in order; the sheet is finished column by
    // column on the same threads.
    sheetInProgress_t job(document, device, printAreas);
    const QImage& sheet = job.image();
    if (sheet.isNull()) {
        file.cancelWriting();
        return fail(error, tooLargeReason);
    }
    rasterPdf_t pdf(file, title, QDateTime::currentDateTimeUtc());
    pdf.beginPage(layout, dpi, correction);
    const int32_t total = tilesAcross(sheet.width()) * tilesAcross(sheet.height());
    int32_t done = 0;
    bool compressed = true;
    const bool sent = sendEncodedTiles(
        sheet, rasterPdfTile,
        [&](const QByteArray& jpeg, const QRect& area) {
            if (jpeg.isEmpty()) {
                compressed = false;
                return false;
            }
            pdf.addTile(jpeg, area);
            ++done;
            return !progress || progress(done, total);
        },
        [&](const QRect& column) { job.finish(column); });
    if (!sent) {
        file.cancelWriting();
        return fail(error, compressed ? QStringLiteral("printing was cancelled")
                                      : QStringLiteral("a part of the page could not be compressed"));
    }
    if (cropMarks) pdf.addLines(cropMarkLines(header->hdr(), device), cropMarkWidth(device));
    pdf.endPage();
    if (!pdf.finish()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(error, why.isEmpty() ? QStringLiteral("the PDF file could not be written") : why);
    }
    return commitOrCancel(file, true, error);
}

bool writePdfPages(const QString& fileName, const QPageLayout& layout, int32_t dpi, const QString& title,
                   const QTransform& correction, QString* error,
                   const std::function<bool(QPainter& painter, QPdfWriter& pdf)>& draw)
{
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, file.errorString());
    bool ok = false;
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Lumora"));
        pdf.setTitle(title);
        pdf.setResolution(dpi);
        pdf.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&pdf)) {
            file.cancelWriting();
            return fail(error, QStringLiteral("the PDF file could not be started"));
        }
        painter.setWorldTransform(correction);
        ok = draw(painter, pdf);
        painter.end();
    }
    return commitOrCancel(file, ok, error);
}

} // namespace output
